// The OpenDML twin of the two-hour file (about 4.4 GiB, sparse): the header
// record, the first key-frame question against reading its standard indexes
// once, and the memory the answers hold. The whole-process comparison of
// vidloom-cli info with ffprobe is made by bench/run.

#include "TwoHourOpenDml.h"

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"
#include "avi/index/KeyFrameIndex.h"
#include "session/AviHeaderCache.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

using vidloom::bench::OpenDmlSet;
using vidloom::bench::openDmlSet;
using Clock = std::chrono::steady_clock;

// Made before any benchmark runs, so that no timing includes the writing.
const OpenDmlSet& kMadeAtStart = openDmlSet();

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_AviInfoOpenDml(benchmark::State& state) {
    const OpenDmlSet& set = openDmlSet();
    for (auto _ : state) {
        vidloom::AviHeader info(set.path);
        if (info.TotalFrames != set.frames || !info.OpenDml) {
            state.SkipWithError("unexpected frame count");
        }
        benchmark::DoNotOptimize(info.Report.data());
    }
}
BENCHMARK(BM_AviInfoOpenDml)->Unit(benchmark::kMicrosecond);

// The floor: every standard index read once through the same buffered reader.
void readStandardIndexes(const OpenDmlSet& set) {
    vidloom::BinaryFile file(set.path);
    std::vector<uint8_t> block;
    uint64_t sum = 0;
    for (const auto& [at, bytes] : set.standardIndexes) {
        block.resize(size_t(bytes));
        file.seek(at);
        file.read(block.data(), block.size(), "a standard index");
        sum += block.back();
    }
    benchmark::DoNotOptimize(sum);
}

void BM_FirstKeyFrameTestVsStandardIndexRead(benchmark::State& state) {
    const OpenDmlSet& set = openDmlSet();
    const int32_t last = set.frames - 1;
    double test = 0;
    double read = 0;
    for (auto _ : state) {
        auto t = Clock::now();
        readStandardIndexes(set);
        read += secondsSince(t);

        vidloom::AviHeaderCache cache;
        const vidloom::AviHeader& info = cache.get(set.path);
        t = Clock::now();
        const bool key = cache.isKeyFrame(info, last);
        const double took = secondsSince(t);
        test += took;
        state.SetIterationTime(took);
        if (key != (last % set.keyInterval == 0) || cache.isKeyFrame(info, 1) ||
            !cache.isKeyFrame(info, 250)) {
            state.SkipWithError("wrong answer");
        }
    }
    const double n = double(state.iterations());
    state.counters["test_ms"] = test / n * 1e3;
    state.counters["ix_read_ms"] = read / n * 1e3;
    state.counters["ratio"] = test / read;
}
BENCHMARK(BM_FirstKeyFrameTestVsStandardIndexRead)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_KeyFrameMemoryOpenDml(benchmark::State& state) {
    const OpenDmlSet& set = openDmlSet();
    vidloom::AviHeaderCache cache;
    const vidloom::AviHeader& info = cache.get(set.path);
    for (auto _ : state) {
        const auto index = cache.keyFrames(info);
        state.counters["video_frames"] = index->videoFrames();
        state.counters["bytes_per_frame"] = double(index->memoryBytes()) / index->videoFrames();
    }
}
BENCHMARK(BM_KeyFrameMemoryOpenDml)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

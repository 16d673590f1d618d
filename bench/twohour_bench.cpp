// Two-hour files: the key-frame answers, the panel layout and the plan
// commands on a 180,000-frame movie, each measured against its own floor in
// the same run. The whole-process comparisons (vidloom-cli against ffprobe,
// and plan with 100 splices against plan with one) are made by bench/run.

#include "TwoHourAvi.h"
#include "present/PanelLayout.h"

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"
#include "avi/index/KeyFrameIndex.h"
#include "plan/PlanActions.h"
#include "plan/SplicePlan.h"
#include "session/AviHeaderCache.h"

#include "Timing.h"
#include <algorithm>

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// Counts the stat calls the core makes (its file-stamp check) while a layout
// runs. Defined here, this stat takes the place of the C library's for the
// whole program, so the count sees every call; it forwards to fstatat.
namespace {
long gStatCalls = 0;
} // namespace
extern "C" int stat(const char* __restrict path, struct stat* __restrict buf) noexcept {
    ++gStatCalls;
    return ::fstatat(AT_FDCWD, path, buf, 0);
}

namespace {

using bench::Clock;
using bench::dropFromCacheIf;
using bench::secondsSince;
using bench::threadCpuSeconds;
using bench::Timed;
using vidloom::bench::TwoHourSet;
using vidloom::bench::twoHourSet;

// Made before any benchmark runs, so that no timing includes the writing.
const TwoHourSet& kMadeAtStart = twoHourSet();

// The read system calls this process has made so far (from /proc/self/io).
long readSyscalls() {
    const int fd = ::open("/proc/self/io", O_RDONLY);
    if (fd < 0) {
        return -1;
    }
    char text[512] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    long value = -1;
    if (n > 0) {
        if (const char* at = std::strstr(text, "syscr:")) {
            std::sscanf(at, "syscr: %ld", &value);
        }
    }
    return value;
}

// The floor of the first key-frame test: the idx1 entries read once, in
// order, in 1 MiB blocks, through the same buffered reader.
int64_t readIndexWithBinaryFile(const TwoHourSet& set) {
    vidloom::BinaryFile file(set.base);
    std::vector<uint8_t> block(1 << 20);
    file.seek(set.indexOffset);
    int64_t left = set.indexBytes;
    uint64_t sum = 0;
    while (left > 0) {
        const size_t n = size_t(std::min<int64_t>(left, int64_t(block.size())));
        file.read(block.data(), n, "the index");
        sum += block[n - 1];
        left -= int64_t(n);
    }
    benchmark::DoNotOptimize(sum);
    return set.indexBytes;
}

// The same byte range with open, pread and close and nothing else.
int64_t readIndexPlain(const TwoHourSet& set) {
    const int fd = ::open(set.base.c_str(), O_RDONLY);
    std::vector<uint8_t> block(1 << 20);
    int64_t done = 0;
    uint64_t sum = 0;
    while (done < set.indexBytes) {
        const size_t want = size_t(std::min<int64_t>(set.indexBytes - done, int64_t(block.size())));
        const ssize_t n = ::pread(fd, block.data(), want, set.indexOffset + done);
        if (n <= 0) {
            break;
        }
        sum += block[size_t(n) - 1];
        done += n;
    }
    ::close(fd);
    benchmark::DoNotOptimize(sum);
    return done;
}

// Constructing the header record of the two-hour file: what vidloom-cli info
// does apart from starting the process and printing.
void BM_AviInfoTwoHour(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    for (auto _ : state) {
        vidloom::AviHeader info(set.base);
        if (info.TotalFrames != set.baseFrames) {
            state.SkipWithError("unexpected frame count");
        }
        benchmark::DoNotOptimize(info.Report.data());
    }
}
BENCHMARK(BM_AviInfoTwoHour)->Unit(benchmark::kMicrosecond);

// The first key-frame question about the last frame, on a fresh cache, and
// the plain read of the idx1 bytes, side by side in every iteration. The
// time shown is the key-frame test; the counters give both and their ratio.
void BM_FirstKeyFrameTestVsIndexRead(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    const bool cold = state.range(0) != 0;
    const int32_t last = set.baseFrames - 1;
    Timed test;
    Timed read;
    Timed plain;
    for (auto _ : state) {
        dropFromCacheIf(cold, set.base);
        read([&] { readIndexWithBinaryFile(set); });

        dropFromCacheIf(cold, set.base);
        plain([&] { readIndexPlain(set); });

        dropFromCacheIf(cold, set.base);
        vidloom::AviHeaderCache cache;
        const vidloom::AviHeader& info = cache.get(set.base);
        bool key = false;
        state.SetIterationTime(test([&] { key = cache.isKeyFrame(info, last); }));
        if (key != (last % set.keyInterval == 0) || cache.indexReads() != 1) {
            state.SkipWithError("wrong answer or more than one index read");
        }
    }
    const double n = double(state.iterations());
    state.counters["test_ms"] = test.wall / n * 1e3;
    state.counters["idx1_read_ms"] = read.wall / n * 1e3;
    state.counters["plain_read_ms"] = plain.wall / n * 1e3;
    state.counters["ratio"] = test.wall / read.wall;
    state.counters["ratio_plain"] = test.wall / plain.wall;
    state.counters["ratio_cpu"] = test.cpu / read.cpu;
}
BENCHMARK(BM_FirstKeyFrameTestVsIndexRead)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Later questions about the same file, any frame: no index read.
void BM_LaterKeyFrameTest(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    vidloom::AviHeaderCache cache;
    const vidloom::AviHeader& info = cache.get(set.base);
    cache.isKeyFrame(info, set.baseFrames - 1);
    int32_t frame = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.isKeyFrame(info, frame));
        frame = (frame + 7919) % set.baseFrames;
    }
    state.counters["index_reads"] = double(cache.indexReads());
}
BENCHMARK(BM_LaterKeyFrameTest);

// The key-frame answers as the cache hands them out, by reference or by
// shared pointer.
[[maybe_unused]] const vidloom::KeyFrameIndex& answers(const vidloom::KeyFrameIndex& index) {
    return index;
}
[[maybe_unused]] const vidloom::KeyFrameIndex&
answers(const std::shared_ptr<const vidloom::KeyFrameIndex>& index) {
    return *index;
}

// Memory held for the key-frame answers of the two-hour file.
void BM_KeyFrameMemory(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    vidloom::AviHeaderCache cache;
    const vidloom::AviHeader& info = cache.get(set.base);
    for (auto _ : state) {
        decltype(auto) held = cache.keyFrames(info);
        const vidloom::KeyFrameIndex& index = answers(held);
        state.counters["video_frames"] = index.videoFrames();
        state.counters["memory_bytes"] = double(index.memoryBytes());
        state.counters["bytes_per_frame"] = double(index.memoryBytes()) / index.videoFrames();
    }
}
BENCHMARK(BM_KeyFrameMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// A plan of exactly 100 segments over the two-hour file: 49 splices spread
// over the movie (99 segments) and a 50th right after the 49th, which cuts
// only the piece that follows it.
std::unique_ptr<vidloom::SplicePlan> hundredSegmentPlan(const TwoHourSet& set,
                                                        vidloom::AviHeaderCache& cache) {
    std::unique_ptr<vidloom::SplicePlan> plan;
    vidloom::addFile(plan, set.base, cache);
    for (size_t i = 0; i < 49; ++i) {
        vidloom::addSplice(*plan, set.splices[i], set.spliceRefs[i]);
    }
    vidloom::addSplice(*plan, set.splices[49], set.spliceRefs[48] + set.spliceFrames);
    return plan;
}

// The panels of the 100-segment plan after the first: the time, and proof
// that it reads nothing (no index read, no read system call).
void BM_Layout100Segments(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    vidloom::AviHeaderCache cache;
    const std::unique_ptr<vidloom::SplicePlan> plan = hundredSegmentPlan(set, cache);
    if (plan->segments.count() != 100) {
        state.SkipWithError("the plan does not hold 100 segments");
        return;
    }
    panelsOf(*plan); // the first
    const int64_t readsBefore = cache.indexReads();
    const long calibrate = readSyscalls();
    const long syscallsBefore = readSyscalls();
    const long overhead = syscallsBefore - calibrate;
    const long statsBefore = gStatCalls;
    int red = 0;
    for (auto _ : state) {
        const std::vector<vidloom::PanelState> panels = panelsOf(*plan);
        red = int(std::count_if(panels.begin(), panels.end(),
                                [](const auto& p) { return !p.startsOnKeyFrame; }));
    }
    const long syscallsAfter = readSyscalls();
    const double n = double(state.iterations());
    state.counters["segments"] = plan->segments.count();
    state.counters["not_on_key_frame"] = red;
    state.counters["index_reads"] = double(cache.indexReads() - readsBefore);
    state.counters["read_syscalls"] = double(syscallsAfter - syscallsBefore - overhead);
    state.counters["stat_per_layout"] = double(gStatCalls - statsBefore) / n;
}
BENCHMARK(BM_Layout100Segments)->Unit(benchmark::kMicrosecond);

// What vidloom-cli plan does in the process, with 100 splices and with one,
// side by side in every iteration (fresh cache each time, so every file's
// headers and index are read as in a new process).
void BM_PlanHundredVsOneSplice(benchmark::State& state) {
    const TwoHourSet& set = twoHourSet();
    auto run = [&](size_t splices) {
        vidloom::AviHeaderCache cache;
        std::unique_ptr<vidloom::SplicePlan> plan;
        vidloom::addFile(plan, set.base, cache);
        for (size_t i = 0; i < splices; ++i) {
            // --splice FILE: the reference comes from the file name.
            vidloom::addSplice(*plan, set.splices[i], std::nullopt);
        }
        return plan->segments.count();
    };
    Timed one;
    Timed hundred;
    int32_t segments = 0;
    for (auto _ : state) {
        one([&] { run(1); });
        state.SetIterationTime(hundred([&] { segments = run(100); }));
    }
    const double n = double(state.iterations());
    state.counters["segments"] = segments;
    state.counters["one_splice_ms"] = one.wall / n * 1e3;
    state.counters["hundred_splices_ms"] = hundred.wall / n * 1e3;
    state.counters["ratio"] = hundred.wall / one.wall;
    state.counters["ratio_cpu"] = hundred.cpu / one.cpu;
}
BENCHMARK(BM_PlanHundredVsOneSplice)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

// The two-hour capture cut at 90 %, as a recording stopped by a full disk
// leaves it: no idx1, so the header reader rebuilds the index by scanning the
// movie list chunk by chunk. Measured against its floors in the same run: a
// plain loop that reads each chunk's 8-byte header with one pread and jumps
// over its data, and the same loop over 1 MiB blocks read in order.

#include "TwoHourAvi.h"

#include "avi/AviHeader.h"
#include "avi/index/KeyFrameIndex.h"

#include "Timing.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using bench::Clock;
using bench::dropFromCacheIf;
using bench::secondsSince;
using bench::threadCpuSeconds;
using bench::Timed;

struct CutFile {
    std::string path;
    int64_t firstChunk = 0; // the first chunk of the movie list
    int32_t wholeFrames = 0;
};

// Made once beside the two-hour file: its first 90 %, copied.
CutFile makeCut() {
    const vidloom::bench::TwoHourSet& set = vidloom::bench::twoHourSet();
    CutFile cut;
    cut.path = (std::filesystem::path(set.base).parent_path() / "cut90.avi").string();
    cut.wholeFrames = set.baseFrames;
    const int64_t size = int64_t(std::filesystem::file_size(set.base)) * 9 / 10;
    if (!std::filesystem::exists(cut.path) ||
        int64_t(std::filesystem::file_size(cut.path)) != size) {
        const std::string partial = cut.path + ".part";
        {
            std::ifstream in(set.base, std::ios::binary);
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            std::vector<char> block(1 << 20);
            for (int64_t left = size; left > 0;) {
                const auto n = std::streamsize(std::min<int64_t>(left, int64_t(block.size())));
                in.read(block.data(), n);
                out.write(block.data(), n);
                left -= n;
            }
            if (!in || !out) {
                throw std::runtime_error("cannot write " + partial);
            }
        }
        std::filesystem::rename(partial, cut.path);
    }
    const vidloom::AviHeader whole(set.base);
    cut.firstChunk = int64_t(whole.MoviSizePos) + 8;
    return cut;
}

const CutFile& cutFile() {
    static const CutFile cut = makeCut();
    return cut;
}
const CutFile& kMadeAtStart = cutFile();

// The floor: every chunk header of the movie list, read in order.
int64_t walkChunkHeaders(const CutFile& cut) {
    const int fd = ::open(cut.path.c_str(), O_RDONLY);
    const int64_t end = ::lseek(fd, 0, SEEK_END);
    int64_t chunks = 0;
    for (int64_t at = cut.firstChunk; at + 8 <= end; ++chunks) {
        uint8_t head[8];
        if (::pread(fd, head, 8, at) != 8) {
            break;
        }
        const uint32_t size = uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16 |
                              uint32_t(head[7]) << 24;
        at += 8 + int64_t(size) + (size & 1);
    }
    ::close(fd);
    return chunks;
}

// The same walk through 1 MiB blocks read in order: the chunk headers found
// in memory, one system call per block (the movie data is read whole).
int64_t walkChunkHeadersBuffered(const CutFile& cut) {
    const int fd = ::open(cut.path.c_str(), O_RDONLY);
    const int64_t end = ::lseek(fd, 0, SEEK_END);
    std::vector<uint8_t> block(1 << 20);
    int64_t blockStart = 0;
    int64_t blockLength = 0;
    int64_t chunks = 0;
    for (int64_t at = cut.firstChunk; at + 8 <= end; ++chunks) {
        if (at < blockStart || at + 8 > blockStart + blockLength) {
            blockStart = at;
            blockLength = ::pread(fd, block.data(), block.size(), at);
            if (blockLength < 8) {
                break;
            }
        }
        const uint8_t* head = block.data() + (at - blockStart);
        const uint32_t size = uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16 |
                              uint32_t(head[7]) << 24;
        at += 8 + int64_t(size) + (size & 1);
    }
    ::close(fd);
    return chunks;
}

// The header record of the cut file (what vidloom-cli info does apart from
// starting and printing), beside the walk, in every iteration; then the key
// frames, which look into each video frame's first bytes.
void BM_InfoCut90VsChunkWalk(benchmark::State& state) {
    const CutFile& cut = cutFile();
    const bool cold = state.range(0) != 0;
    Timed walk;
    Timed buffered;
    Timed info;
    Timed keys;
    int64_t chunks = 0;
    for (auto _ : state) {
        dropFromCacheIf(cold, cut.path);
        walk([&] { chunks = walkChunkHeaders(cut); });
        dropFromCacheIf(cold, cut.path);
        buffered([&] {
            if (walkChunkHeadersBuffered(cut) != chunks) {
                state.SkipWithError("the two walks disagree");
            }
        });

        dropFromCacheIf(cold, cut.path);
        std::unique_ptr<vidloom::AviHeader> header;
        state.SetIterationTime(
            info([&] { header = std::make_unique<vidloom::AviHeader>(cut.path); }));
        if (!header->indexRebuilt() || header->TotalFrames < cut.wholeFrames * 8 / 10 ||
            header->TotalFrames >= cut.wholeFrames) {
            state.SkipWithError("the index was not rebuilt to the frames present");
        }

        dropFromCacheIf(cold, cut.path);
        keys([&] {
            const auto index = vidloom::KeyFrameIndex::read(*header);
            benchmark::DoNotOptimize(index->videoFrames());
        });
    }
    const double n = double(state.iterations());
    state.counters["info_ms"] = info.wall / n * 1e3;
    state.counters["walk_ms"] = walk.wall / n * 1e3;
    state.counters["keys_ms"] = keys.wall / n * 1e3;
    state.counters["buffered_ms"] = buffered.wall / n * 1e3;
    state.counters["ratio"] = info.wall / walk.wall;
    state.counters["ratio_cpu"] = info.cpu / walk.cpu;
    state.counters["ratio_buffered"] = info.wall / buffered.wall;
    state.counters["chunks"] = double(chunks);
}
BENCHMARK(BM_InfoCut90VsChunkWalk)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

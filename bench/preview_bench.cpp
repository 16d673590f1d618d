// The frame reader on the long file of bench/make-preview-input (15,000
// frames of 640x360 MPEG-4 with B-frames, a key frame every 250 frames):
// a frame from the cache, a frame in the middle of the file on a reader that
// has just been made (open, index check, seek, decode), and the frame after
// the one just shown (decoding goes on). The whole-process comparison with
// ffmpeg -ss is made by bench/run preview.

#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using vidloom::preview::FrameReader;
using vidloom::preview::Size;

const std::string& longFile() {
    static const std::string path = [] {
        const std::string script = std::string(VIDLOOM_BENCH_DATA) + "/../make-preview-input";
        FILE* pipe = ::popen(script.c_str(), "r");
        char line[4096] = {};
        if (pipe == nullptr || std::fgets(line, sizeof line, pipe) == nullptr) {
            std::fprintf(stderr, "preview_bench: %s failed\n", script.c_str());
            std::exit(1);
        }
        ::pclose(pipe);
        std::string p(line);
        while (!p.empty() && (p.back() == '\n' || p.back() == '\r')) {
            p.pop_back();
        }
        return p;
    }();
    return path;
}

const Size kStripBox{96, 72}; // the box of the window's preview strip

// A frame the cache holds: what the strip pays for a frame shown before.
void BM_CachedFrame(benchmark::State& state) {
    FrameReader reader;
    reader.frame(longFile(), 7624, kStripBox);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.frame(longFile(), 7624, kStripBox));
    }
}
BENCHMARK(BM_CachedFrame)->Unit(benchmark::kMicrosecond);

// Frame key + offset of a fresh reader: open, index check, seek, decode from
// the key frame (in file order, the key frame at entry 7470).
void BM_MiddleFrameFreshReader(benchmark::State& state) {
    const int32_t frame = 7470 + int32_t(state.range(0));
    for (auto _ : state) {
        FrameReader reader;
        benchmark::DoNotOptimize(reader.frame(longFile(), frame));
        state.counters["packets"] = double(reader.decoderOf(longFile())->packetsDecoded());
    }
}
BENCHMARK(BM_MiddleFrameFreshReader)->Arg(0)->Arg(125)->Arg(248)->Unit(benchmark::kMillisecond);

// The next frame after the one just decoded, at the strip's size.
void BM_NextFrame(benchmark::State& state) {
    FrameReader reader(size_t(1) << 20); // a small cache: every frame is decoded
    int32_t frame = 7470;
    reader.frame(longFile(), frame, kStripBox);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.frame(longFile(), ++frame, kStripBox));
        if (frame >= 14900) {
            frame = 7470;
        }
    }
}
BENCHMARK(BM_NextFrame)->Unit(benchmark::kMillisecond);

} // namespace

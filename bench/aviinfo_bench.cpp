// Reading the headers of a 1 GiB file whose tag search runs to the end,
// against a plain sequential read of the same file. The search probes every
// offset; through the buffered file it should cost about one read of the file.

#include "BigAviFile.h"

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kBig = int64_t(1) << 30;

const std::string& bigFile() {
    static const std::string path = vidloom::bench::bigAviFile(kBig);
    return path;
}
// Made before any benchmark runs, so that no timing includes the writing.
const std::string& kMadeAtStart = bigFile();

// With argument 1 each iteration starts with the file's pages dropped from
// the page cache (of this file only), so the disk is read too.
void dropFromCacheIf(benchmark::State& state, const std::string& path) {
    if (state.range(0) == 0) {
        return;
    }
    state.PauseTiming();
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
    state.ResumeTiming();
}

// The floor: read() of the whole file in 1 MiB blocks.
void BM_SequentialRead(benchmark::State& state) {
    const std::string& path = bigFile();
    std::vector<char> buffer(1 << 20);
    int64_t total = 0;
    for (auto _ : state) {
        dropFromCacheIf(state, path);
        const int fd = ::open(path.c_str(), O_RDONLY);
        ssize_t n;
        uint64_t sum = 0;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
            sum += uint8_t(buffer[size_t(n - 1)]);
            total += n;
        }
        ::close(fd);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(total);
}
BENCHMARK(BM_SequentialRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole constructor: header scan, report, the nandub search, and the
// brand search from the end of the index through the AVIX part to the end.
void BM_AviInfoWithoutTag(benchmark::State& state) {
    const std::string& path = bigFile();
    int64_t total = 0;
    for (auto _ : state) {
        dropFromCacheIf(state, path);
        vidloom::AviHeader info(path);
        if (info.BrandTagFound || info.NandubTagFound) {
            state.SkipWithError("the generated file holds INFO");
        }
        total += vidloom::BinaryFile(path).size();
    }
    state.SetBytesProcessed(total);
}
BENCHMARK(BM_AviInfoWithoutTag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// For contrast: the search as written, one seek and one 4-byte read per
// offset, over the first 64 MiB only.
void BM_ProbeEveryOffset64MiB(benchmark::State& state) {
    const std::string& path = bigFile();
    constexpr int64_t kSpan = int64_t(64) << 20;
    for (auto _ : state) {
        vidloom::BinaryFile file(path);
        char word[4];
        int64_t found = -1;
        for (int64_t b = 0; b + 4 <= kSpan && found < 0; ++b) {
            file.seek(b);
            file.read(word, 4);
            if (word[0] == 'I' && word[1] == 'N' && word[2] == 'F' && word[3] == 'O') {
                found = b;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * kSpan);
}
BENCHMARK(BM_ProbeEveryOffset64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

#pragma once
// Timing helpers the benchmarks share: wall and CPU time of a call, and a
// file's pages dropped from the page cache so that a run reads the disk too.

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The CPU time of this thread: on a machine shared with other work the wall
// time of a cached read varies with the load, this much less.
inline double threadCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Wall and CPU time of one call of f, added to the totals.
struct Timed {
    double wall = 0;
    double cpu = 0;
    template <class F> double operator()(F&& f) {
        const double c = threadCpuSeconds();
        const auto t = Clock::now();
        f();
        const double took = secondsSince(t);
        wall += took;
        cpu += threadCpuSeconds() - c;
        return took;
    }
};

// With cold set, the file's pages are dropped from the page cache first (of
// this file only), so the disk is read too.
inline void dropFromCacheIf(bool cold, const std::string& path) {
    if (!cold) {
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

} // namespace bench

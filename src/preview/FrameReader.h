#pragma once
// Frames of AVI files for previews, decoded on demand: one open decoder per
// file (a few files at a time, the least recently used closed first) and a
// cache of recent frames bounded by its size. A file is numbered by the
// core's answers (CoreEntries) and decoded by FFmpeg (FileDecoder).
//
// Thread use: frame() may be called from any thread; decodes run one at a
// time. cached() only looks in the cache and never waits for a decode, so
// the GUI thread may call it while a worker decodes.

#include "avi/BinaryFile.h"
#include "preview/FrameCache.h"
#include "preview/Picture.h"

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vidloom::preview {

class FileDecoder;

class FrameReader {
public:
    static constexpr size_t kDefaultCacheBytes = size_t(48) << 20;
    static constexpr int kDefaultOpenFiles = 8;

    // decoderThreads: the threads of each file's decoder, 0 for as many as
    // the machine has (vidloom-cli); the window's strip uses 1, so that
    // decoding leaves a core to the GUI thread.
    explicit FrameReader(size_t cacheBytes = kDefaultCacheBytes,
                         int maxOpenFiles = kDefaultOpenFiles, int decoderThreads = 0);
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // Frame n of the file, scaled to fit box: from the cache, or decoded.
    // Raises RangeError for a frame out of range, DecodeError (or the core's
    // error) for a file that cannot be read or decoded, PreviewsNotBuiltIn
    // in a build without FFmpeg. A file that cannot be opened is not tried
    // again until it changes.
    std::shared_ptr<const Picture> frame(const std::string& file, int32_t n, Size box = {});
    // The frame if the cache holds it, else null; never decodes.
    std::shared_ptr<const Picture> cached(const std::string& file, int32_t n, Size box = {});

    const FrameCache& cache() const { return cache_; }
    int openFiles() const;
    // The decoder of a file if it is open (tests and benchmarks look at its
    // counters); null otherwise. Valid until the next frame().
    const FileDecoder* decoderOf(const std::string& file) const;

private:
    struct OpenFile {
        FileStamp stamp;
        std::unique_ptr<FileDecoder> decoder;
        std::exception_ptr failure; // why the file cannot be opened
        uint64_t lastUse = 0;
    };
    OpenFile& openFile(const std::string& file, const FileStamp& stamp);

    FrameCache cache_;
    const int maxOpenFiles_;
    const int decoderThreads_;
    mutable std::mutex decodeMutex_; // held while a frame is decoded
    std::map<std::string, OpenFile> files_;
    uint64_t uses_ = 0;
};

} // namespace vidloom::preview

#pragma once
// The key-frame answers of one file, read from its idx1 index in one pass of
// large blocks: one bit per video entry, plus what it takes to answer every
// question exactly as the entry-by-entry walk of ReferenceIndexWalk would, errors
// included. A truncated index answers the frames it holds and raises the
// walk's error for questions the walk could only answer by reading an entry
// that is not there.

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vidloom {

// An error kept to be raised again later, as a new exception of the same kind
// with the same message.
struct StoredError {
    enum class Kind { None, Io, Overflow, Range, Division, ListIndex, Conversion, Other };
    Kind kind = Kind::None;
    std::string message;

    bool empty() const { return kind == Kind::None; }
    static StoredError of(const std::exception& error);
    [[noreturn]] void raise() const;
};

class KeyFrameIndex {
public:
    // Reads the index of aviInfo's file. An error of opening the file is
    // raised here; every later error of the walk is kept for the questions.
    // A file that is not an AVI file is not opened: it has no index.
    static std::unique_ptr<KeyFrameIndex> read(const AviHeader& aviInfo);

    // Whether video frame n counts as a key frame, as seekVideoFrame(n) on a
    // new handler would say; raises the error that walk would raise.
    bool isKeyFrame(int32_t n) const;

    // The frame numbers that count as key frames, 0 to videoFrames() - 1.
    std::vector<int32_t> keyFrameNumbers() const;

    const FileStamp& stamp() const { return stamp_; }
    int32_t entryCount() const { return entryCount_; }
    int32_t readableEntries() const { return readable_; }
    int32_t videoFrames() const { return videoFrames_; }
    // The error every question raises (the size word cannot be read, the
    // index lies out of range...), empty when the index could be read.
    const StoredError& fileError() const { return fileError_; }
    // The error that reading the first missing entry gives (empty when the
    // whole index was read).
    const StoredError& walkError() const { return entryError_; }
    // The answers' share of memory: the bits held, rounded up to bytes.
    size_t memoryBytes() const { return keyWords_.capacity() * sizeof(uint64_t); }
    bool bit(int32_t n) const { return (keyWords_[size_t(n) / 64] >> (n % 64)) & 1; }

private:
    KeyFrameIndex() = default;
    void readEntries(BinaryFile& file, int32_t indexPos);

    FileStamp stamp_;
    StoredError fileError_;  // raised by every question (no size word, overflow...)
    StoredError entryError_; // raised by questions that need a missing entry
    int32_t entryCount_ = 0;
    int32_t readable_ = 0;
    bool noAudio_ = false;
    bool firstVideoRead_ = false;    // the first video entry lies among the readable ones
    bool firstAudioRead_ = false;    // likewise the first audio entry
    std::vector<uint64_t> keyWords_; // one bit per readable video entry
    int32_t videoFrames_ = 0;
};

} // namespace vidloom

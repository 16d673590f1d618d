#pragma once
// The key-frame answers of one file, read in one pass of large blocks: one bit
// per video frame, plus what it takes to answer every question exactly as the
// entry-by-entry walk of ReferenceIndexWalk would, errors included. The frames
// come from the index the header chose: the OpenDML standard indexes, idx1,
// or the movie data scanned (the key frames then from the frames' headers). A truncated index
// answers the frames it holds and raises the walk's error for questions the walk could only answer
// by reading an entry that is not there.

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"
#include "avi/StoredError.h"
#include "avi/index/IndexEntries.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

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

    // The last key frame at or before frame n and the first one after it,
    // among the frames the index holds; nullopt where there is none. Each
    // costs a binary search over per-block counts, however far apart the key
    // frames lie. Raise fileError() when the index could not be read.
    std::optional<int32_t> keyFrameAtOrBefore(int32_t n) const;
    std::optional<int32_t> keyFrameAfter(int32_t n) const;

    const FileStamp& stamp() const { return stamp_; }
    int32_t readableEntries() const { return readable_; }
    int32_t videoFrames() const { return videoFrames_; }
    // Whether some of the index could not be read (its frames are missing).
    bool truncated() const { return truncated_; }
    // The error every question raises (the size word cannot be read, the
    // index lies out of range...), empty when the index could be read.
    const StoredError& fileError() const { return fileError_; }
    // The error that reading the first missing entry gives (empty when the
    // whole index was read).
    const StoredError& walkError() const { return entryError_; }
    // The answers' share of memory: the bits held, rounded up to bytes.
    size_t memoryBytes() const {
        return keyWords_.capacity() * sizeof(uint64_t) + keysBefore_.capacity() * sizeof(int32_t);
    }
    bool bit(int32_t n) const { return (keyWords_[size_t(n) / 64] >> (n % 64)) & 1; }

private:
    KeyFrameIndex() = default;
    void readIdx1(BinaryFile& file, const AviHeader& aviInfo);
    void readEntries(BinaryFile& file, int32_t indexPos, const VideoChunkIds& ids);
    void readStandardIndexes(BinaryFile& file, const AviHeader& aviInfo);
    // The frames of the movie data, scanned, when the header found no
    // usable index.
    void readRebuilt(BinaryFile& file, const AviHeader& aviInfo);
    // Adds count frames whose key bits are the low bits of bits.
    void appendBits(uint64_t bits, unsigned count);
    // Every frame is a key frame of a codec that stores only whole frames,
    // when its writer marked none.
    void markIntraOnly(const AviHeader& aviInfo);
    // Trims the bits to the frames and counts the key frames block by block.
    void finish();
    // The last / first key frame in the words [from, to), or -1.
    int32_t lastKeyIn(size_t from, size_t to) const;
    int32_t firstKeyIn(size_t from, size_t to) const;
    // The block holding the key frame numbered k (from 0) in frame order.
    size_t blockOfKey(int32_t k) const;

    FileStamp stamp_;
    StoredError fileError_;  // raised by every question (no size word, overflow...)
    StoredError entryError_; // raised by questions that need a missing entry
    int32_t entryCount_ = 0;
    int32_t readable_ = 0;
    bool truncated_ = false;
    bool noAudio_ = false;
    bool firstVideoRead_ = false;    // the first video entry lies among the readable ones
    bool firstAudioRead_ = false;    // likewise the first audio entry
    std::vector<uint64_t> keyWords_; // one bit per readable video frame
    // keysBefore_[b]: the key frames before block b of kBlockWords words, one
    // more entry than there are blocks (the last is the total), so that the
    // block holding the k-th key frame is found by binary search. Empty for
    // an index of one block. A count per 512 frames adds 1/16 to the bits.
    static constexpr size_t kBlockWords = 8;
    std::vector<int32_t> keysBefore_;
    int32_t videoFrames_ = 0;
};

} // namespace vidloom

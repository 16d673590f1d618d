#pragma once
// The arithmetic of idx1 entries shared by the key-frame index and the
// reference walk the tests check it against.

#include <cstdint>
#include <cstring>
#include <string>

namespace vidloom {

// The chunk ids that are frames of one video stream: its two-digit stream
// number followed by "dc" (compressed) or "db" (uncompressed), as 32-bit words
// the way the four bytes lie in the file. An interleaved DV stream (DV type 1)
// has no separate video chunks: its "dc" chunks and "__" chunks are frames.
struct VideoChunkIds {
    explicit VideoChunkIds(int32_t streamNumber, bool interleavedDv = false);
    uint32_t compressed = 0;
    uint32_t uncompressed = 0;
    bool matches(uint32_t id) const { return id == compressed || id == uncompressed; }
};

// The 32-bit word at p, as the index stores it: one load where the
// index readers look at millions of entries (little-endian machines only: the
// file's byte order).
inline uint32_t wordAt(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// A frame of the video is a data chunk of the video stream; padding (7Fxx),
// other streams, index chunks (ix00) and palette changes (00pc) are not.
bool isVideoFrameEntry(const std::string& entryId, int32_t videoStreamNumber);

// An audio entry is one whose id has a lower-case 'w' as its third character
// (01wb). The walk looks for the first one when the file has audio.
bool isAudioEntry(const std::string& entryId);

// File offset of idx1 entry k: IndexPos + 8 + 16 * k, overflow-checked.
int32_t indexEntryPos(int32_t indexPos, int32_t k);

// The entry count that an idx1 size word gives (a remainder of 1 to 15 bytes
// is ignored). A size word of 2^31 or more raises RangeError naming the file.
int32_t entryCountOf(int32_t sizeWord, const std::string& fileName, int32_t sizeWordPos);

// The error of an index position that holds no idx1 chunk: the movie list's
// size word was never written (a recording stopped before its end) or is
// damaged, so no frame can be found.
[[noreturn]] void throwNoUsableIndex(const std::string& fileName, int32_t indexPos);

} // namespace vidloom

#pragma once
// The OpenDML (AVI 2.0) indexes of a stream: its super index ("indx" in the
// stream list) lists standard indexes ("ix##" chunks, usually one per RIFF
// part), each of which lists the stream's chunks in order. Positions are
// 64-bit: files of 4 GiB and more are the reason these indexes exist.

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"

#include <cstdint>
#include <vector>

namespace vidloom {

// The positions of the standard indexes that the video's super index has in
// use, in its order. Raises IoError when the super index is cut off.
std::vector<uint64_t> videoStandardIndexes(BinaryFile& file, const AviHeader& header);

// The head of one standard index: where its entries lie, how many are in use
// and how many bytes each takes (8, or 12 in a field index).
struct StandardIndex {
    int64_t entries = 0;
    uint32_t count = 0;
    uint32_t entryBytes = 8;
    // The position of entry k's size word; bit 31 of it set marks a frame
    // that is not a key frame.
    int64_t sizeWordOf(uint32_t k) const { return entries + int64_t(k) * entryBytes + 4; }
};

// Reads the standard index whose chunk starts at chunkPos. Raises IoError,
// naming the offset, when it lies past the end of the file or is not an
// index of chunks.
StandardIndex readStandardIndex(BinaryFile& file, uint64_t chunkPos);
// The same from the chunk's first 32 bytes, already read.
StandardIndex standardIndexOf(const uint8_t* head, const BinaryFile& file, uint64_t chunkPos);
inline constexpr int64_t kStandardIndexHead = 32;

// What a standard index entry's size word says.
inline bool isKeyEntry(uint32_t sizeWord) {
    return (sizeWord & 0x80000000u) == 0;
}

} // namespace vidloom

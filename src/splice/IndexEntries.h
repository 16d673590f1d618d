#pragma once
// The arithmetic of idx1 entries shared by the key-frame index and the
// reference walk the tests check it against.

#include <cstdint>
#include <string>

namespace vidloom {

// An audio entry is one whose id has a lower-case 'w' as its third character
// (01wb); every other entry (00dc, 00db, 00pc, ix00, 01WB) counts as video.
bool isAudioEntry(const std::string& entryId);

// File offset of idx1 entry k: IndexPos + 8 + 16 * k, overflow-checked.
int32_t indexEntryPos(int32_t indexPos, int32_t k);

// The entry count that an idx1 size word gives (a remainder of 1 to 15 bytes
// is ignored). A size word of 2^31 or more raises RangeError naming the file.
int32_t entryCountOf(int32_t sizeWord, const std::string& fileName, int32_t sizeWordPos);

} // namespace vidloom

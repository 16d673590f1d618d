#include "avi/index/OpenDmlIndex.h"

#include "avi/Errors.h"
#include "avi/FourCC.h"

#include <algorithm>
#include <unordered_set>

namespace vidloom {

namespace {
constexpr int64_t kSuperHeader = 24;    // wLongsPerEntry ... dwReserved[3]
constexpr int64_t kSuperEntry = 16;     // qwOffset, dwSize, dwDuration
constexpr int64_t kStandardHeader = 32; // chunk header, then wLongsPerEntry ... dwReserved
} // namespace

std::vector<uint64_t> videoStandardIndexes(BinaryFile& file, const AviHeader& header) {
    std::vector<uint64_t> positions;
    if (header.VideoSuperIndexPos < 0) {
        return positions;
    }
    // Entries past the chunk's own size are not in use, whatever the count says.
    const int64_t room = (int64_t(header.VideoSuperIndexSize) - kSuperHeader) / kSuperEntry;
    const int64_t count =
        std::clamp<int64_t>(header.VideoSuperIndexEntries, 0, std::max<int64_t>(room, 0));
    const int64_t first = header.VideoSuperIndexPos + kSuperHeader;
    if (count * kSuperEntry <= file.size() - first) {
        // All in one small read: the super index lies far from the indexes.
        std::vector<uint8_t> entries(size_t(count * kSuperEntry));
        file.readDirect(first, entries.data(), entries.size(), "the OpenDML super index");
        // Each standard index once, in the order first named: a super index
        // that names one index many times lists its frames once.
        std::unordered_set<uint64_t> seen;
        for (int64_t k = 0; k < count; ++k) {
            uint64_t position = 0;
            for (int i = 7; i >= 0; --i) {
                position = (position << 8) | entries[size_t(k * kSuperEntry + i)];
            }
            if (seen.insert(position).second) {
                positions.push_back(position);
            }
        }
        return positions;
    }
    // Cut off: the entries up to the first one missing, which raises.
    for (int64_t k = 0;; ++k) {
        file.seek(first + k * kSuperEntry);
        positions.push_back(file.readQword64("the OpenDML super index"));
    }
}

StandardIndex readStandardIndex(BinaryFile& file, uint64_t chunkPos) {
    uint8_t head[kStandardHeader];
    if (chunkPos > uint64_t(INT64_MAX) || !file.peek(int64_t(chunkPos), head, sizeof head)) {
        throw IoError(file.path() + ": unexpected end of file: the standard index at offset " +
                      std::to_string(chunkPos) + " lies past the end of the file (" +
                      std::to_string(file.size()) + " bytes)");
    }
    return standardIndexOf(head, file, chunkPos);
}

StandardIndex standardIndexOf(const uint8_t* head, const BinaryFile& file, uint64_t chunkPos) {
    const std::string where = "the standard index at offset " + std::to_string(chunkPos);
    const uint32_t chunkSize = FourCC::fromBytes(head + 4).word();
    const uint32_t longsPerEntry = uint32_t(head[8]) | uint32_t(head[9]) << 8;
    const uint8_t indexType = head[11];
    const uint32_t count = FourCC::fromBytes(head + 12).word();
    // An index of chunks (type 1) of frames (2 longs) or of fields (3 longs).
    if (indexType != 1 || (longsPerEntry != 2 && longsPerEntry != 3)) {
        throw IoError(file.path() + ": " + where + " is not an index of chunks (type " +
                      std::to_string(indexType) + ", " + std::to_string(longsPerEntry) +
                      " longs per entry)");
    }
    StandardIndex index;
    index.entries = int64_t(chunkPos) + kStandardHeader;
    index.entryBytes = longsPerEntry * 4;
    if (int64_t(count) * index.entryBytes > int64_t(chunkSize) - (kStandardHeader - 8)) {
        throw IoError(file.path() + ": " + where + " is damaged: its " + std::to_string(count) +
                      " entries do not fit its size of " + std::to_string(chunkSize) + " bytes");
    }
    // Every chunk takes at least its 8-byte header: an index that lists more
    // chunks than that lists chunks the file cannot hold.
    if (int64_t(count) > file.size() / 8) {
        throw IoError(file.path() + ": " + where + " is damaged: it lists " +
                      std::to_string(count) + " chunks, more than a file of " +
                      std::to_string(file.size()) + " bytes can hold");
    }
    index.count = count;
    return index;
}

} // namespace vidloom

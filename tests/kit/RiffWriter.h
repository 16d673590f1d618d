#pragma once
// The bytes of RIFF structures, for the test kit's AVI builder and the
// benchmarks' generators alike: little-endian words, chunks and lists.

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom::kit {

inline std::string le16(uint16_t v) {
    return std::string{char(v & 0xFF), char(v >> 8)};
}

inline std::string le32(uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
}

inline std::string le64(uint64_t v) {
    return le32(uint32_t(v)) + le32(uint32_t(v >> 32));
}

inline uint32_t get32(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | uint8_t(bytes.at(offset + size_t(i)));
    }
    return v;
}

inline void put32(std::string& bytes, size_t offset, uint32_t v) {
    bytes.replace(offset, 4, le32(v));
}

inline void put16(std::string& bytes, size_t offset, uint16_t v) {
    bytes.replace(offset, 2, le16(v));
}

// A RIFF chunk: id, size word, data, and a pad byte when the size is odd.
inline std::string chunk(const std::string& id, const std::string& data) {
    std::string out = id + le32(uint32_t(data.size())) + data;
    if (data.size() % 2 == 1) {
        out += '\0';
    }
    return out;
}

// A LIST chunk of the given type.
inline std::string list(const std::string& type, const std::string& body) {
    return "LIST" + le32(uint32_t(body.size() + 4)) + type + body;
}

// An OpenDML super index (an "indx" chunk's data) for the stream whose chunks
// are chunkId, with room for `capacity` entries; entries are {position of the
// ix## chunk, its size, the frames it lists}.
struct SuperIndexEntry {
    uint64_t position = 0;
    uint32_t size = 0;
    uint32_t duration = 0;
};
inline std::string superIndex(const std::string& chunkId,
                              const std::vector<SuperIndexEntry>& entries, size_t capacity) {
    std::string out = le16(4) + std::string(1, '\0') + std::string(1, '\0') +
                      le32(uint32_t(entries.size())) + chunkId + std::string(12, '\0');
    for (size_t k = 0; k < capacity; ++k) {
        const SuperIndexEntry e = k < entries.size() ? entries[k] : SuperIndexEntry{};
        out += le64(e.position) + le32(e.size) + le32(e.duration);
    }
    return out;
}

// An OpenDML standard index chunk ("ix##") header: entries follow, 2 longs
// each ({offset from base, size with bit 31 set on a frame that is not key})
// or 3 in a field index.
inline std::string standardIndexHead(const std::string& ixId, const std::string& chunkId,
                                     uint64_t base, uint32_t count, bool fields) {
    const uint32_t entryBytes = fields ? 12 : 8;
    return ixId + le32(24 + count * entryBytes) + le16(fields ? 3 : 2) +
           std::string(1, fields ? '\1' : '\0') + std::string(1, '\1') + le32(count) + chunkId +
           le64(base) + le32(0);
}

} // namespace vidloom::kit

#include "avi/RiffLayout.h"

namespace vidloom {

namespace {

struct ChunkHead {
    FourCC id;
    uint32_t size = 0;
};

// The chunk header at offset, when it lies inside the file.
bool chunkAt(BinaryFile& file, int64_t offset, ChunkHead& head) {
    uint8_t bytes[8];
    if (!file.peek(offset, bytes, 8)) {
        return false;
    }
    head.id = FourCC::fromBytes(bytes);
    head.size = FourCC::fromBytes(bytes + 4).word();
    return true;
}

// The offset of the chunk after the one at offset (sizes are padded to even).
int64_t nextChunk(int64_t offset, uint32_t size) {
    return offset + 8 + int64_t(size) + (size & 1);
}

StreamList readStreamList(BinaryFile& file, int64_t from, int64_t end) {
    StreamList stream;
    ChunkHead head;
    for (int64_t at = from; at + 8 <= end && chunkAt(file, at, head);
         at = nextChunk(at, head.size)) {
        const int64_t data = at + 8;
        if (head.id == "strh") {
            uint8_t type[4];
            if (file.peek(data, type, 4)) {
                stream.type = FourCC::fromBytes(type);
                stream.streamHeader = data;
            }
        } else if (head.id == "strf") {
            stream.format = data;
        } else if (head.id == "indx") {
            stream.superIndex = data;
            stream.superIndexSize = head.size;
        }
    }
    return stream;
}

} // namespace

std::vector<StreamList> readStreamLists(BinaryFile& file, int64_t hdrlWord) {
    std::vector<StreamList> streams;
    uint8_t sizeWord[4];
    if (hdrlWord < 8 || !file.peek(hdrlWord - 4, sizeWord, 4)) {
        return streams;
    }
    const int64_t end =
        std::min(hdrlWord + int64_t(FourCC::fromBytes(sizeWord).word()), file.size());
    ChunkHead head;
    for (int64_t at = hdrlWord + 4; at + 12 <= end && chunkAt(file, at, head);
         at = nextChunk(at, head.size)) {
        uint8_t type[4];
        if (head.id == "LIST" && file.peek(at + 8, type, 4) && FourCC::fromBytes(type) == "strl") {
            streams.push_back(
                readStreamList(file, at + 12, std::min(nextChunk(at, head.size), end)));
        }
    }
    return streams;
}

RiffParts readRiffParts(BinaryFile& file) {
    RiffParts parts;
    ChunkHead head;
    if (!chunkAt(file, 0, head)) {
        return parts;
    }
    parts.firstEnd = std::min(nextChunk(0, head.size), file.size());
    for (int64_t at = nextChunk(0, head.size); chunkAt(file, at, head);
         at = nextChunk(at, head.size)) {
        uint8_t form[4];
        if (!(head.id == "RIFF") || !file.peek(at + 8, form, 4) ||
            !(FourCC::fromBytes(form) == "AVIX")) {
            break;
        }
        ++parts.count;
        // The part's movie list follows its form type.
        ChunkHead movie;
        uint8_t listType[4];
        if (chunkAt(file, at + 12, movie) && movie.id == "LIST" &&
            file.peek(at + 20, listType, 4) && FourCC::fromBytes(listType) == "movi") {
            parts.extraMovieBytes += movie.size;
        }
    }
    return parts;
}

} // namespace vidloom

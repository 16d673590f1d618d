#include "avi/index/VideoIndexChoice.h"

#include "avi/AviHeader.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/index/IndexEntries.h"
#include "avi/index/MovieScan.h"
#include "avi/index/OpenDmlIndex.h"

#include <algorithm>
#include <cstring>

namespace vidloom {

namespace {

constexpr int64_t kEntriesPerBlock = 65536;

// The video frames of idx1 when it is whole and every one of them lies inside
// the file, else -1. Entry offsets count from the word "movi" or, as some
// writers have it, from the start of the file.
int64_t idx1Frames(BinaryFile& file, const AviHeader& header) {
    uint8_t head[8];
    if (header.IndexPos <= 0 || !file.peek(header.IndexPos, head, 8) ||
        std::memcmp(head, "idx1", 4) != 0) {
        return -1;
    }
    const int64_t entries = int64_t(wordAt(head + 4)) / 16;
    const int64_t first = int64_t(header.IndexPos) + 8;
    if (entries * 16 > file.size() - first) {
        return -1; // cut
    }
    const VideoChunkIds ids(header.VideoStreamNumber, header.DvType == 1);
    std::vector<uint8_t> block;
    int64_t frames = 0;
    uint64_t lastEnd = 0;
    for (int64_t done = 0; done < entries;) {
        const int64_t n = std::min(kEntriesPerBlock, entries - done);
        block.resize(size_t(n * 16));
        file.readDirect(first + done * 16, block.data(), block.size(), "the idx1 index");
        for (int64_t i = 0; i < n; ++i) {
            const uint8_t* e = block.data() + i * 16;
            if (ids.matches(wordAt(e))) {
                ++frames;
                lastEnd = std::max(lastEnd, uint64_t(wordAt(e + 8)) + wordAt(e + 12) + 8);
            }
        }
        done += n;
    }
    const uint64_t moviWord = uint64_t(header.MoviSizePos) + 4;
    const uint64_t size = uint64_t(file.size());
    if (frames > 0 && moviWord + lastEnd > size && lastEnd > size) {
        return -1; // points past the end
    }
    return frames;
}

// The frames of the standard indexes when each is whole and could name
// chunks of this file, else -1.
int64_t standardIndexFrames(BinaryFile& file, const AviHeader& header) {
    try {
        int64_t frames = 0;
        for (const uint64_t chunk : videoStandardIndexes(file, header)) {
            const StandardIndex index = readStandardIndex(file, chunk);
            if (int64_t(index.count) * index.entryBytes > file.size() - index.entries) {
                return -1; // cut
            }
            frames += index.count;
        }
        return frames;
    } catch (const IoError&) {
        return -1; // cut, damaged, or claiming more chunks than the file holds
    }
}

} // namespace

int32_t countMovieFrames(BinaryFile& file, const AviHeader& header) {
    const VideoChunkIds ids(header.VideoStreamNumber, header.DvType == 1);
    int32_t frames = 0;
    scanMovieLists(file, header.MovieLists, [&](const MovieChunk& chunk) {
        if (ids.matches(chunk.id)) {
            frames = checkedAdd(frames, 1);
        }
        return true;
    });
    return frames;
}

VideoIndexChoice chooseVideoIndex(BinaryFile& file, const AviHeader& header) {
    int64_t frames = header.VideoSuperIndexEntries > 0 ? standardIndexFrames(file, header)
                                                       : idx1Frames(file, header);
    if (frames >= 0 && frames <= INT32_MAX) {
        return {header.VideoSuperIndexEntries > 0 ? VideoIndexKind::OpenDml : VideoIndexKind::Idx1,
                int32_t(frames)};
    }
    return {VideoIndexKind::Rebuilt, countMovieFrames(file, header)};
}

} // namespace vidloom

#include "avi/index/VideoEntrySizes.h"

#include "avi/BinaryFile.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"
#include "avi/index/IndexEntries.h"
#include "avi/index/MovieScan.h"
#include "avi/index/OpenDmlIndex.h"

#include <algorithm>
#include <climits>
#include <string>

namespace vidloom {

namespace {

constexpr int32_t kEntriesPerBlock = 32768;

} // namespace

// The video frames of an idx1 index: the data chunks of the video stream, as
// KeyFrameIndex counts them, up to the last entry that lies in the file.
void VideoEntrySizes::readIdx1(BinaryFile& file, const AviHeader& header) {
    const int32_t sizeWordPos = offsetPlus(header.IndexPos, 4, "index size");
    file.seek(sizeWordPos);
    const int32_t count =
        entryCountOf(file.readDword32("the idx1 index size"), header.FileName, sizeWordPos);
    const int64_t first = int64_t(header.IndexPos) + 8;
    int64_t fitting = 0;
    if (first <= INT32_MAX) {
        fitting = std::max<int64_t>(0, (file.size() - first) / 16);
        fitting = std::min<int64_t>(fitting, (int64_t(INT32_MAX) - first) / 16 + 1);
    }
    const int32_t readable = int32_t(std::min<int64_t>(count, fitting));
    const VideoChunkIds ids(header.VideoStreamNumber, header.DvType == 1);
    std::vector<uint8_t> block(size_t(std::min(kEntriesPerBlock, std::max(readable, 1))) * 16);
    file.seek(first);
    for (int32_t done = 0; done < readable;) {
        const int32_t n = std::min(kEntriesPerBlock, readable - done);
        file.read(block.data(), size_t(n) * 16, "the idx1 index");
        for (int32_t i = 0; i < n; ++i) {
            const uint8_t* entry = block.data() + size_t(i) * 16;
            if (ids.matches(wordAt(entry))) {
                add(wordAt(entry + 12));
            }
        }
        done += n;
    }
}

// The video frames of the OpenDML standard indexes the super index has in
// use, in its order, up to the first one that cannot be read whole.
void VideoEntrySizes::readStandardIndexes(BinaryFile& file, const AviHeader& header) {
    std::vector<uint8_t> block;
    for (const uint64_t chunk : videoStandardIndexes(file, header)) {
        if (chunk > uint64_t(file.size()) || file.size() - int64_t(chunk) < kStandardIndexHead) {
            return;
        }
        const StandardIndex index = readStandardIndex(file, chunk);
        const uint32_t eb = index.entryBytes;
        const int64_t left = file.size() - index.entries;
        const int64_t room = left < 8 ? 0 : (left - 8) / eb + 1;
        const uint32_t readable = uint32_t(std::min<int64_t>(index.count, room));
        for (uint32_t done = 0; done < readable;) {
            const uint32_t n = uint32_t(std::min<int64_t>(readable - done, kEntriesPerBlock));
            // The last entry may be cut after its size word.
            const int64_t at = index.entries + int64_t(done) * eb;
            block.resize(size_t(std::min<int64_t>(int64_t(n) * eb, file.size() - at)));
            file.seek(at);
            file.read(block.data(), block.size(), "a standard index");
            for (uint32_t k = 0; k < n; ++k) {
                add(wordAt(block.data() + size_t(k) * eb + 4) & 0x7FFFFFFFu);
            }
            done += n;
        }
        if (readable < index.count) {
            return;
        }
    }
}

void VideoEntrySizes::add(uint32_t size) {
    if (size == 0) {
        empty_.push_back(videoEntries_);
    }
    videoEntries_ = checkedAdd(videoEntries_, 1);
}

VideoEntrySizes VideoEntrySizes::read(const AviHeader& header) {
    VideoEntrySizes sizes;
    if (!header.IsAvi) {
        return sizes;
    }
    try {
        BinaryFile file(header.FileName);
        // From the same index KeyFrameIndex reads its frames from.
        if (header.IndexKind == VideoIndexKind::Rebuilt) {
            const VideoChunkIds ids(header.VideoStreamNumber, header.DvType == 1);
            scanMovieLists(file, header.MovieLists, [&](const MovieChunk& chunk) {
                if (ids.matches(chunk.id)) {
                    sizes.add(chunk.size);
                }
                return sizes.videoEntries_ < header.TotalFrames;
            });
        } else if (header.IndexKind == VideoIndexKind::OpenDml) {
            sizes.readStandardIndexes(file, header);
        } else {
            sizes.readIdx1(file, header);
        }
    } catch (VidloomError& e) {
        e.nameFile(header.FileName);
        throw;
    }
    return sizes;
}

} // namespace vidloom

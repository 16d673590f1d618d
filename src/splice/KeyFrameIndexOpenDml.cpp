// The key-frame bits of an OpenDML video stream: the entries of its standard
// indexes in the super index's order, a key frame where bit 31 of the size is
// clear. Frames up to the first index that cannot be read are answered; the
// rest raise the error of reading it.

#include "splice/KeyFrameIndex.h"

#include "avi/Errors.h"
#include "avi/OpenDmlIndex.h"

#include <algorithm>
#include <climits>

namespace vidloom {

namespace {
constexpr uint32_t kEntriesPerBlock = 65536;
} // namespace

void KeyFrameIndex::readStandardIndexes(BinaryFile& file, const AviHeader& aviInfo) {
    // The walk finds frames without looking for audio first.
    firstVideoRead_ = true;
    firstAudioRead_ = true;
    const std::vector<uint64_t> chunks = videoStandardIndexes(file, aviInfo);
    std::vector<uint8_t> block;
    for (const uint64_t chunk : chunks) {
        try {
            const StandardIndex index = readStandardIndex(file, chunk);
            // Entries whose size word lies inside the file (the last one may
            // be cut after it).
            const int64_t left = file.size() - index.entries;
            const int64_t room = left < 8 ? 0 : (left - 8) / index.entryBytes + 1;
            const uint32_t readable = uint32_t(std::min<int64_t>(index.count, room));
            if (int64_t(videoFrames_) + readable > INT32_MAX) {
                throw OverflowError("the standard indexes list more than " +
                                    std::to_string(INT32_MAX) + " frames");
            }
            file.seek(index.entries);
            for (uint32_t done = 0; done < readable;) {
                const uint32_t n = std::min(kEntriesPerBlock, readable - done);
                block.resize(size_t(std::min<int64_t>(int64_t(n) * index.entryBytes,
                                                      file.size() - file.position())));
                file.read(block.data(), block.size(), "a standard index");
                for (uint32_t from = 0; from < n; from += 64) {
                    const uint32_t m = std::min<uint32_t>(64, n - from);
                    uint64_t bits = 0;
                    for (uint32_t i = 0; i < m; ++i) {
                        const uint8_t high = block[size_t(from + i) * index.entryBytes + 7];
                        bits |= uint64_t((high & 0x80) == 0) << i;
                    }
                    appendBits(bits, m);
                }
                done += n;
            }
            if (readable < index.count) {
                // Raises the error of reading the first entry that is not there.
                file.seek(index.sizeWordOf(readable));
                file.readDword32("a standard index entry");
            }
        } catch (VidloomError& e) {
            e.nameFile(aviInfo.FileName);
            entryError_ = StoredError::of(e);
            truncated_ = true;
            break;
        }
    }
}

} // namespace vidloom

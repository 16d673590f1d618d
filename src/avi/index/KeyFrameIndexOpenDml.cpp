// The key-frame bits of an OpenDML video stream: the entries of its standard
// indexes in the super index's order, a key frame where bit 31 of the size is
// clear. Frames up to the first index that cannot be read are answered; the
// rest raise the error of reading it.

#include "avi/index/KeyFrameIndex.h"

#include "avi/Errors.h"
#include "avi/index/OpenDmlIndex.h"

#include <algorithm>
#include <climits>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidloom {

namespace {

constexpr int64_t kEntriesPerBlock = 65536;

// The key bits of m (at most 64) entries of entryBytes each: bit 31 of the
// size word (the entry's second dword) clear.
uint64_t keyBitsOf(const uint8_t* entry, uint32_t m, uint32_t entryBytes) {
    uint64_t notKey = 0;
    uint32_t i = 0;
#if defined(__SSE2__)
    if (entryBytes == 8) {
        // Four entries per step: their size words side by side, one sign bit each.
        for (; i + 4 <= m; i += 4) {
            const auto* e = reinterpret_cast<const __m128*>(entry + 8 * size_t(i));
            const __m128 sizes = _mm_shuffle_ps(_mm_loadu_ps(reinterpret_cast<const float*>(e)),
                                                _mm_loadu_ps(reinterpret_cast<const float*>(e) + 4),
                                                _MM_SHUFFLE(3, 1, 3, 1));
            notKey |= uint64_t(_mm_movemask_ps(sizes)) << i;
        }
    }
#endif
    for (; i < m; ++i) {
        notKey |= uint64_t(entry[size_t(i) * entryBytes + 7] >> 7) << i;
    }
    const uint64_t all = m == 64 ? ~uint64_t(0) : (uint64_t(1) << m) - 1;
    return ~notKey & all;
}

} // namespace

void KeyFrameIndex::readStandardIndexes(BinaryFile& file, const AviHeader& aviInfo) {
    // The walk finds frames without looking for audio first.
    firstVideoRead_ = true;
    firstAudioRead_ = true;
    std::vector<uint8_t> block;
    for (const uint64_t chunk : videoStandardIndexes(file, aviInfo)) {
        try {
            if (chunk > uint64_t(file.size()) ||
                file.size() - int64_t(chunk) < kStandardIndexHead) {
                readStandardIndex(file, chunk); // raises the error of an index past the end
            }
            // The head with one small read, then the entries in large blocks.
            uint8_t head[kStandardIndexHead];
            file.readDirect(int64_t(chunk), head, sizeof head, "a standard index");
            const StandardIndex index = standardIndexOf(head, file, chunk);
            const uint32_t eb = index.entryBytes;
            // Entries whose size word lies inside the file (the last one may
            // be cut after it).
            const int64_t left = file.size() - index.entries;
            const int64_t room = left < 8 ? 0 : (left - 8) / eb + 1;
            const uint32_t readable = uint32_t(std::min<int64_t>(index.count, room));
            if (int64_t(videoFrames_) + readable > INT32_MAX) {
                throw OverflowError("the standard indexes list more than " +
                                    std::to_string(INT32_MAX) + " frames");
            }
            const auto refill = [&](int64_t at, int64_t bytes) {
                block.resize(size_t(std::min(bytes, file.size() - at)));
                file.seek(at);
                file.read(block.data(), block.size(), "a standard index");
            };
            const uint8_t* p = nullptr;
            int64_t have = 0;
            for (uint32_t done = 0; done < readable;) {
                if (have < 8) {
                    refill(index.entries + int64_t(done) * eb,
                           std::min<int64_t>(readable - done, kEntriesPerBlock) * eb);
                    p = block.data();
                    have = int64_t(block.size());
                }
                const uint32_t inMemory = uint32_t(std::min<int64_t>((have - 8) / eb + 1, 64));
                const uint32_t m = std::min(readable - done, inMemory);
                appendBits(keyBitsOf(p, m, eb), m);
                p += size_t(m) * eb;
                have -= int64_t(m) * eb;
                done += m;
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

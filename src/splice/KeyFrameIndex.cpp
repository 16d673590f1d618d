#include "splice/KeyFrameIndex.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"
#include "splice/IndexEntries.h"

#include <algorithm>
#include <climits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidloom {

namespace {
// Entries per block when the index is read: 1 MiB at a time.
constexpr int32_t kEntriesPerBlock = 32768;
} // namespace

StoredError StoredError::of(const std::exception& error) {
    StoredError stored;
    stored.message = error.what();
    if (dynamic_cast<const IoError*>(&error)) {
        stored.kind = Kind::Io;
    } else if (dynamic_cast<const OverflowError*>(&error)) {
        stored.kind = Kind::Overflow;
    } else if (dynamic_cast<const RangeError*>(&error)) {
        stored.kind = Kind::Range;
    } else if (dynamic_cast<const DivisionError*>(&error)) {
        stored.kind = Kind::Division;
    } else if (dynamic_cast<const ListIndexError*>(&error)) {
        stored.kind = Kind::ListIndex;
    } else if (dynamic_cast<const ConversionError*>(&error)) {
        stored.kind = Kind::Conversion;
    } else {
        stored.kind = Kind::Other;
    }
    return stored;
}

void StoredError::raise() const {
    switch (kind) {
    case Kind::Io:
        throw IoError(message);
    case Kind::Overflow:
        throw OverflowError(message);
    case Kind::Range:
        throw RangeError(message);
    case Kind::Division:
        throw DivisionError(message);
    case Kind::ListIndex:
        throw ListIndexError(message);
    case Kind::Conversion:
        throw ConversionError(message);
    case Kind::None:
    case Kind::Other:
        break;
    }
    throw VidloomError(message);
}

std::unique_ptr<KeyFrameIndex> KeyFrameIndex::read(const AviHeader& aviInfo) {
    std::unique_ptr<KeyFrameIndex> index(new KeyFrameIndex);
    index->noAudio_ = aviInfo.NoAudio;
    if (!aviInfo.IsAvi) {
        return index; // no index: nothing is opened or read
    }
    const std::string& fileName = aviInfo.FileName;
    // Taken before the file is read, so a change while reading shows later.
    index->stamp_ = stampOf(fileName);
    BinaryFile file(fileName); // an error of opening is not kept

    // The same steps, in the same order, as the walker's constructor, so that
    // the same error comes out of the same broken file.
    int32_t moviBase = 0;
    try {
        const int32_t sizeWordPos = offsetPlus(aviInfo.IndexPos, 4, "index size");
        file.seek(sizeWordPos);
        index->entryCount_ =
            entryCountOf(readDword32(file, "the idx1 index size"), fileName, sizeWordPos);
        moviBase = checkedAdd(aviInfo.MoviSizePos, 8);
    } catch (VidloomError& e) {
        e.nameFile(fileName);
        index->fileError_ = StoredError::of(e);
        return index;
    }

    // Entries that lie wholly inside the file at an offset the walk can
    // compute; the walk raises an error at the first one that does not.
    const int64_t first = int64_t(aviInfo.IndexPos) + 8;
    int64_t fitting = 0;
    if (first <= INT32_MAX) {
        fitting = std::max<int64_t>(0, (file.size() - first) / 16);
        fitting = std::min<int64_t>(fitting, (int64_t(INT32_MAX) - first) / 16 + 1);
    }
    index->readable_ = int32_t(std::min<int64_t>(index->entryCount_, fitting));

    if (index->readable_ < index->entryCount_) {
        try {
            IndexEntry entry;
            file.seek(indexEntryPos(aviInfo.IndexPos, index->readable_));
            entry.MoviBase = moviBase;
            readIndexEntry(file, entry);
            // Cannot happen for an entry past the end; keep a plain answer.
            throw IoError(fileName + ": index entry " + std::to_string(index->readable_) +
                          " cannot be read");
        } catch (VidloomError& e) {
            e.nameFile(fileName);
            index->entryError_ = StoredError::of(e);
        }
    }

    try {
        index->readEntries(file, aviInfo.IndexPos);
    } catch (VidloomError& e) {
        // The file changed under the reader; every question reports it.
        e.nameFile(fileName);
        index->fileError_ = StoredError::of(e);
    }
    return index;
}

namespace {
// The bits of key at the places where video has a 1, packed to the low end.
uint64_t compress(uint64_t key, uint64_t video) {
    if (video == ~uint64_t(0)) {
        return key; // no audio entry among these 64
    }
    uint64_t out = 0;
    unsigned k = 0;
    if (video == 0x5555555555555555ull || video == 0xAAAAAAAAAAAAAAAAull) {
        // Video and audio alternate: keep every other bit.
        uint64_t x = (video & 1 ? key : key >> 1) & 0x5555555555555555ull;
        x = (x | (x >> 1)) & 0x3333333333333333ull;
        x = (x | (x >> 2)) & 0x0F0F0F0F0F0F0F0Full;
        x = (x | (x >> 4)) & 0x00FF00FF00FF00FFull;
        x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
        return (x | (x >> 16)) & 0x00000000FFFFFFFFull;
    }
    while (video != 0) {
        out |= ((key >> __builtin_ctzll(video)) & 1) << k++;
        video &= video - 1;
    }
    return out;
}
} // namespace

void KeyFrameIndex::readEntries(BinaryFile& file, int32_t indexPos) {
    if (readable_ == 0) {
        return;
    }
    file.seek(int64_t(indexPos) + 8);
    std::vector<uint8_t> block(size_t(std::min(kEntriesPerBlock, readable_)) * 16);
    keyWords_.assign(size_t(readable_) / 64 + 2, 0);
    uint64_t* words = keyWords_.data();
    uint64_t video = 0; // video entries so far
    uint64_t audio = 0;
    int32_t done = 0;
    while (done < readable_) {
        const int32_t n = std::min(kEntriesPerBlock, readable_ - done);
        file.read(block.data(), size_t(n) * 16, "the idx1 index");
        for (int32_t from = 0; from < n; from += 64) {
            const int32_t m = std::min(64, n - from);
            const uint8_t* entry = block.data() + size_t(from) * 16;
            // Each entry's bits land at fixed places: no chain from one to the next.
            uint64_t isVideo = 0;
            uint64_t isKey = 0;
            if (m == 64) {
#if defined(__SSE2__)
                // Four entries at a time: their ids side by side in one
                // register, their flags in another, one mask bit from each.
                const __m128i idByte = _mm_set1_epi32(0x00FF0000);
                const __m128i audioId = _mm_set1_epi32(0x00770000); // 'w' third
                for (int32_t i = 0; i < 64; i += 4) {
                    const auto* e = reinterpret_cast<const __m128i*>(entry + 16 * i);
                    const __m128i a = _mm_loadu_si128(e);
                    const __m128i b = _mm_loadu_si128(e + 1);
                    const __m128i c = _mm_loadu_si128(e + 2);
                    const __m128i d = _mm_loadu_si128(e + 3);
                    const __m128i ab = _mm_unpacklo_epi32(a, b);
                    const __m128i cd = _mm_unpacklo_epi32(c, d);
                    const __m128i ids = _mm_unpacklo_epi64(ab, cd);
                    const __m128i flags = _mm_unpackhi_epi64(ab, cd);
                    const __m128i audio4 = _mm_cmpeq_epi32(_mm_and_si128(ids, idByte), audioId);
                    const unsigned audioBits = unsigned(_mm_movemask_ps(_mm_castsi128_ps(audio4)));
                    const unsigned keyBits =
                        unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(flags, 27))));
                    isVideo |= uint64_t(~audioBits & 15u) << i;
                    isKey |= uint64_t(keyBits) << i;
                }
#else
#pragma GCC unroll 64
                for (int32_t i = 0; i < 64; ++i) {
                    isVideo |= uint64_t(entry[16 * i + 2] != 'w') << i;
                    isKey |= uint64_t((entry[16 * i + 4] >> 4) & 1) << i;
                }
#endif
            } else {
                for (int32_t i = 0; i < m; ++i) {
                    isVideo |= uint64_t(entry[16 * i + 2] != 'w') << i;
                    isKey |= uint64_t((entry[16 * i + 4] >> 4) & 1) << i;
                }
            }
            const uint64_t bits = compress(isKey, isVideo);
            const unsigned count = unsigned(__builtin_popcountll(isVideo));
            words[video / 64] |= bits << (video % 64);
            if (video % 64 != 0) {
                words[video / 64 + 1] |= bits >> (64 - video % 64);
            }
            video += count;
            audio += unsigned(m) - count;
        }
        done += n;
    }
    videoFrames_ = int32_t(video);
    firstVideoRead_ = video > 0;
    firstAudioRead_ = audio > 0;
    keyWords_.resize(size_t(video + 63) / 64);
    keyWords_.shrink_to_fit();
}

bool KeyFrameIndex::isKeyFrame(int32_t n) const {
    if (!fileError_.empty()) {
        fileError_.raise();
    }
    const bool truncated = readable_ < entryCount_;
    // A new walker first looks for the first video entry and, when the file
    // has audio, for the first audio entry; past the readable entries that
    // search meets the missing one.
    if (truncated && (!firstVideoRead_ || (!noAudio_ && !firstAudioRead_))) {
        entryError_.raise();
    }
    n = std::max(n, 0);
    if (n < videoFrames()) {
        return bit(n);
    }
    // Past the readable video entries the walk goes on to the index's end.
    if (truncated) {
        entryError_.raise();
    }
    return videoFrames_ > 0 && bit(videoFrames_ - 1);
}

std::vector<int32_t> KeyFrameIndex::keyFrameNumbers() const {
    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < videoFrames_; ++i) {
        if (bit(i)) {
            numbers.push_back(int32_t(i));
        }
    }
    return numbers;
}

} // namespace vidloom

// The key-frame bits of an idx1 index, 64 entries at a time: which of them are
// frames of the video stream, which are audio, which carry the key-frame flag.

#include "avi/index/KeyFrameIndex.h"

#include "avi/index/IndexEntries.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidloom {

namespace {

// Entries per block when the index is read: 1 MiB at a time.
constexpr int32_t kEntriesPerBlock = 32768;
constexpr size_t kEntryBytes = 16;

struct EntryMasks {
    uint64_t video = 0; // a frame of the video stream
    uint64_t audio = 0; // an audio entry (lower-case 'w' third)
    uint64_t key = 0;   // the key-frame flag 0x10
};

// Each entry's bits land at fixed places: no chain from one to the next.
void maskEntries(const uint8_t* entry, int32_t count, int32_t from, const VideoChunkIds& ids,
                 EntryMasks& masks) {
    for (int32_t i = from; i < count; ++i) {
        const uint8_t* e = entry + kEntryBytes * size_t(i);
        masks.video |= uint64_t(ids.matches(wordAt(e))) << i;
        masks.audio |= uint64_t(e[2] == 'w') << i;
        masks.key |= uint64_t((e[4] >> 4) & 1) << i;
    }
}

EntryMasks masksOf(const uint8_t* entry, int32_t count, const VideoChunkIds& ids) {
    EntryMasks masks;
    int32_t done = 0;
#if defined(__SSE2__)
    // Four entries at a time: their ids side by side in one register, their
    // flags in another, one mask bit from each.
    const __m128i compressed = _mm_set1_epi32(int32_t(ids.compressed));
    const __m128i uncompressed = _mm_set1_epi32(int32_t(ids.uncompressed));
    const __m128i idByte = _mm_set1_epi32(0x00FF0000);
    const __m128i audioId = _mm_set1_epi32(0x00770000); // 'w' third
    for (; done + 4 <= count; done += 4) {
        const auto* e = reinterpret_cast<const __m128i*>(entry + kEntryBytes * size_t(done));
        const __m128i ab = _mm_unpacklo_epi32(_mm_loadu_si128(e), _mm_loadu_si128(e + 1));
        const __m128i cd = _mm_unpacklo_epi32(_mm_loadu_si128(e + 2), _mm_loadu_si128(e + 3));
        const __m128i id = _mm_unpacklo_epi64(ab, cd);
        const __m128i flags = _mm_unpackhi_epi64(ab, cd);
        const __m128i video =
            _mm_or_si128(_mm_cmpeq_epi32(id, compressed), _mm_cmpeq_epi32(id, uncompressed));
        const __m128i audio = _mm_cmpeq_epi32(_mm_and_si128(id, idByte), audioId);
        masks.video |= uint64_t(_mm_movemask_ps(_mm_castsi128_ps(video))) << done;
        masks.audio |= uint64_t(_mm_movemask_ps(_mm_castsi128_ps(audio))) << done;
        masks.key |= uint64_t(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(flags, 27)))) << done;
    }
#endif
    maskEntries(entry, count, done, ids, masks);
    return masks;
}

// The bits of key at the places where video has a 1, packed to the low end.
uint64_t compress(uint64_t key, uint64_t video) {
    if (video == ~uint64_t(0)) {
        return key; // every entry of these 64 is a frame
    }
    if (video == 0x5555555555555555ull || video == 0xAAAAAAAAAAAAAAAAull) {
        // Video and audio alternate: keep every other bit.
        uint64_t x = (video & 1 ? key : key >> 1) & 0x5555555555555555ull;
        x = (x | (x >> 1)) & 0x3333333333333333ull;
        x = (x | (x >> 2)) & 0x0F0F0F0F0F0F0F0Full;
        x = (x | (x >> 4)) & 0x00FF00FF00FF00FFull;
        x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
        return (x | (x >> 16)) & 0x00000000FFFFFFFFull;
    }
    uint64_t out = 0;
    unsigned k = 0;
    while (video != 0) {
        out |= ((key >> __builtin_ctzll(video)) & 1) << k++;
        video &= video - 1;
    }
    return out;
}

} // namespace

void KeyFrameIndex::readEntries(BinaryFile& file, int32_t indexPos, const VideoChunkIds& ids) {
    if (readable_ == 0) {
        return;
    }
    file.seek(int64_t(indexPos) + 8);
    std::vector<uint8_t> block(size_t(std::min(kEntriesPerBlock, readable_)) * kEntryBytes);
    keyWords_.assign(size_t(readable_) / 64 + 2, 0);
    bool audio = false;
    for (int32_t done = 0; done < readable_;) {
        const int32_t n = std::min(kEntriesPerBlock, readable_ - done);
        file.read(block.data(), size_t(n) * kEntryBytes, "the idx1 index");
        for (int32_t from = 0; from < n; from += 64) {
            const int32_t m = std::min(64, n - from);
            const EntryMasks masks = masksOf(block.data() + size_t(from) * kEntryBytes, m, ids);
            appendBits(compress(masks.key, masks.video),
                       unsigned(__builtin_popcountll(masks.video)));
            audio = audio || masks.audio != 0;
        }
        done += n;
    }
    firstVideoRead_ = videoFrames_ > 0;
    firstAudioRead_ = audio;
}

} // namespace vidloom

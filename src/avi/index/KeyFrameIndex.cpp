#include "avi/index/KeyFrameIndex.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/IntraOnlyCodecs.h"
#include "avi/OffsetSum.h"
#include "avi/index/FrameKeys.h"
#include "avi/index/IndexEntries.h"
#include "avi/index/MovieScan.h"

#include <algorithm>
#include <bit>
#include <climits>

namespace vidloom {

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
    try {
        // The index the header counted its frames from.
        if (aviInfo.IndexKind == VideoIndexKind::Rebuilt) {
            index->readRebuilt(file, aviInfo);
        } else if (aviInfo.IndexKind == VideoIndexKind::OpenDml) {
            // As the frame-server reads such files: idx1 covers the first
            // RIFF part at most and is not looked at.
            index->readStandardIndexes(file, aviInfo);
        } else {
            index->readIdx1(file, aviInfo);
        }
        index->markIntraOnly(aviInfo);
        index->finish();
    } catch (VidloomError& e) {
        // No size word, an overflow, or the file changed under the reader:
        // every question reports it.
        e.nameFile(fileName);
        index->fileError_ = StoredError::of(e);
    }
    return index;
}

void KeyFrameIndex::readIdx1(BinaryFile& file, const AviHeader& aviInfo) {
    const std::string& fileName = aviInfo.FileName;
    // The same steps, in the same order, as the walker's constructor, so that
    // the same error comes out of the same broken file.
    const int32_t sizeWordPos = offsetPlus(aviInfo.IndexPos, 4, "index size");
    file.seek(sizeWordPos);
    entryCount_ = entryCountOf(file.readDword32("the idx1 index size"), fileName, sizeWordPos);
    char word[4];
    if (!file.peek(aviInfo.IndexPos, word, 4) || std::string_view(word, 4) != "idx1") {
        throwNoUsableIndex(fileName, aviInfo.IndexPos);
    }
    const int32_t moviBase = checkedAdd(aviInfo.MoviSizePos, 8);

    // Entries that lie wholly inside the file at an offset the walk can
    // compute; the walk raises an error at the first one that does not.
    const int64_t first = int64_t(aviInfo.IndexPos) + 8;
    int64_t fitting = 0;
    if (first <= INT32_MAX) {
        fitting = std::max<int64_t>(0, (file.size() - first) / 16);
        fitting = std::min<int64_t>(fitting, (int64_t(INT32_MAX) - first) / 16 + 1);
    }
    readable_ = int32_t(std::min<int64_t>(entryCount_, fitting));
    truncated_ = readable_ < entryCount_;

    if (truncated_) {
        try {
            IndexEntry entry;
            file.seek(indexEntryPos(aviInfo.IndexPos, readable_));
            entry.MoviBase = moviBase;
            readIndexEntry(file, entry);
            // Cannot happen for an entry past the end; keep a plain answer.
            throw IoError(fileName + ": index entry " + std::to_string(readable_) +
                          " cannot be read");
        } catch (VidloomError& e) {
            e.nameFile(fileName);
            entryError_ = StoredError::of(e);
        }
    }
    readEntries(file, aviInfo.IndexPos,
                VideoChunkIds(aviInfo.VideoStreamNumber, aviInfo.DvType == 1));
}

void KeyFrameIndex::readRebuilt(BinaryFile& file, const AviHeader& aviInfo) {
    // No flags to read: each frame's own first bytes tell, when the codec's
    // frame headers are ones Vidloom reads.
    firstVideoRead_ = true;
    firstAudioRead_ = true;
    const FrameKeyRule rule = frameKeyRuleOf(aviInfo.VideoFourCC, aviInfo.VideoCompression);
    const VideoChunkIds ids(aviInfo.VideoStreamNumber, aviInfo.DvType == 1);
    std::vector<uint8_t> head(frameKeyBytes(rule));
    uint64_t bits = 0;
    unsigned count = 0;
    scanMovieLists(file, aviInfo.MovieLists, [&](const MovieChunk& chunk) {
        if (!ids.matches(chunk.id)) {
            return true;
        }
        const size_t n = std::min<size_t>(head.size(), chunk.size);
        bool key = rule == FrameKeyRule::EveryFrame || aviInfo.DvType == 1;
        if (n > 0 && file.peek(chunk.data, head.data(), n)) {
            key = isKeyFrameData(rule, head.data(), n);
        }
        bits |= uint64_t(key) << count;
        if (++count == 64) {
            appendBits(bits, count);
            bits = 0;
            count = 0;
        }
        return videoFrames_ + int32_t(count) < aviInfo.TotalFrames;
    });
    appendBits(bits, count);
}

void KeyFrameIndex::appendBits(uint64_t bits, unsigned count) {
    const size_t at = size_t(videoFrames_);
    if (keyWords_.size() < (at + count) / 64 + 2) {
        keyWords_.resize(std::max(keyWords_.size() * 2, (at + count) / 64 + 2), 0);
    }
    if (count < 64) {
        bits &= (uint64_t(1) << count) - 1;
    }
    keyWords_[at / 64] |= bits << (at % 64);
    if (at % 64 != 0) {
        keyWords_[at / 64 + 1] |= bits >> (64 - at % 64);
    }
    videoFrames_ = checkedAdd(videoFrames_, int32_t(count));
}

void KeyFrameIndex::markIntraOnly(const AviHeader& aviInfo) {
    if (videoFrames_ == 0 || !isIntraOnlyCodec(aviInfo.VideoFourCC, aviInfo.VideoCompression)) {
        return;
    }
    for (size_t w = 0; w < size_t(videoFrames_ + 63) / 64; ++w) {
        if (keyWords_[w] != 0) {
            return;
        }
    }
    for (int32_t n = 0; n < videoFrames_; ++n) {
        keyWords_[size_t(n) / 64] |= uint64_t(1) << (n % 64);
    }
}

void KeyFrameIndex::finish() {
    keyWords_.resize(size_t(videoFrames_ + 63) / 64);
    keyWords_.shrink_to_fit();
    keysBefore_.clear();
    if (keyWords_.size() <= kBlockWords) {
        return; // one block: a search looks at its few words
    }
    const size_t blocks = (keyWords_.size() + kBlockWords - 1) / kBlockWords;
    keysBefore_.assign(blocks + 1, 0);
    for (size_t w = 0; w < keyWords_.size(); ++w) {
        keysBefore_[w / kBlockWords + 1] += std::popcount(keyWords_[w]);
    }
    for (size_t b = 1; b <= blocks; ++b) {
        keysBefore_[b] += keysBefore_[b - 1];
    }
}

int32_t KeyFrameIndex::lastKeyIn(size_t from, size_t to) const {
    for (size_t w = to; w-- > from;) {
        if (keyWords_[w] != 0) {
            return int32_t(w * 64) + 63 - std::countl_zero(keyWords_[w]);
        }
    }
    return -1;
}

int32_t KeyFrameIndex::firstKeyIn(size_t from, size_t to) const {
    for (size_t w = from; w < to; ++w) {
        if (keyWords_[w] != 0) {
            return int32_t(w * 64) + std::countr_zero(keyWords_[w]);
        }
    }
    return -1;
}

size_t KeyFrameIndex::blockOfKey(int32_t k) const {
    // The last block with at most k key frames before it.
    const auto after = std::upper_bound(keysBefore_.begin(), keysBefore_.end(), k);
    return size_t(after - keysBefore_.begin()) - 1;
}

std::optional<int32_t> KeyFrameIndex::keyFrameAtOrBefore(int32_t n) const {
    if (!fileError_.empty()) {
        fileError_.raise();
    }
    n = std::min(n, videoFrames_ - 1);
    if (n < 0) {
        return std::nullopt;
    }
    const size_t w = size_t(n) / 64;
    const unsigned bit = unsigned(n % 64);
    const uint64_t upTo = bit == 63 ? ~uint64_t(0) : (uint64_t(2) << bit) - 1;
    if (const uint64_t here = keyWords_[w] & upTo) {
        return int32_t(w * 64) + 63 - std::countl_zero(here);
    }
    const size_t block = w / kBlockWords;
    if (const int32_t inBlock = lastKeyIn(block * kBlockWords, w); inBlock >= 0) {
        return inBlock;
    }
    if (keysBefore_.empty() || keysBefore_[block] == 0) {
        return std::nullopt;
    }
    // The last key frame before this block is the last of the block holding it.
    const size_t b = blockOfKey(keysBefore_[block] - 1);
    return lastKeyIn(b * kBlockWords, std::min((b + 1) * kBlockWords, keyWords_.size()));
}

std::optional<int32_t> KeyFrameIndex::keyFrameAfter(int32_t n) const {
    if (!fileError_.empty()) {
        fileError_.raise();
    }
    const int64_t first = std::max<int64_t>(int64_t(n) + 1, 0);
    if (first >= videoFrames_) {
        return std::nullopt;
    }
    const size_t w = size_t(first) / 64;
    if (const uint64_t here = keyWords_[w] & (~uint64_t(0) << (first % 64))) {
        return int32_t(w * 64) + std::countr_zero(here);
    }
    const size_t block = w / kBlockWords;
    const size_t blockEnd = std::min((block + 1) * kBlockWords, keyWords_.size());
    if (const int32_t inBlock = firstKeyIn(w + 1, blockEnd); inBlock >= 0) {
        return inBlock;
    }
    if (keysBefore_.empty() || keysBefore_[block + 1] == keysBefore_.back()) {
        return std::nullopt;
    }
    // The first key frame after this block is the first of the block holding it.
    const size_t b = blockOfKey(keysBefore_[block + 1]);
    return firstKeyIn(b * kBlockWords, std::min((b + 1) * kBlockWords, keyWords_.size()));
}

bool KeyFrameIndex::isKeyFrame(int32_t n) const {
    if (!fileError_.empty()) {
        fileError_.raise();
    }
    // A new walker first looks for the first video entry and, when the file
    // has audio, for the first audio entry; past the readable entries that
    // search meets the missing one.
    if (truncated_ && (!firstVideoRead_ || (!noAudio_ && !firstAudioRead_))) {
        entryError_.raise();
    }
    n = std::max(n, 0);
    if (n < videoFrames()) {
        return bit(n);
    }
    // Past the readable video entries the walk goes on to the index's end.
    if (truncated_) {
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

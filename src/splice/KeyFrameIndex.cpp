#include "splice/KeyFrameIndex.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"
#include "splice/UAviHandler.h"

#include <algorithm>
#include <climits>

namespace vidloom {

namespace {
// Entries per block when the index is read: 1 MiB at a time.
constexpr int32_t kEntriesPerBlock = 65536;
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

std::unique_ptr<KeyFrameIndex> KeyFrameIndex::read(const TAviInfo& aviInfo) {
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
            TIndexEntry entry;
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

void KeyFrameIndex::readEntries(BinaryFile& file, int32_t indexPos) {
    if (readable_ == 0) {
        return;
    }
    file.seek(int64_t(indexPos) + 8);
    keyBits_.reserve(size_t(readable_));
    std::vector<uint8_t> block;
    int32_t done = 0;
    while (done < readable_) {
        const int32_t n = std::min(kEntriesPerBlock, readable_ - done);
        block.resize(size_t(n) * 16);
        file.read(block.data(), block.size(), "the idx1 index");
        for (int32_t i = 0; i < n; ++i) {
            const uint8_t* entry = block.data() + size_t(i) * 16;
            if (entry[2] == 'w') {
                firstAudioRead_ = true;
            } else {
                firstVideoRead_ = true;
                keyBits_.push_back((entry[4] & 0x10) != 0);
            }
        }
        done += n;
    }
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
        return keyBits_[size_t(n)];
    }
    // Past the readable video entries the walk goes on to the index's end.
    if (truncated) {
        entryError_.raise();
    }
    return !keyBits_.empty() && keyBits_.back();
}

std::vector<int32_t> KeyFrameIndex::keyFrameNumbers() const {
    std::vector<int32_t> numbers;
    for (size_t i = 0; i < keyBits_.size(); ++i) {
        if (keyBits_[i]) {
            numbers.push_back(int32_t(i));
        }
    }
    return numbers;
}

} // namespace vidloom

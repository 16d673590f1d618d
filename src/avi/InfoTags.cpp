#include "avi/InfoTags.h"

#include "avi/AviHeader.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"
#include "avi/TextFormat.h"

#include <algorithm>

namespace vidloom {

namespace {

const char* const kStandardIds[] = {"ISBJ", "IART", "ICOP", "ICMT", "ISRC", "ISFT"};

std::string folded(const std::string& id) {
    return lowerShort(id);
}

} // namespace

InfoTags::InfoTags() {
    for (const char* id : kStandardIds) {
        addInfo(id, "");
    }
}

int32_t InfoTags::indexOf(const std::string& id) const {
    // lowerShort keeps only 255 characters; longer ids (never read from a
    // file, whose ids have 4) take the list's own search.
    if (id.size() > 255) {
        return list_.indexOf(id);
    }
    const auto it = positions_.find(folded(id));
    return it == positions_.end() ? -1 : it->second;
}

int32_t InfoTags::addInfo(const std::string& id, const std::string& value) {
    const int32_t at = indexOf(id);
    if (at >= 0) {
        list_.setText(at, value);
        return at;
    }
    const int32_t added = list_.append(id, value);
    if (id.size() <= 255) {
        positions_.emplace(folded(id), added);
    }
    return added;
}

std::string InfoTags::idColumn() const {
    std::string text = "InfoTag";
    for (int32_t i = 0; i < count(); ++i) {
        text += "\r\n" + id(i);
    }
    return text;
}

std::string InfoTags::toString() const {
    std::string text = "Contents";
    for (int32_t i = 0; i < count(); ++i) {
        text += "\r\n" + value(i);
    }
    return text;
}

std::unique_ptr<InfoTags> readInfoTags(BinaryFile& file, int32_t infoPos) {
    auto record = std::make_unique<InfoTags>();
    const int32_t sizeAt = offsetPlus(infoPos, -4, "INFO list");
    file.seek(sizeAt);
    const int32_t listSize = file.readDword32("the INFO list size");
    if (listSize < INT32_MIN + 8) {
        // The walk's bound, listSize - 8, would leave 32 bits.
        throw OverflowError(file.path() + ": the INFO list size at offset " +
                            std::to_string(sizeAt) + " (" + std::to_string(listSize) +
                            ") is too small to hold the list's own header");
    }
    const int32_t end = listSize - 8;

    // The first sub-chunk is read before the end test, so at least one is.
    int32_t off = 4;
    do {
        const int32_t at = offsetPlus(infoPos, off, "INFO sub-chunk");
        file.seek(at);
        char idBytes[4];
        file.read(idBytes, 4, "an INFO tag id");
        const std::string id(idBytes, 4);
        file.seek(offsetPlus(at, 4, "INFO sub-chunk"));
        int32_t n = file.readDword32("an INFO tag length");

        // The length word is not trusted: a negative one would hold the walk
        // in place or send it backwards, and one longer than the rest of the
        // file cannot be read, so neither is allocated for.
        if (n < 0) {
            throw IoError(file.path() + ": the INFO tag \"" + id + "\" at offset " +
                          std::to_string(at) + " has a negative length (" + std::to_string(n) +
                          "); the tag list is damaged");
        }
        const int64_t valueAt = int64_t(at) + 8;
        if (int64_t(n) > file.size() - valueAt) {
            throw IoError(file.path() + ": unexpected end of file at offset " +
                          std::to_string(valueAt) + " while reading the value of INFO tag \"" + id +
                          "\" (" + std::to_string(n) + " bytes declared, the file has " +
                          std::to_string(file.size()) + ")");
        }
        // A value keeps at most its first 255 bytes; the walk still steps
        // over the whole sub-chunk.
        std::string value(size_t(std::min(n, kMaxTagValue)), '\0');
        file.read(value.data(), value.size(), "an INFO tag value");
        for (int i = 0; i < 2 && !value.empty() && value.back() == '\0'; ++i) {
            value.pop_back();
        }
        record->addInfo(id, value);

        const int64_t step = int64_t(n) + (n % 2) + 8;
        const int64_t next = int64_t(off) + step;
        if (next > INT32_MAX) {
            throw OverflowError(file.path() + ": the INFO tag \"" + id + "\" at offset " +
                                std::to_string(at) + " reaches beyond 2 GiB");
        }
        off = int32_t(next);
    } while (off < end);
    return record;
}

} // namespace vidloom

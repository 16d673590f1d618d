#pragma once
// A file's tag: the texts of a RIFF INFO list under their four-character ids,
// and the reader that builds one from a list found in a file.

#include "avi/BinaryFile.h"
#include "avi/InfoList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace vidloom {

class InfoTags {
public:
    // The six standard ids (ISBJ, IART, ICOP, ICMT, ISRC, ISFT), all empty.
    InfoTags();

    // Sets the value of tag id (letter case ignored), appending the tag when
    // the record does not hold it yet; a known tag keeps its key as first
    // written. Returns the tag's position.
    int32_t addInfo(const std::string& id, const std::string& value);

    // The id column ("InfoTag" and one id per line) and the value column
    // ("Contents" and one value per line), CR LF between lines, so that line k
    // of both belongs to the same tag.
    std::string idColumn() const;
    std::string toString() const;

    int32_t count() const { return list_.count(); }
    const std::string& id(int32_t i) const { return list_.key(i); }
    const std::string& value(int32_t i) const { return list_.text(i); }
    // Position of tag id (letter case ignored), or -1.
    int32_t indexOf(const std::string& id) const;

private:
    InfoList list_;
    // Folded id -> position, so that a list of many distinct ids is read in
    // linear time; the answer is the one of the list's own linear search.
    std::unordered_map<std::string, int32_t> positions_;
};

// The longest value a tag holds; a longer one keeps its first bytes.
constexpr int32_t kMaxTagValue = 255;

// Reads the INFO list whose word "INFO" lies at offset infoPos (its size word
// is 4 bytes before it) into a new record. Raises IoError naming the file when
// the list runs past the end of the file or a sub-chunk's length is negative.
std::unique_ptr<InfoTags> readInfoTags(BinaryFile& file, int32_t infoPos);

} // namespace vidloom

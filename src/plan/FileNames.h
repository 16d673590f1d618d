#pragma once
// The parts of a path, the splice reference a file name carries, and the
// numbers users type.

#include <cstdint>
#include <optional>
#include <string>

namespace vidloom {

// A path cut after its last '/' or '\': the directory keeps the separator.
// A path without separator gives empty parts.
struct PathParts {
    std::string directory;
    std::string name;
};
PathParts splitPath(const std::string& path);

// The first run of decimal digits in the file-name part of path, or -1 when it
// has none. A run too large for a signed 32-bit value raises ConversionError.
int32_t spliceRefOf(const std::string& path);

// A signed decimal integer as the user typed it (optional sign, digits, no
// blanks), or nullopt when the text is not one or does not fit 32 bits.
std::optional<int32_t> textToInt32(const std::string& text);

} // namespace vidloom

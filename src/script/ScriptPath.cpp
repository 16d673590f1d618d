#include "script/ScriptPath.h"

#include "avi/Errors.h"
#include "avi/TextEncoding.h"

#include <cstdint>

namespace vidloom {

bool isAscii(const std::string& text) {
    for (const char c : text) {
        if (uint8_t(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string aviSourceCall(const std::string& path, const PathMap& paths) {
    const std::string name = paths.toScript(path);
    const bool wide = !isAscii(name);
    if (wide && !isUtf8(name)) {
        throw ConversionError(path +
                              ": the path is not valid UTF-8, so AviSynth cannot be told its "
                              "name; rename the file or its folder");
    }
    if (name.find_first_of("\r\n") != std::string::npos) {
        throw ConversionError(path + ": an AviSynth script cannot name a path that holds a line "
                                     "break; rename the file");
    }
    std::string literal;
    if (name.find('"') == std::string::npos) {
        literal = "\"" + name + "\"";
    } else if (name.back() == '"' || name.find("\"\"\"") != std::string::npos) {
        throw ConversionError(path + ": an AviSynth script cannot name a path that ends in a "
                                     "double quote or holds three in a row; rename the file");
    } else {
        literal = "\"\"\"" + name + "\"\"\"";
    }
    return "aviSource(" + literal + (wide ? ", utf8=true" : "") + ")";
}

} // namespace vidloom

#include "splice/ScriptPath.h"

#include "avi/Errors.h"

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

bool isValidUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = uint8_t(text[i]);
        int more = 0;
        uint32_t code = 0;
        uint32_t least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            code = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            code = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            code = lead & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= size_t(more)) {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            const uint8_t next = uint8_t(text[i + size_t(k)]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += size_t(more) + 1;
    }
    return true;
}

std::string aviSourceCall(const std::string& path, const PathMap& paths) {
    const std::string name = paths.toScript(path);
    const bool wide = !isAscii(name);
    if (wide && !isValidUtf8(name)) {
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

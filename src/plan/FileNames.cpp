#include "plan/FileNames.h"

#include "avi/Errors.h"

#include <climits>

namespace vidloom {

PathParts splitPath(const std::string& path) {
    const size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) {
        return {};
    }
    return {path.substr(0, at + 1), path.substr(at + 1)};
}

int32_t spliceRefOf(const std::string& path) {
    const std::string name = splitPath(path).name;
    const size_t from = name.find_first_of("0123456789");
    if (from == std::string::npos) {
        return -1;
    }
    size_t to = from;
    int64_t value = 0;
    while (to < name.size() && name[to] >= '0' && name[to] <= '9') {
        value = value * 10 + (name[to] - '0');
        if (value > INT32_MAX) {
            size_t end = to;
            while (end < name.size() && name[end] >= '0' && name[end] <= '9') {
                ++end;
            }
            throw ConversionError(path + ": the number " + name.substr(from, end - from) +
                                  " in the file name is too large for a splice reference");
        }
        ++to;
    }
    return int32_t(value);
}

std::optional<int32_t> textToInt32(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN) {
        return std::nullopt;
    }
    return int32_t(value);
}

} // namespace vidloom

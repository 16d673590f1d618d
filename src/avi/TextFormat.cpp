#include "avi/TextFormat.h"

#include "avi/Errors.h"

namespace vidloom {

std::string intToText(int32_t n) {
    if (n < 0) {
        return "0";
    }
    // Every panel of every layout writes seven numbers: no digit-by-digit
    // insertion at the front.
    return std::to_string(n);
}

std::string padZeros(const std::string& text, int32_t width) {
    if (int64_t(text.size()) >= width) {
        return text;
    }
    return std::string(size_t(width) - text.size(), '0') + text;
}

std::string msToDuration(int32_t ms) {
    int32_t seconds = ms / 1000;
    const int32_t millis = ms % 1000;
    int32_t minutes = seconds / 60;
    seconds %= 60;
    int32_t hours = minutes / 60;
    minutes %= 60;
    const int32_t days = hours / 24;
    hours %= 24;
    return padZeros(intToText(days), 2) + ":" + padZeros(intToText(hours), 2) + ":" +
           padZeros(intToText(minutes), 2) + ":" + padZeros(intToText(seconds), 2) + "." +
           padZeros(intToText(millis), 3);
}

std::string lowerShort(const std::string& text) {
    std::string out = text.substr(0, 255);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return out;
}

std::string upperShort(const std::string& text) {
    if (text.size() > 255) {
        throw RangeError("text of " + std::to_string(text.size()) +
                         " characters is longer than 255");
    }
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
    return out;
}

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = char(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = char(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string thousandthsText(int32_t thousandths) {
    if (thousandths >= 1 && thousandths <= 99) {
        return padZeros(intToText(thousandths), 3);
    }
    return intToText(thousandths);
}

std::string withLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace vidloom

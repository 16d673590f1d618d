#pragma once
// Small text operations shared by the report, the listing, the panels and the
// script.
// Texts are byte strings; nothing here depends on the locale.

#include <cstdint>
#include <string>

namespace vidloom {

// Decimal digits of n; every negative number is written "0".
std::string intToText(int32_t n);

// Left-pads text with '0' up to width characters; a longer text is kept whole.
std::string padZeros(const std::string& text, int32_t width);

// DD:HH:MM:SS.mmm, days first; negative parts are written as zeros.
std::string msToDuration(int32_t ms);

// ASCII case folding of short texts such as FourCC codes; other bytes, NUL
// included, are kept. upperShort refuses texts over 255 characters.
std::string lowerShort(const std::string& text);
std::string upperShort(const std::string& text);

// Case-insensitive equality of two byte strings, folding only A-Z / a-z.
bool sameTextIgnoringCase(const std::string& a, const std::string& b);

// Thousandths of a frame per second, as written after the point in the frame
// rate: 0 stays "0", 1 to 99 keep their leading zeros ("040"), 100 to 999 as
// they are.
std::string thousandthsText(int32_t thousandths);

// text with every CR LF made a single LF (the report and the INFO texts keep
// CR LF between their lines; terminals and text areas want LF). A CR that
// no LF follows is kept.
std::string withLineFeeds(const std::string& text);

} // namespace vidloom

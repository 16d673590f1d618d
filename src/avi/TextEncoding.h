#pragma once
// Texts read from files (INFO tag values, names) are bytes in whatever
// encoding the writing program used: UTF-8 from today's tools, the Windows
// code page from older ones. Both the window and vidloom-cli's JSON show them
// as the same readable text.

#include <string>
#include <string_view>

namespace vidloom {

// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isUtf8(std::string_view bytes);

// The text of bytes as UTF-8: bytes that are valid UTF-8 unchanged, any other
// read as Windows-1252 (the usual code page of INFO tags); its five unassigned
// bytes stand for the control characters of the same number.
std::string readableText(std::string_view bytes);

} // namespace vidloom

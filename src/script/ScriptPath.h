#pragma once
// How a file's path is written into an AviSynth script so that AviSynth opens
// that very file. AviSynth reads a plain string literal in the Windows ANSI
// code page unless the source filter is told utf8=true, and a plain literal
// cannot hold a double quote; the triple-quoted form can, as long as the path
// does not end in one (the closing """ would then come too early).

#include "script/PathMap.h"

#include <string>

namespace vidloom {

// True when every byte of text is below 0x80.
bool isAscii(const std::string& text);

// The aviSource call that opens path on the machine where AviSynth runs (the
// path mapped by paths first). An ASCII path without a double quote gives
// aviSource("PATH"); a path with a double quote is written """PATH"""; one
// with other bytes beyond ASCII gets ", utf8=true". A path that cannot be
// written (not valid UTF-8, ending in a double quote, holding three in a row
// or a line break)
// raises ConversionError naming it.
std::string aviSourceCall(const std::string& path, const PathMap& paths);

} // namespace vidloom

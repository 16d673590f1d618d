#include "avi/colour/HuffYuvHeader.h"

#include "avi/colour/PixelLayout.h"

#include <cstdint>

namespace vidloom {

namespace {

// Version 3 of the extra data (its fourth byte 1) describes a planar layout:
// byte 1 holds the bits per sample less one (high nibble) and the log2 chroma
// subsampling (vertical in bits 2-3, horizontal in bits 0-1); byte 2 says
// whether chroma is YUV (1) or RGB (2), and alpha (4).
std::optional<std::string> version3(uint8_t layoutByte, uint8_t flags) {
    PixelLayout l;
    l.bits = (layoutByte >> 4) + 1;
    l.chromaShiftX = layoutByte & 3;
    l.chromaShiftY = (layoutByte >> 2) & 3;
    l.alpha = (flags & 4) != 0;
    switch (flags & 3) {
    case 0:
        l.family = PixelLayout::Family::Grey;
        break;
    case 1:
        l.family = PixelLayout::Family::Yuv;
        break;
    case 2:
        l.family = PixelLayout::Family::Rgb;
        break;
    default:
        return std::nullopt;
    }
    if (l.family != PixelLayout::Family::Yuv && (l.chromaShiftX || l.chromaShiftY)) {
        return std::nullopt;
    }
    if (l.family == PixelLayout::Family::Grey && l.alpha) {
        return std::nullopt;
    }
    return aviSynthName(l);
}

} // namespace

std::optional<std::string> huffYuvFormat(std::string_view extra, int bitCount) {
    if (extra.size() >= 4 && uint8_t(extra[3]) == 1) {
        return version3(uint8_t(extra[1]), uint8_t(extra[2]));
    }
    // Earlier versions: the bits per pixel of the coded picture in byte 1
    // (0: the bit count's), and the picture is the classic layout of that
    // depth: packed 4:2:2 (YUY2), 4:2:0, or interleaved RGB.
    if (!extra.empty() && extra.size() < 4) {
        return std::nullopt; // a damaged record
    }
    const int bits = !extra.empty() && extra[1] != 0 ? uint8_t(extra[1]) : bitCount;
    switch (bits) {
    case 12:
        return "YV12";
    case 16:
        return "YUY2";
    case 24:
        return "RGB24";
    case 32:
        return "RGB32";
    default:
        return std::nullopt;
    }
}

} // namespace vidloom

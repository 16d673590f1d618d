#pragma once
// The layout of the pictures a decoder gives (colour family, chroma
// subsampling, bits per sample, alpha) and the name AviSynth gives a clip of
// that layout. The bitstream readers describe layouts; only this file knows
// AviSynth's names.

#include <optional>
#include <string>

namespace vidloom {

struct PixelLayout {
    enum class Family { Yuv, Rgb, Grey };
    Family family = Family::Yuv;
    int chromaShiftX = 0; // log2 of the chroma planes' horizontal subsampling
    int chromaShiftY = 0; // and of their vertical subsampling
    int bits = 8;         // per sample
    bool alpha = false;
};

// AviSynth's (AviSynth+'s, beyond 8 bits) name of the layout: YV12, YV16,
// YV24, YV411, Y8, RGB24, RGB32, YUV420P10, YUVA444P16, RGBP12, Y10... or
// nullopt for a layout AviSynth has no clip type for (4:4:0, 9 bits...).
std::optional<std::string> aviSynthName(const PixelLayout& layout);

} // namespace vidloom

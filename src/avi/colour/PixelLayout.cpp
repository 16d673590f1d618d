#include "avi/colour/PixelLayout.h"

namespace vidloom {

namespace {

bool aviSynthDepth(int bits) {
    return bits == 8 || bits == 10 || bits == 12 || bits == 14 || bits == 16;
}

// "420", "422", "444" or "411"; empty for a subsampling AviSynth lacks.
std::string sampling(const PixelLayout& l) {
    if (l.chromaShiftY == 0) {
        switch (l.chromaShiftX) {
        case 0:
            return "444";
        case 1:
            return "422";
        case 2:
            return "411";
        default:
            return {};
        }
    }
    return l.chromaShiftX == 1 && l.chromaShiftY == 1 ? "420" : std::string();
}

} // namespace

std::optional<std::string> aviSynthName(const PixelLayout& l) {
    if (!aviSynthDepth(l.bits)) {
        return std::nullopt;
    }
    const std::string depth = std::to_string(l.bits);
    switch (l.family) {
    case PixelLayout::Family::Grey:
        return l.bits == 8 ? "Y8" : "Y" + depth;
    case PixelLayout::Family::Rgb:
        // Eight bits: the interleaved types a VfW decoder hands over; deeper
        // RGB only as AviSynth+'s planar types.
        if (l.bits == 8) {
            return l.alpha ? "RGB32" : "RGB24";
        }
        return (l.alpha ? "RGBAP" : "RGBP") + depth;
    case PixelLayout::Family::Yuv:
        break;
    }
    const std::string s = sampling(l);
    if (s.empty() || (s == "411" && (l.bits != 8 || l.alpha))) {
        return std::nullopt;
    }
    if (l.bits == 8 && !l.alpha) {
        return s == "420" ? "YV12" : s == "422" ? "YV16" : s == "444" ? "YV24" : "YV411";
    }
    return (l.alpha ? "YUVA" : "YUV") + s + (l.bits == 8 ? std::string() : "P" + depth);
}

} // namespace vidloom

#include "avi/colour/JpegHeader.h"

#include <cstdint>

namespace vidloom {

namespace {

struct Component {
    int id = 0;
    int h = 0; // horizontal sampling factor
    int v = 0;
};

struct FrameHeader {
    int marker = 0;
    int precision = 0;
    int count = 0;
    Component c[3];
};

uint8_t at(std::string_view s, size_t i) {
    return uint8_t(s[i]);
}

// The start-of-frame markers: baseline, extended, progressive, lossless and
// their arithmetic-coded and hierarchical kinds, and JPEG-LS. C4 (Huffman
// tables), C8 (reserved) and CC (arithmetic conditioning) are not frames.
bool isFrameMarker(int m) {
    return (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) || m == 0xF7;
}

// log2 of whole / part when part divides whole by 1, 2 or 4; -1 otherwise.
int shiftOf(int whole, int part) {
    if (part <= 0 || whole % part != 0) {
        return -1;
    }
    const int ratio = whole / part;
    return ratio == 1 ? 0 : ratio == 2 ? 1 : ratio == 4 ? 2 : -1;
}

std::optional<PixelLayout> layoutOf(const FrameHeader& f, int adobeTransform) {
    PixelLayout l;
    l.bits = f.precision;
    if (f.count == 1) {
        l.family = PixelLayout::Family::Grey;
        return l;
    }
    if (f.count != 3) {
        return std::nullopt; // CMYK, YCCK, or RGB with alpha: no common decoder form
    }
    const Component& y = f.c[0];
    const Component& cb = f.c[1];
    const Component& cr = f.c[2];
    const bool full = y.h == cb.h && y.h == cr.h && y.v == cb.v && y.v == cr.v;
    // RGB: Adobe's marker saying no colour transform, or the component ids
    // naming the colours; and ffmpeg's lossless RGB (LJPG), whose reversible
    // colour transform gives every component a ninth bit.
    const bool rgb = adobeTransform == 0 || (y.id == 'R' && cb.id == 'G' && cr.id == 'B') ||
                     (f.marker == 0xC3 && f.precision == 9 && full && adobeTransform < 0);
    if (rgb) {
        if (!full) {
            return std::nullopt;
        }
        l.family = PixelLayout::Family::Rgb;
        l.bits = f.precision == 9 ? 8 : f.precision;
        return l;
    }
    if (cb.h != cr.h || cb.v != cr.v) {
        return std::nullopt;
    }
    l.chromaShiftX = shiftOf(y.h, cb.h);
    l.chromaShiftY = shiftOf(y.v, cb.v);
    if (l.chromaShiftX < 0 || l.chromaShiftY < 0) {
        return std::nullopt;
    }
    return l;
}

} // namespace

std::optional<PixelLayout> jpegLayout(std::string_view s) {
    if (s.size() < 4 || at(s, 0) != 0xFF || at(s, 1) != 0xD8) {
        return std::nullopt;
    }
    int adobeTransform = -1; // no Adobe marker
    size_t i = 2;
    while (i + 4 <= s.size()) {
        if (at(s, i) != 0xFF) {
            return std::nullopt;
        }
        const int m = at(s, i + 1);
        if (m == 0xFF) {
            ++i; // a fill byte
            continue;
        }
        if (m == 0x01 || m == 0xD8 || (m >= 0xD0 && m <= 0xD7)) {
            i += 2; // markers without a segment
            continue;
        }
        if (m == 0xDA || m == 0xD9) {
            return std::nullopt; // the scan or the end, and no frame header before it
        }
        const size_t length = size_t(at(s, i + 2)) << 8 | at(s, i + 3);
        if (length < 2 || i + 2 + length > s.size()) {
            return std::nullopt;
        }
        const std::string_view seg = s.substr(i + 4, length - 2);
        if (m == 0xEE && seg.size() >= 12 && seg.substr(0, 5) == "Adobe") {
            adobeTransform = at(seg, 11);
        } else if (isFrameMarker(m)) {
            FrameHeader f;
            f.marker = m;
            if (seg.size() < 6) {
                return std::nullopt;
            }
            f.precision = at(seg, 0);
            f.count = at(seg, 5);
            if (seg.size() < 6 + 3 * size_t(f.count)) {
                return std::nullopt;
            }
            for (int k = 0; k < f.count && k < 3; ++k) {
                const size_t p = 6 + 3 * size_t(k);
                f.c[k] = {at(seg, p), at(seg, p + 1) >> 4, at(seg, p + 1) & 15};
            }
            return layoutOf(f, adobeTransform);
        }
        i += 2 + length;
    }
    return std::nullopt;
}

} // namespace vidloom

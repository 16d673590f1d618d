#include "avi/colour/H264Sps.h"

#include "avi/colour/BitReader.h"

#include <cstdint>
#include <string>

namespace vidloom {

namespace {

constexpr int kSpsType = 7;

uint8_t at(std::string_view s, size_t i) {
    return uint8_t(s[i]);
}

bool isSps(std::string_view nal) {
    return !nal.empty() && (at(nal, 0) & 0x1F) == kSpsType;
}

// The payload without its emulation prevention bytes (the 03 of 00 00 03).
std::string unescaped(std::string_view nal) {
    std::string out;
    out.reserve(nal.size());
    int zeros = 0;
    for (const char c : nal) {
        if (zeros >= 2 && c == 3) {
            zeros = 0;
            continue;
        }
        zeros = c == 0 ? zeros + 1 : 0;
        out += c;
    }
    return out;
}

// Only the High profiles (and the profiles built on them) code the chroma
// format and bit depth; the others are 8-bit 4:2:0.
bool codesChromaFormat(uint32_t profile) {
    switch (profile) {
    case 100:
    case 110:
    case 122:
    case 244:
    case 44:
    case 83:
    case 86:
    case 118:
    case 128:
    case 138:
    case 139:
    case 134:
    case 135:
        return true;
    default:
        return false;
    }
}

std::optional<PixelLayout> spsLayout(std::string_view nal) {
    // Only the first few fields are wanted: a bounded copy is enough.
    const std::string payload = unescaped(nal.substr(1, 64));
    BitReader r(payload);
    const uint32_t profile = r.bits(8);
    r.bits(16); // constraint flags, level
    if (r.ue() > 31) {
        return std::nullopt; // seq_parameter_set_id out of range
    }
    uint32_t chroma = 1;
    uint32_t lumaDepth = 8;
    uint32_t chromaDepth = 8;
    if (codesChromaFormat(profile)) {
        chroma = r.ue();
        if (chroma == 3) {
            r.bit(); // separate_colour_plane_flag: still a 4:4:4 picture
        }
        lumaDepth = r.ue() + 8;
        chromaDepth = r.ue() + 8;
    }
    if (r.failed() || chroma > 3 || lumaDepth > 14 || (chroma != 0 && chromaDepth != lumaDepth)) {
        return std::nullopt;
    }
    PixelLayout l;
    l.bits = int(lumaDepth);
    if (chroma == 0) {
        l.family = PixelLayout::Family::Grey;
    } else {
        l.chromaShiftX = chroma < 3 ? 1 : 0;
        l.chromaShiftY = chroma == 1 ? 1 : 0;
    }
    return l;
}

// The first SPS of an Annex B byte stream.
std::optional<PixelLayout> annexB(std::string_view s) {
    for (size_t at = findStartCode(s, 0); at != std::string_view::npos;) {
        const size_t begin = at + 3;
        const size_t next = findStartCode(s, begin);
        const std::string_view nal =
            s.substr(begin, next == std::string_view::npos ? std::string_view::npos : next - begin);
        if (isSps(nal)) {
            return spsLayout(nal);
        }
        at = next;
    }
    return std::nullopt;
}

// The first SPS of NAL units each preceded by its 4-byte big-endian length.
std::optional<PixelLayout> lengthPrefixed(std::string_view s) {
    for (size_t at = 0; at + 4 < s.size();) {
        const size_t n = size_t(uint8_t(s[at])) << 24 | size_t(uint8_t(s[at + 1])) << 16 |
                         size_t(uint8_t(s[at + 2])) << 8 | uint8_t(s[at + 3]);
        if (n == 0 || n > s.size() - at - 4) {
            return std::nullopt;
        }
        const std::string_view nal = s.substr(at + 4, n);
        if (isSps(nal)) {
            return spsLayout(nal);
        }
        at += 4 + n;
    }
    return std::nullopt;
}

// The first SPS of an avcC record (version 1): five bytes, the count of
// parameter sets, then each with its 2-byte length.
std::optional<PixelLayout> avcC(std::string_view s) {
    if (s.size() < 8 || at(s, 0) != 1 || (at(s, 5) & 0x1F) == 0) {
        return std::nullopt;
    }
    const size_t n = size_t(at(s, 6)) << 8 | at(s, 7);
    if (n == 0 || n > s.size() - 8 || !isSps(s.substr(8, n))) {
        return std::nullopt;
    }
    return spsLayout(s.substr(8, n));
}

} // namespace

std::optional<PixelLayout> h264Layout(std::string_view extraData, std::string_view firstFrame) {
    if (auto l = avcC(extraData)) {
        return l;
    }
    if (auto l = annexB(extraData)) {
        return l;
    }
    // A length of 256 to 511 bytes starts like a start code, so a frame that
    // gives no SPS one way is read the other way too.
    if (findStartCode(firstFrame.substr(0, 4), 0) != std::string_view::npos) {
        if (auto l = annexB(firstFrame)) {
            return l;
        }
    }
    return lengthPrefixed(firstFrame);
}

} // namespace vidloom

#include "avi/colour/MpegVideoHeaders.h"

#include "avi/colour/BitReader.h"

#include <cstdint>

namespace vidloom {

namespace {

constexpr uint8_t kSequenceHeader = 0xB3;
constexpr uint8_t kExtension = 0xB5;
constexpr int kSequenceExtensionId = 1;
constexpr int kChroma420 = 1;

std::optional<PixelLayout> chromaFormat(uint32_t code) {
    if (code < 1 || code > 3) {
        return std::nullopt; // 0 is reserved
    }
    PixelLayout l;
    l.chromaShiftX = code < 3 ? 1 : 0;
    l.chromaShiftY = code == 1 ? 1 : 0;
    return l;
}

uint8_t codeAt(std::string_view s, size_t startCode) {
    return startCode + 3 < s.size() ? uint8_t(s[startCode + 3]) : 0;
}

} // namespace

std::optional<PixelLayout> mpeg12Layout(std::string_view s) {
    size_t at = findStartCode(s, 0);
    while (at != std::string_view::npos && codeAt(s, at) != kSequenceHeader) {
        at = findStartCode(s, at + 3);
    }
    if (at == std::string_view::npos || at + 4 >= s.size()) {
        return std::nullopt;
    }
    // The sequence extension, when there is one, is the next header; without
    // a next header MPEG-1 and MPEG-2 cannot be told apart.
    at = findStartCode(s, at + 4);
    if (at == std::string_view::npos || at + 3 >= s.size()) {
        return std::nullopt;
    }
    if (codeAt(s, at) == kExtension) {
        BitReader r(s.substr(at + 4, 3));
        const uint32_t id = r.bits(4);
        if (r.failed()) {
            return std::nullopt;
        }
        if (id == kSequenceExtensionId) {
            r.bits(8); // profile and level
            r.bit();   // progressive_sequence
            const uint32_t chroma = r.bits(2);
            return r.failed() ? std::nullopt : chromaFormat(chroma);
        }
    }
    return chromaFormat(kChroma420);
}

std::optional<PixelLayout> mpeg4Part2Layout(std::string_view s) {
    size_t at = findStartCode(s, 0);
    while (at != std::string_view::npos && (codeAt(s, at) & 0xF0) != 0x20) {
        at = findStartCode(s, at + 3);
    }
    if (at == std::string_view::npos) {
        return chromaFormat(kChroma420);
    }
    BitReader r(s.substr(at + 4, 16));
    r.bit();       // random_accessible_vol
    r.bits(8);     // video_object_type_indication
    if (r.bit()) { // is_object_layer_identifier
        r.bits(7); // verid, priority
    }
    if (r.bits(4) == 15) { // aspect_ratio_info: extended
        r.bits(16);
    }
    if (r.bit()) { // vol_control_parameters
        const uint32_t chroma = r.bits(2);
        if (r.failed() || chroma != kChroma420) {
            return std::nullopt;
        }
    }
    return r.failed() ? std::nullopt : chromaFormat(kChroma420);
}

} // namespace vidloom

#pragma once
// A four-character code as stored in a file: four bytes, compared exactly.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vidloom {

struct FourCC {
    std::array<char, 4> bytes{};

    FourCC() = default;
    // The first four bytes of text (a shorter text is padded with NULs).
    constexpr FourCC(std::string_view text) { // NOLINT: implicit from a literal is the point
        for (size_t i = 0; i < 4 && i < text.size(); ++i) {
            bytes[i] = text[i];
        }
    }
    constexpr FourCC(const char* text) : FourCC(std::string_view(text)) {} // NOLINT

    static FourCC fromBytes(const void* four) {
        FourCC code;
        std::memcpy(code.bytes.data(), four, 4);
        return code;
    }
    std::string text() const { return std::string(bytes.data(), 4); }
    // The bytes read as a little-endian word, as they lie in a file.
    uint32_t word() const {
        return uint32_t(uint8_t(bytes[0])) | uint32_t(uint8_t(bytes[1])) << 8 |
               uint32_t(uint8_t(bytes[2])) << 16 | uint32_t(uint8_t(bytes[3])) << 24;
    }
    friend constexpr bool operator==(const FourCC&, const FourCC&) = default;
};

} // namespace vidloom

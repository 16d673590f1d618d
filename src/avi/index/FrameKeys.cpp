#include "avi/index/FrameKeys.h"

#include "avi/IntraOnlyCodecs.h"
#include "avi/TextFormat.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vidloom {

namespace {

constexpr std::array<std::string_view, 14> kMpeg4Part2{"xvid", "divx", "dx50", "fmp4", "mp4v",
                                                       "m4s2", "mp4s", "3iv2", "dm4v", "xvix",
                                                       "blz0", "sedg", "ump4", "wv1f"};
constexpr std::array<std::string_view, 8> kH264{"h264", "x264", "avc1", "davc",
                                                "vssh", "q264", "uh26", "ai55"};
constexpr std::array<std::string_view, 7> kMpeg12{"mpg1", "mpg2", "mpeg", "mpgv",
                                                  "mp2v", "m2v1", "pim1"};

template <size_t N>
bool listed(const std::array<std::string_view, N>& codes, const std::string& code) {
    const std::string folded = lowerShort(code);
    return std::find(codes.begin(), codes.end(), folded) != codes.end();
}

// The offset just past the next start code 00 00 01 at or after from, or size.
size_t nextStartCode(const uint8_t* d, size_t from, size_t size) {
    for (size_t i = from; i + 3 <= size; ++i) {
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) {
            return i + 3;
        }
    }
    return size;
}

bool mpeg4Key(const uint8_t* d, size_t size) {
    for (size_t at = nextStartCode(d, 0, size); at < size; at = nextStartCode(d, at, size)) {
        if (d[at] == 0xB6) { // vop_start_code
            return at + 1 < size && (d[at + 1] >> 6) == 0;
        }
    }
    return false;
}

bool mpeg12Key(const uint8_t* d, size_t size) {
    for (size_t at = nextStartCode(d, 0, size); at < size; at = nextStartCode(d, at, size)) {
        if (d[at] == 0x00) { // picture_start_code: 10 bits temporal reference, 3 bits type
            return at + 2 < size && ((d[at + 2] >> 3) & 7) == 1;
        }
    }
    return false;
}

// Exp-Golomb codes of an H.264 slice header, read past emulation bytes.
class BitReader {
public:
    BitReader(const uint8_t* d, size_t size) : d_(d), size_(size) {}
    bool ue(uint32_t& value) {
        int zeros = 0;
        int bit = 0;
        while ((bit = next()) == 0) {
            if (++zeros > 31) {
                return false;
            }
        }
        if (bit < 0) {
            return false;
        }
        uint64_t v = 1;
        for (int i = 0; i < zeros; ++i) {
            const int b = next();
            if (b < 0) {
                return false;
            }
            v = (v << 1) | uint64_t(b);
        }
        value = uint32_t(v - 1);
        return true;
    }

private:
    int next() {
        if (bit_ == 0) {
            if (at_ >= size_) {
                return -1;
            }
            // 00 00 03 hides a byte that only prevents a false start code.
            if (at_ >= 2 && d_[at_] == 3 && d_[at_ - 1] == 0 && d_[at_ - 2] == 0) {
                if (++at_ >= size_) {
                    return -1;
                }
            }
            byte_ = d_[at_++];
            bit_ = 8;
        }
        --bit_;
        return (byte_ >> bit_) & 1;
    }
    const uint8_t* d_;
    size_t size_;
    size_t at_ = 0;
    uint8_t byte_ = 0;
    int bit_ = 0;
};

// The first slice of the picture decides: IDR, or a slice of type I or SI.
bool h264SliceKey(const uint8_t* nal, size_t size, bool& decided) {
    const uint8_t type = nal[0] & 0x1F;
    if (type == 5) {
        decided = true;
        return true;
    }
    if (type != 1) {
        return false;
    }
    decided = true;
    BitReader bits(nal + 1, size - 1);
    uint32_t firstMb = 0;
    uint32_t sliceType = 0;
    return bits.ue(firstMb) && bits.ue(sliceType) && (sliceType % 5 == 2 || sliceType % 5 == 4);
}

bool h264Key(const uint8_t* d, size_t size) {
    bool decided = false;
    if (size >= 4 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || (d[2] == 0 && d[3] == 1))) {
        // Annex B: units after start codes.
        for (size_t at = nextStartCode(d, 0, size); at < size;) {
            const size_t next = nextStartCode(d, at, size);
            const bool key = h264SliceKey(d + at, std::min(next, size) - at, decided);
            if (decided) {
                return key;
            }
            at = next;
        }
        return false;
    }
    // Units with 4-byte lengths in front (the MP4 layout some writers keep).
    for (size_t at = 0; at + 5 <= size;) {
        const size_t length = size_t(d[at]) << 24 | size_t(d[at + 1]) << 16 |
                              size_t(d[at + 2]) << 8 | size_t(d[at + 3]);
        if (length == 0) {
            return false;
        }
        const size_t unit = std::min(length, size - at - 4);
        const bool key = h264SliceKey(d + at + 4, unit, decided);
        if (decided) {
            return key;
        }
        if (length > size - at - 4) {
            return false;
        }
        at += 4 + length;
    }
    return false;
}

} // namespace

FrameKeyRule frameKeyRuleOf(const std::string& handler, const std::string& compression) {
    if (isIntraOnlyCodec(handler, compression)) {
        return FrameKeyRule::EveryFrame;
    }
    for (const std::string* code : {&compression, &handler}) {
        if (code->size() != 4) {
            continue;
        }
        if (listed(kMpeg4Part2, *code)) {
            return FrameKeyRule::Mpeg4Part2;
        }
        if (listed(kH264, *code)) {
            return FrameKeyRule::H264;
        }
        if (listed(kMpeg12, *code)) {
            return FrameKeyRule::Mpeg12;
        }
    }
    return FrameKeyRule::Unknown;
}

size_t frameKeyBytes(FrameKeyRule rule) {
    switch (rule) {
    case FrameKeyRule::Unknown:
    case FrameKeyRule::EveryFrame:
        return 0;
    case FrameKeyRule::H264:
        return 4096; // parameter sets and an encoder's SEI text come first
    default:
        return 512;
    }
}

bool isKeyFrameData(FrameKeyRule rule, const uint8_t* data, size_t size) {
    if (size == 0) {
        return false;
    }
    switch (rule) {
    case FrameKeyRule::EveryFrame:
        return true;
    case FrameKeyRule::Mpeg4Part2:
        return mpeg4Key(data, size);
    case FrameKeyRule::H264:
        return h264Key(data, size);
    case FrameKeyRule::Mpeg12:
        return mpeg12Key(data, size);
    case FrameKeyRule::Unknown:
        break;
    }
    return false;
}

} // namespace vidloom

#pragma once
// Most-significant-bit-first reading of a codec header, as the video
// standards write their syntax. Reading past the end gives zeros and marks the
// reader failed, so a parser reads its fields and checks failed() once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vidloom {

class BitReader {
public:
    explicit BitReader(std::string_view bytes) : data_(bytes) {}
    // It keeps a view: the bytes must outlive it.
    explicit BitReader(std::string&&) = delete;

    // The next n bits (0 to 32) as an unsigned number.
    uint32_t bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 1) | bit();
        }
        return v;
    }
    uint32_t bit() {
        if (pos_ >= data_.size() * 8) {
            failed_ = true;
            return 0;
        }
        const uint32_t b = (uint8_t(data_[pos_ / 8]) >> (7 - pos_ % 8)) & 1;
        ++pos_;
        return b;
    }
    void skip(size_t n) {
        pos_ += n;
        if (pos_ > data_.size() * 8) {
            failed_ = true;
        }
    }
    // An unsigned Exp-Golomb code (ue(v) of H.264); more than 31 leading
    // zeros cannot be a valid code and fail the reader.
    uint32_t ue() {
        int zeros = 0;
        while (!failed_ && bit() == 0) {
            if (++zeros > 31) {
                failed_ = true;
                return 0;
            }
        }
        return zeros == 0 ? 0 : uint32_t((uint64_t(1) << zeros) - 1 + bits(zeros));
    }
    bool failed() const { return failed_; }

private:
    std::string_view data_;
    size_t pos_ = 0;
    bool failed_ = false;
};

// The offset of the next start code prefix (00 00 01) at or after from, or
// npos. The MPEG and H.264 stream formats mark their headers with it.
inline size_t findStartCode(std::string_view data, size_t from) {
    for (size_t i = from; i + 3 <= data.size(); ++i) {
        if (data[i + 2] == 1 && data[i + 1] == 0 && data[i] == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace vidloom

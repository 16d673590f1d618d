#include "avi/colour/ColourFormat.h"

#include "avi/colour/H264Sps.h"
#include "avi/colour/HuffYuvHeader.h"
#include "avi/colour/JpegHeader.h"
#include "avi/colour/MpegVideoHeaders.h"
#include "avi/TextFormat.h"

#include <cstdint>
#include <map>

namespace vidloom {

namespace {

// The headers of the codecs that keep them in the frames lie in the first
// few kilobytes; a JPEG's frame header may follow big application segments.
constexpr size_t kFrameBytes = 256 * 1024;
constexpr size_t kBitmapInfoSize = 40;

enum class Reader { Fixed, Jpeg, H264, Mpeg12, Mpeg4Part2, HuffYuv };

struct Rule {
    Reader reader = Reader::Fixed;
    const char* format = nullptr; // for Fixed
};

// What AviSource gets for each codec, by its code (upper case). AviSource
// asks a VfW decoder for the stream's own layout, so a definite name is given
// where the layout is fixed by the code or read from the stream:
// - uncompressed layouts AviSource hands over as they are (I420 and IYUV with
//   their planes swapped into YV12; UYVY, the other packed 4:2:2, as YUY2);
// - codecs whose format carries only 4:2:0 pictures (the MPEG-4 part 2
//   families, Microsoft's MPEG-4 and WMV 1/2, H.263): their decoders (Xvid,
//   DivX, ffdshow...) give YV12;
// - Ut Video names its layout in its code; its decoder gives its 4:2:2 as
//   YUY2, the format the codec was made for;
// - the readers of JPEG, H.264, MPEG-1/2 and HuffYUV headers.
// Codes not listed (DV, whose decoders give YUY2 or RGB as they were set up,
// Lagarith, FFV1, unknown codes) are left to the decoder: nullopt.
const std::map<std::string, Rule>& rules() {
    static const std::map<std::string, Rule> kRules = [] {
        std::map<std::string, Rule> m;
        const auto fixed = [&m](std::initializer_list<const char*> codes, const char* format) {
            for (const char* code : codes) {
                m[code] = {Reader::Fixed, format};
            }
        };
        const auto read = [&m](std::initializer_list<const char*> codes, Reader reader) {
            for (const char* code : codes) {
                m[code] = {reader, nullptr};
            }
        };
        fixed({"YV12", "I420", "IYUV"}, "YV12");
        fixed({"YV16"}, "YV16");
        fixed({"YV24"}, "YV24");
        fixed({"YUY2", "YUYV", "YUNV", "V422", "UYVY", "UYNV", "Y422", "HDYC", "2VUY"}, "YUY2");
        fixed({"Y800", "Y8  ", "GREY"}, "Y8");
        fixed({"V210", "P210"}, "YUV422P10");
        fixed({"P010"}, "YUV420P10");
        fixed({"P016"}, "YUV420P16");
        fixed({"P216"}, "YUV422P16");
        fixed({"B48R"}, "RGB48");
        fixed({"B64A"}, "RGB64");
        fixed({"DIV3", "DIV4", "MP41", "MP42", "MP43", "MPG3", "MPG4", "AP41", "WMV1", "WMV2",
               "H263", "FLV1"},
              "YV12");
        fixed({"ULY0", "ULH0", "UMY0", "UMH0"}, "YV12");
        fixed({"ULY2", "ULH2", "UMY2", "UMH2"}, "YUY2");
        fixed({"ULY4", "ULH4", "UMY4", "UMH4"}, "YV24");
        fixed({"ULRG", "UMRG"}, "RGB24");
        fixed({"ULRA", "UMRA"}, "RGB32");
        fixed({"UQY0"}, "YUV420P10");
        fixed({"UQY2"}, "YUV422P10");
        fixed({"UQRG"}, "RGBP10");
        fixed({"UQRA"}, "RGBAP10");
        read({"MJPG", "AVRN", "AVDJ", "DMB1", "JPGL", "LJPG", "JPEG", "MJPA", "MJLS"},
             Reader::Jpeg);
        read({"H264", "X264", "AVC1", "DAVC", "VSSH"}, Reader::H264);
        read({"MPG1", "MPG2", "MPEG", "PIM1", "PIM2", "MP2V", "MMES", "M701"}, Reader::Mpeg12);
        read({"XVID", "DIVX", "DX50", "FMP4", "MP4V", "MP4S", "3IV2", "M4S2", "XVIX", "RMP4"},
             Reader::Mpeg4Part2);
        read({"HFYU", "FFVH"}, Reader::HuffYuv);
        return m;
    }();
    return kRules;
}

uint32_t word32(std::string_view s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
           uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

std::optional<std::string> named(std::optional<PixelLayout> layout) {
    return layout ? aviSynthName(*layout) : std::nullopt;
}

// Uncompressed RGB (BI_RGB): what AviSource serves as it is. Other depths go
// through a conversion the system's decoder chooses.
std::optional<std::string> rawRgb(int bitCount) {
    if (bitCount == 24 || bitCount == 32) {
        return "RGB" + std::to_string(bitCount);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> colourFormatOf(std::string_view handler, std::string_view format,
                                          const FirstFrameReader& firstFrame) {
    if (format.size() < 20) {
        return std::nullopt; // no bit count, no compression code
    }
    const int bitCount = int(uint8_t(format[14]) | uint8_t(format[15]) << 8);
    const std::string compression(format.substr(16, 4));
    const std::string_view extra =
        format.size() > kBitmapInfoSize ? format.substr(kBitmapInfoSize) : std::string_view();
    if (word32(format, 16) == 0) {
        return rawRgb(bitCount); // BI_RGB, whatever the handler says
    }
    // The compression code names the bitstream; the handler only a decoder.
    const auto& table = rules();
    auto it = table.find(upperShort(compression));
    if (it == table.end() && handler.size() == 4) {
        it = table.find(upperShort(std::string(handler)));
    }
    const std::string code = upperShort(compression);
    if (it == table.end()) {
        return code == "DIB " || code == "RGB " || code == "RAW " ? rawRgb(bitCount) : std::nullopt;
    }
    const Rule& rule = it->second;
    switch (rule.reader) {
    case Reader::Fixed:
        return rule.format;
    case Reader::HuffYuv:
        return huffYuvFormat(extra, bitCount);
    case Reader::H264:
        if (auto l = h264Layout(extra, {})) {
            return aviSynthName(*l);
        }
        break;
    default:
        break;
    }
    const std::string frame = firstFrame ? firstFrame(kFrameBytes) : std::string();
    switch (rule.reader) {
    case Reader::Jpeg:
        return named(jpegLayout(frame));
    case Reader::H264:
        return named(h264Layout({}, frame));
    case Reader::Mpeg12:
        if (auto l = mpeg12Layout(extra)) {
            return aviSynthName(*l);
        }
        return named(mpeg12Layout(frame));
    case Reader::Mpeg4Part2:
        return named(mpeg4Part2Layout(std::string(extra) + frame));
    default:
        return std::nullopt;
    }
}

} // namespace vidloom

// The colour format read from the codec's own headers, on real files of every
// codec and layout the fixture script makes, against the pixel format ffprobe
// reported for each when it was made.

#include "avi/colour/ColourFormat.h"
#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"
#include "avi/colour/VideoColour.h"
#include "kit/AviBuilder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace vidloom {
namespace {

std::string colourFixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/colour/" + name;
}

// FILE -> ffprobe's pixel format, as recorded by make.sh.
std::map<std::string, std::string> recordedPixelFormats() {
    std::map<std::string, std::string> out;
    std::ifstream in(colourFixture("pix_fmts.txt"));
    std::string file;
    std::string format;
    while (in >> file >> format) {
        out[file] = format;
    }
    return out;
}

// The AviSynth clip types a VfW decoder can give for a stream that ffmpeg
// decodes to each pixel format: planar or packed 4:2:2, RGB with or without
// its padding byte.
const std::map<std::string, std::set<std::string>> kAviSynthTypes = {
    {"yuv420p", {"YV12"}},
    {"yuvj420p", {"YV12"}},
    {"yuv422p", {"YV16", "YUY2"}},
    {"yuvj422p", {"YV16", "YUY2"}},
    {"yuyv422", {"YUY2"}},
    {"uyvy422", {"YUY2"}},
    {"yuv444p", {"YV24"}},
    {"yuvj444p", {"YV24"}},
    {"gray", {"Y8"}},
    {"bgr24", {"RGB24"}},
    {"bgr0", {"RGB24", "RGB32"}},
    {"gbrp", {"RGB24", "RGB32"}},
    {"bgra", {"RGB32"}},
    {"gbrap", {"RGB32"}},
    {"yuv420p10le", {"YUV420P10"}},
    {"yuv422p10le", {"YUV422P10"}},
    {"yuv444p10le", {"YUV444P10"}},
};

// Codecs whose headers Vidloom does not read: their format stays unknown.
const std::set<std::string> kUnread = {"FFV1"};

struct Parts {
    std::string handler;
    std::string format; // the strf data
    std::string frame;  // the first video frame
};

Parts partsOf(const AviHeader& h) {
    BinaryFile file(h.FileName);
    VideoColourPlaces at;
    at.formatWord = h.VideoCompressionPos - 24;
    at.movieWord = h.MoviSizePos + 4;
    at.movieEnd = file.size();
    at.streamNumber = h.VideoStreamNumber;
    Parts p;
    p.handler = h.VideoFourCC;
    uint8_t size[4];
    EXPECT_TRUE(file.peek(at.formatWord + 4, size, 4));
    p.format.resize(size[0] | size[1] << 8);
    EXPECT_TRUE(file.peek(at.formatWord + 8, p.format.data(), p.format.size()));
    p.frame = readFirstVideoFrame(file, at, 1 << 20);
    return p;
}

std::optional<std::string> formatOf(const Parts& p, std::string_view frame) {
    return colourFormatOf(p.handler, p.format,
                          [frame](size_t n) { return std::string(frame.substr(0, n)); });
}

TEST(ColourFormat, AgreesWithFfprobeOnEveryCodecAndLayout) {
    const auto recorded = recordedPixelFormats();
    ASSERT_GE(recorded.size(), 30u);
    for (const auto& [file, pixelFormat] : recorded) {
        SCOPED_TRACE(file + " " + pixelFormat);
        const AviHeader h(colourFixture(file));
        if (kUnread.count(h.VideoFourCC) != 0) {
            EXPECT_EQ(h.ColourFormat, std::nullopt);
            continue;
        }
        ASSERT_TRUE(h.ColourFormat.has_value());
        ASSERT_EQ(kAviSynthTypes.count(pixelFormat), 1u) << "a pixel format the test lacks";
        EXPECT_EQ(kAviSynthTypes.at(pixelFormat).count(*h.ColourFormat), 1u) << *h.ColourFormat;
    }
}

TEST(ColourFormat, ACutFrameGivesTheWholeAnswerOrNone) {
    // Every prefix of the first frame: the headers are read only where they
    // are whole, so a shorter frame never gives another format.
    for (const auto& entry : recordedPixelFormats()) {
        SCOPED_TRACE(entry.first);
        const AviHeader h(colourFixture(entry.first));
        const Parts p = partsOf(h);
        const std::string_view frame(p.frame);
        for (size_t n = 0; n < std::min<size_t>(frame.size(), 1200); ++n) {
            const auto cut = formatOf(p, frame.substr(0, n));
            if (cut) {
                ASSERT_EQ(cut, h.ColourFormat) << n << " bytes";
            }
        }
        EXPECT_EQ(formatOf(p, frame), h.ColourFormat);
    }
}

TEST(ColourFormat, H264ParameterSetsInAvcCOrLengthPrefixedFrames) {
    // The same SPS stored the way MP4-style writers store it: in an avcC
    // record of the stream format, or framed by 4-byte lengths.
    for (const char* name : {"h264_420.avi", "h264_422.avi", "h264_444p10.avi"}) {
        SCOPED_TRACE(name);
        const AviHeader h(colourFixture(name));
        Parts p = partsOf(h);
        std::vector<std::string> nals;
        for (size_t at = p.frame.find(std::string("\0\0\1", 3)); at != std::string::npos;) {
            const size_t next = p.frame.find(std::string("\0\0\1", 3), at + 3);
            std::string nal =
                p.frame.substr(at + 3, next == std::string::npos ? next : next - at - 3);
            while (!nal.empty() && nal.back() == 0) {
                nal.pop_back(); // the next start code's leading zero
            }
            nals.push_back(nal);
            at = next;
        }
        ASSERT_FALSE(nals.empty());
        std::string framed;
        for (const std::string& nal : nals) {
            const size_t n = nal.size();
            framed += {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
            framed += nal;
        }
        EXPECT_EQ(formatOf(p, framed), h.ColourFormat);
        const std::string& sps = nals.front();
        ASSERT_EQ(sps[0] & 0x1F, 7);
        std::string avcC = {1,
                            sps[1],
                            sps[2],
                            sps[3],
                            char(0xFF),
                            char(0xE1),
                            char(sps.size() >> 8),
                            char(sps.size())};
        p.format += avcC + sps;
        EXPECT_EQ(formatOf(p, ""), h.ColourFormat);
    }
}

} // namespace
} // namespace vidloom

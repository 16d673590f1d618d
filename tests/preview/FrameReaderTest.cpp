// Frames decoded from real ffmpeg files equal FFmpeg's own pictures (the MD5
// of each, recorded by tests/fixtures/preview/make.sh), under AviSource's
// numbering: B-frames reordered, open groups whose first frames need the key
// frame before, dropped frames repeating the frame before, in any order of
// asking; frames out of range and files FFmpeg cannot decode say so.

#include "preview/FrameReader.h"
#include "avi/Errors.h"
#include "kit/AviBuilder.h"
#include "preview/FileDecoder.h"
#include "preview/PreviewErrors.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>

#if VIDLOOM_TEST_FFMPEG
extern "C" {
#include <libavutil/md5.h>
}
#endif

using namespace vidloom;
using namespace vidloom::preview;

namespace {

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/preview/" + name;
}

// The hashes of FFmpeg's pictures in the order it decodes them.
std::vector<std::string> ffmpegPictures(const std::string& name) {
    std::ifstream in(fixture(name + ".framemd5"));
    std::vector<std::string> hashes;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            hashes.push_back(line.substr(line.rfind(' ') + 1));
        }
    }
    return hashes;
}

std::string md5(const Picture& picture) {
#if VIDLOOM_TEST_FFMPEG
    uint8_t digest[16];
    av_md5_sum(digest, picture.rgb.data(), picture.rgb.size());
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : digest) {
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
#else
    (void)picture;
    return {};
#endif
}

class FrameReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!previewsBuiltIn()) {
            GTEST_SKIP() << "previews are not built in";
        }
    }
};

} // namespace

TEST_F(FrameReaderTest, BFramesInAnyOrderAreFfmpegsPictures) {
    const std::string file = fixture("bframes.avi");
    const std::vector<std::string> pictures = ffmpegPictures("bframes");
    ASSERT_EQ(pictures.size(), 30u);
    std::vector<int32_t> order(30);
    for (int32_t i = 0; i < 30; ++i) {
        order[size_t(i)] = i;
    }
    // In file order the decoder goes on from frame to frame; shuffled, it seeks.
    // Frames 10, 11, 22 and 23 show before the key frame that precedes them
    // in the file, so they need the group before.
    std::vector<int32_t> shuffled = order;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(14));
    for (const auto& sequence : {order, shuffled}) {
        FrameReader reader;
        for (int32_t n : sequence) {
            const auto picture = reader.frame(file, n);
            ASSERT_EQ(picture->width, 48);
            ASSERT_EQ(picture->height, 32);
            EXPECT_EQ(md5(*picture), pictures[size_t(n)]) << "frame " << n;
            EXPECT_EQ(picture->sourceEntry, n);
        }
        const FileDecoder* decoder = reader.decoderOf(file);
        ASSERT_NE(decoder, nullptr);
        if (sequence == order) {
            EXPECT_EQ(decoder->seeks(), 1); // one seek to the start, then onwards
            EXPECT_EQ(decoder->packetsDecoded(), 30);
        }
    }
}

TEST_F(FrameReaderTest, DroppedFramesRepeatTheFrameBefore) {
    const std::string file = fixture("dropped.avi");
    const std::vector<std::string> pictures = ffmpegPictures("dropped");
    ASSERT_EQ(pictures.size(), 26u);
    // Entries 1, 5, 6 and 17 are empty: FFmpeg decodes 26 pictures for 30 frames.
    const int32_t shows[30] = {0,  0,  1,  2,  3,  3,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                               12, 13, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};
    FrameReader reader;
    for (int32_t n = 29; n >= 0; --n) {
        const auto picture = reader.frame(file, n);
        EXPECT_EQ(md5(*picture), pictures[size_t(shows[n])]) << "frame " << n;
        const std::map<int32_t, int32_t> dropped{{1, 0}, {5, 4}, {6, 4}, {17, 16}};
        EXPECT_EQ(picture->sourceEntry, dropped.count(n) ? dropped.at(n) : n) << "frame " << n;
    }
}

TEST_F(FrameReaderTest, FramesOutOfRangeAndUndecodableFilesNameTheFile) {
    FrameReader reader;
    const std::string file = fixture("bframes.avi");
    for (int32_t n : {-1, 30}) {
        try {
            reader.frame(file, n);
            ADD_FAILURE() << "frame " << n << " was given";
        } catch (const RangeError& e) {
            EXPECT_EQ(std::string(e.what()).find(file + ": frame " + std::to_string(n)), 0u);
        }
    }
    // A codec FFmpeg does not know, and a file that is not AVI.
    kit::AviBuilder avi;
    avi.handler = avi.compression = "QQ42";
    avi.addFrames(3);
    const std::string unknown = kit::writeTemp("unknown-codec.avi", avi.build());
    try {
        reader.frame(unknown, 0);
        ADD_FAILURE() << "an unknown codec was decoded";
    } catch (const DecodeError& e) {
        EXPECT_EQ(std::string(e.what()), unknown + ": cannot be decoded: FFmpeg has no decoder "
                                                   "for its video codec QQ42");
    }
    const std::string text = kit::writeTemp("text.avi", "not a movie");
    EXPECT_THROW(reader.frame(text, 0), IoError);
}

TEST_F(FrameReaderTest, AFrameIsDecodedOnceAtEachSize) {
    FrameReader reader;
    const std::string file = fixture("bframes.avi");
    const auto first = reader.frame(file, 12, Size{24, 0});
    EXPECT_EQ(first->width, 24);
    EXPECT_EQ(first->height, 16);
    const int64_t packets = reader.decoderOf(file)->packetsDecoded();
    EXPECT_EQ(reader.cached(file, 12, Size{24, 0}), first);
    EXPECT_EQ(reader.frame(file, 12, Size{24, 0}), first);
    EXPECT_EQ(reader.decoderOf(file)->packetsDecoded(), packets);
    EXPECT_EQ(reader.cached(file, 12), nullptr); // the file's own size is another frame
}

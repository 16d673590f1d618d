// The codec and audio-format names of the property fields.

#include "avi/CodecNames.h"

#include <gtest/gtest.h>

using namespace vidloom;

TEST(NameTables, VideoCodesIgnoreLetterCase) {
    const VideoCodecNames& t = videoCodecNames();
    EXPECT_EQ(t.nameOf("DIV3"), "DivX MPEG-4 Low Motion");
    EXPECT_EQ(t.nameOf("Div3"), "DivX MPEG-4 Low Motion");
    EXPECT_EQ(t.nameOf("DX50"), "DivX MPEG-4 5.0x");
    EXPECT_EQ(t.nameOf("divx"), "DivX MPEG-4 5.0x");
    EXPECT_EQ(t.nameOf("XVID"), "Xvid MPEG-4");
    EXPECT_EQ(t.nameOf("MPG4"), "Msoft MPEG-4 Vid Codec V1");
    EXPECT_EQ(t.nameOf("RAW#0"), "Raw, uncompressed RGB");
}

TEST(NameTables, UnknownVideoCodesShowTheCodeAsGiven) {
    const VideoCodecNames& t = videoCodecNames();
    EXPECT_EQ(t.nameOf("h265"), "Unknown F4CC codec: h265");
    EXPECT_EQ(t.nameOf("MP41"), "Unknown F4CC codec: MP41");
    // Four bytes never match the five-character key "raw#0".
    EXPECT_EQ(t.nameOf("raw#"), "Unknown F4CC codec: raw#");
    const std::string zeros(4, '\0');
    EXPECT_EQ(t.nameOf(zeros), "Unknown F4CC codec: " + zeros);
}

TEST(NameTables, AudioTags) {
    const AudioFormatNames& t = audioFormatNames();
    EXPECT_EQ(t.nameOf(85), "mp3");
    EXPECT_EQ(t.nameOf(2), "microsoft ACPM");
    EXPECT_EQ(t.nameOf(4), "Unknown Audio Tag: 4");
    EXPECT_EQ(t.nameOf(65535), "Unknown Audio Tag: 65535");
    // Negative numbers are written "0" by the number text.
    EXPECT_EQ(t.nameOf(-85), "Unknown Audio Tag: 0");
}

// The formats ffmpeg and the common capture tools write most: the codes as
// they appear in files (upper case FourCCs, the tags' numbers).
TEST(NameTables, CommonFormatsHaveNames) {
    const VideoCodecNames& v = videoCodecNames();
    EXPECT_EQ(v.nameOf("H264"), v.nameOf("avc1"));
    EXPECT_EQ(v.nameOf("X264"), v.nameOf("h264"));
    EXPECT_EQ(v.nameOf("WMV1"), v.nameOf("wmv3"));
    EXPECT_EQ(v.nameOf("I420"), v.nameOf("YV12"));
    for (const char* code : {"H264", "MJPG", "FMP4", "MP42", "MP43", "WMV2", "HFYU", "FFV1", "dvsd",
                             "MP4V", "I420", "UYVY"}) {
        EXPECT_EQ(v.nameOf(code).find("Unknown"), std::string::npos) << code;
    }
    const AudioFormatNames& a = audioFormatNames();
    EXPECT_EQ(a.nameOf(1), "pcm");
    EXPECT_EQ(a.nameOf(8192), "ac3");
    for (int32_t tag : {3, 6, 7, 17, 80, 255, 353, 8193, 22127, 61868, 65534}) {
        EXPECT_EQ(a.nameOf(tag).find("Unknown"), std::string::npos) << tag;
    }
}

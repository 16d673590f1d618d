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

// Formats as ffmpeg writes them: upper-case codes, and the aliases of one
// format share its name.
TEST(NameTables, CommonFormatsHaveNames) {
    const VideoCodecNames& v = videoCodecNames();
    EXPECT_EQ(v.nameOf("FMP4"), "FFmpeg MPEG-4");
    EXPECT_EQ(v.nameOf("H264"), v.nameOf("avc1"));
    EXPECT_EQ(v.nameOf("I420"), v.nameOf("YV12"));
    EXPECT_EQ(audioFormatNames().nameOf(1), "pcm");
    EXPECT_EQ(audioFormatNames().nameOf(65534), "extensible");
}

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
    EXPECT_EQ(t.nameOf("mp42"), "Unknown F4CC codec: mp42");
    EXPECT_EQ(t.nameOf("H264"), "Unknown F4CC codec: H264");
    // Four bytes never match the five-character key "raw#0".
    EXPECT_EQ(t.nameOf("raw#"), "Unknown F4CC codec: raw#");
    const std::string zeros(4, '\0');
    EXPECT_EQ(t.nameOf(zeros), "Unknown F4CC codec: " + zeros);
}

TEST(NameTables, AudioTags) {
    const AudioFormatNames& t = audioFormatNames();
    EXPECT_EQ(t.nameOf(85), "mp3");
    EXPECT_EQ(t.nameOf(2), "microsoft ACPM");
    EXPECT_EQ(t.nameOf(1), "Unknown Audio Tag: 1");
    EXPECT_EQ(t.nameOf(8192), "Unknown Audio Tag: 8192");
    // Negative numbers are written "0" by the number text.
    EXPECT_EQ(t.nameOf(-85), "Unknown Audio Tag: 0");
}

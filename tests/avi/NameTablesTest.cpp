// The codec and audio-format names of the property fields.

#include "avi/UAVTag.h"

#include <gtest/gtest.h>

using namespace vidloom;

TEST(NameTables, VideoCodesIgnoreLetterCase) {
    const TVideoFCC& t = VideoFCCTable();
    EXPECT_EQ(t.getFCCInfo("DIV3"), "DivX MPEG-4 Low Motion");
    EXPECT_EQ(t.getFCCInfo("Div3"), "DivX MPEG-4 Low Motion");
    EXPECT_EQ(t.getFCCInfo("DX50"), "DivX MPEG-4 5.0x");
    EXPECT_EQ(t.getFCCInfo("divx"), "DivX MPEG-4 5.0x");
    EXPECT_EQ(t.getFCCInfo("XVID"), "Xvid MPEG-4");
    EXPECT_EQ(t.getFCCInfo("MPG4"), "Msoft MPEG-4 Vid Codec V1");
    EXPECT_EQ(t.getFCCInfo("RAW#0"), "Raw, uncompressed RGB");
}

TEST(NameTables, UnknownVideoCodesShowTheCodeAsGiven) {
    const TVideoFCC& t = VideoFCCTable();
    EXPECT_EQ(t.getFCCInfo("mp42"), "Unknown F4CC codec: mp42");
    EXPECT_EQ(t.getFCCInfo("H264"), "Unknown F4CC codec: H264");
    // Four bytes never match the five-character key "raw#0".
    EXPECT_EQ(t.getFCCInfo("raw#"), "Unknown F4CC codec: raw#");
    const std::string zeros(4, '\0');
    EXPECT_EQ(t.getFCCInfo(zeros), "Unknown F4CC codec: " + zeros);
}

TEST(NameTables, AudioTags) {
    const TAudioTag& t = AudioTagTable();
    EXPECT_EQ(t.getInfoTag(85), "mp3");
    EXPECT_EQ(t.getInfoTag(2), "microsoft ACPM");
    EXPECT_EQ(t.getInfoTag(1), "Unknown Audio Tag: 1");
    EXPECT_EQ(t.getInfoTag(8192), "Unknown Audio Tag: 8192");
    // Negative numbers are written "0" by the number text.
    EXPECT_EQ(t.getInfoTag(-85), "Unknown Audio Tag: 0");
}

#include "avi/TextFormat.h"
#include "avi/Errors.h"
#include "avi/InfoList.h"

#include <gtest/gtest.h>

using namespace vidloom;

TEST(TextFormat, IntToTextWritesNegativesAsZero) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(7), "7");
    EXPECT_EQ(intToText(100), "100");
    EXPECT_EQ(intToText(2147483647), "2147483647");
    EXPECT_EQ(intToText(-1), "0");
    EXPECT_EQ(intToText(-5), "0");
    EXPECT_EQ(intToText(INT32_MIN), "0");
}

TEST(TextFormat, PadZerosNeverCuts) {
    EXPECT_EQ(padZeros("5", 2), "05");
    EXPECT_EQ(padZeros("123", 2), "123");
    EXPECT_EQ(padZeros("", 3), "000");
    EXPECT_EQ(padZeros("7", -4), "7");
}

TEST(TextFormat, MsToDurationPutsDaysFirst) {
    EXPECT_EQ(msToDuration(0), "00:00:00:00.000");
    EXPECT_EQ(msToDuration(60000), "00:00:01:00.000");
    EXPECT_EQ(msToDuration(5025678), "00:01:23:45.678");
    EXPECT_EQ(msToDuration(90061001), "01:01:01:01.001");
    EXPECT_EQ(msToDuration(2147483647), "24:20:31:23.647");
    EXPECT_EQ(msToDuration(-1234567), "00:00:00:00.000");
}

TEST(TextFormat, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(lowerShort("DIVX"), "divx");
    EXPECT_EQ(upperShort("dx50"), "DX50");
    const std::string withNul("D\0v\xE9", 4);
    EXPECT_EQ(lowerShort(withNul), std::string("d\0v\xE9", 4));
    EXPECT_EQ(upperShort(withNul), std::string("D\0V\xE9", 4));
    EXPECT_EQ(lowerShort(std::string(300, 'A')), std::string(255, 'a'));
    EXPECT_THROW(upperShort(std::string(256, 'a')), RangeError);
}

TEST(TextFormat, ThousandthsKeepTheirPlace) {
    EXPECT_EQ(thousandthsText(0), "0");
    EXPECT_EQ(thousandthsText(40), "040");
    EXPECT_EQ(thousandthsText(1), "001");
    EXPECT_EQ(thousandthsText(99), "099");
    EXPECT_EQ(thousandthsText(976), "976");
}

TEST(InfoList, FirstCaseInsensitiveMatchWins) {
    InfoList list;
    list.append("div3", "a");
    list.append("DIV3", "b");
    EXPECT_EQ(list.indexOf("Div3"), 0);
    EXPECT_EQ(list.indexOf("div"), -1);
    EXPECT_EQ(list.text(list.indexOf("DIV3")), "a");
}

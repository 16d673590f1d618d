// Tag texts as the window and the JSON show them: UTF-8 as it is, other bytes
// read as Windows-1252.

#include "avi/TextEncoding.h"

#include <gtest/gtest.h>

#include <random>

using namespace vidloom;

TEST(TextEncoding, Utf8StaysAndOtherBytesAreReadAsWindows1252) {
    EXPECT_EQ(readableText("J\xC3\xB6rg M\xC3\xBCller"), "J\xC3\xB6rg M\xC3\xBCller");
    EXPECT_EQ(readableText("J\xF6rg M\xFCller"), "J\xC3\xB6rg M\xC3\xBCller");
    EXPECT_EQ(readableText("\x80 \x93q\x94"), "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_EQ(readableText("\x81"), "\xC2\x81"); // unassigned: the control character
    // Almost UTF-8: an overlong form, a surrogate, a cut-off sequence.
    EXPECT_FALSE(isUtf8("\xC0\xAF"));
    EXPECT_FALSE(isUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(isUtf8("ab\xE2\x82"));
    EXPECT_TRUE(isUtf8("\xF0\x9F\x8E\xAC"));
    EXPECT_FALSE(isUtf8("\xF4\x90\x80\x80"));
}

// Whatever the bytes, the result is UTF-8, and UTF-8 comes back unchanged.
TEST(TextEncoding, AlwaysGivesUtf8) {
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) {
            c = char(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        const std::string text = readableText(bytes);
        ASSERT_TRUE(isUtf8(text));
        EXPECT_EQ(readableText(text), text);
        if (isUtf8(bytes)) {
            EXPECT_EQ(text, bytes);
        } else {
            EXPECT_GT(text.size(), bytes.size());
        }
    }
}

// File names: the directory split, splice references taken from names, the
// numbers users type, and the assembled name.

#include "avi/Errors.h"
#include "plan/PlanActions.h"
#include "plan/SplicePlan.h"

#include <gtest/gtest.h>

namespace vidloom {
namespace {

TEST(SplitPath, KeepsTheSeparatorWithTheDirectory) {
    const auto parts = [](const std::string& path) {
        const PathParts p = splitPath(path);
        return p.directory + "|" + p.name;
    };
    EXPECT_EQ(parts("C:\\clips\\a.avi"), "C:\\clips\\|a.avi");
    EXPECT_EQ(parts("/v/mixed\\b.avi"), "/v/mixed\\|b.avi");
    EXPECT_EQ(parts("/v/dir/"), "/v/dir/|");
    EXPECT_EQ(parts("bare.avi"), "|") << "a name without separator has no parts";
}

TEST(SpliceRefOf, TakesTheFirstDigitRunOfTheFileName) {
    EXPECT_EQ(spliceRefOf("C:\\part2\\clip.avi"), -1);
    EXPECT_EQ(spliceRefOf("C:\\v\\a1b22.avi"), 1);
    EXPECT_EQ(spliceRefOf("/v/clip2_0150.avi"), 2);
    EXPECT_EQ(spliceRefOf("/v/0150.avi"), 150);
    EXPECT_EQ(spliceRefOf("/v/intro.avi"), -1);
    EXPECT_EQ(spliceRefOf("s100.avi"), -1) << "no separator: no file-name part";
    EXPECT_EQ(spliceRefOf("/v/x2147483647.avi"), INT32_MAX);
    EXPECT_EQ(spliceRefOf("/v/000000000000000042.avi"), 42);
}

TEST(SpliceRefOf, ARunTooLargeIsAConversionError) {
    EXPECT_THROW(spliceRefOf("/v/x2147483648.avi"), ConversionError);
    try {
        spliceRefOf("/v/99999999999999999999999.avi");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("99999999999999999999999"), std::string::npos);
    }
}

TEST(TextToInt32, ReadsSignedDecimalsOnly) {
    EXPECT_EQ(textToInt32("-5"), -5);
    EXPECT_EQ(textToInt32("+7"), 7);
    EXPECT_EQ(textToInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(textToInt32("2147483647"), INT32_MAX);
    for (const char* bad :
         {"", "-", "abc", "2147483648", "-2147483649", " 5", "5 ", "1e3", "0x10"}) {
        EXPECT_EQ(textToInt32(bad), std::nullopt) << bad;
    }
}

TEST(assembledName, ReplacesTheLastFourCharacters) {
    EXPECT_EQ(assembledNameOf("C:\\v\\a.avi"), "C:\\v\\a.Assembled.avd");
    EXPECT_EQ(assembledNameOf("/v/b.AVI"), "/v/b.Assembled.avd");
    EXPECT_EQ(assembledNameOf("ab"), ".Assembled.avd");
}

} // namespace
} // namespace vidloom

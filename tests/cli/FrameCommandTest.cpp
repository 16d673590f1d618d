// vidloom-cli frame: a PNG file of the frame, scaled when asked; status 1
// naming the file for a frame out of range or a file that cannot be decoded,
// status 2 for usage errors.

#include "kit/AviBuilder.h"
#include "kit/Outcome.h"
#include "preview/FileDecoder.h"

#include <gtest/gtest.h>

using namespace vidloom;

namespace {

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/preview/" + name;
}

kit::CliRun frame(std::vector<std::string> args) {
    args.insert(args.begin(), "frame");
    return kit::cli(args);
}

// The width and height a PNG file's header gives.
std::pair<uint32_t, uint32_t> pngSize(const std::string& bytes) {
    const auto be32 = [&](size_t at) {
        return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
               uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
    };
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    return {be32(16), be32(20)};
}

} // namespace

TEST(FrameCommand, WritesThePictureAsPng) {
    if (!preview::previewsBuiltIn()) {
        const kit::CliRun r = frame({fixture("bframes.avi"), "3", "-o", kit::tempDir() + "/x.png"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("previews are not built in"), std::string::npos);
        GTEST_SKIP() << "previews are not built in";
    }
    const std::string out = kit::tempDir() + "/frame.png";
    kit::CliRun r = frame({fixture("bframes.avi"), "11", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize(kit::readAll(out)), std::make_pair(48u, 32u));
    r = frame({fixture("dropped.avi"), "29", "--width", "24", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize(kit::readAll(out)), std::make_pair(24u, 16u));
}

TEST(FrameCommand, FailuresNameTheFile) {
    if (!preview::previewsBuiltIn()) {
        GTEST_SKIP() << "previews are not built in";
    }
    const std::string out = kit::tempDir() + "/never.png";
    const std::string file = fixture("bframes.avi");
    kit::CliRun r = frame({file, "30", "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, file + ": frame 30 is out of range: the file has 30 frames (0 to 29)\n");
    r = frame({file, "-1", "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(file + ": frame -1 is out of range"), std::string::npos);

    kit::AviBuilder avi;
    avi.handler = avi.compression = "QQ42";
    avi.addFrames(2);
    const std::string unknown = kit::writeTemp("frame-unknown.avi", avi.build());
    r = frame({unknown, "0", "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find(unknown + ": cannot be decoded"), 0u) << r.err;
    r = frame({kit::writeTemp("frame-text.avi", "text"), "0", "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Not an avi!"), std::string::npos);
    EXPECT_TRUE(kit::readAll(out).empty()); // nothing written by any of these
}

TEST(FrameCommand, UsageErrors) {
    const std::string f = fixture("bframes.avi");
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {f, "3"},
                                               {f, "-o", "x.png"},
                                               {f, "three", "-o", "x.png"},
                                               {f, "3", "-o"},
                                               {f, "3", "-o", "x.png", "--width", "0"},
                                               {f, "3", "-o", "x.png", "--width", "wide"},
                                               {f, "3", "-o", "x.png", "--height", "9"},
                                               {f, "3", "4", "-o", "x.png"}}) {
        const kit::CliRun r = frame(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: vidloom-cli frame"), std::string::npos);
    }
}

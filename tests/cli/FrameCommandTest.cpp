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

// Frame P of a script's plan is, byte for byte, the PNG of the frame of the
// file that P comes from: over a plan of both fixtures with a splice across
// a join, a segment starting on no key frame, B-frames and dropped frames.
TEST(FrameCommand, FromAScriptEveryFrameIsItsFilesFrame) {
    if (!preview::previewsBuiltIn()) {
        GTEST_SKIP() << "previews are not built in";
    }
    const std::string b = fixture("bframes.avi");
    const std::string d = fixture("dropped.avi");
    const std::string script = kit::tempDir() + "/frame-from.avs";
    // b(0,7) d(0,30) d(7,23): the splice overwrites b's rest and 7 frames of d.
    const kit::CliRun made =
        kit::cli("plan", {b, "--append", d, "--splice-at", "7", d, "--script", script});
    ASSERT_EQ(made.status, 0) << made.err;
    struct Source {
        std::string file;
        int first;
        int count;
    };
    std::vector<std::pair<std::string, int>> frames;
    for (const Source& s : {Source{b, 0, 7}, Source{d, 0, 30}, Source{d, 7, 23}}) {
        for (int k = 0; k < s.count; ++k) {
            frames.emplace_back(s.file, s.first + k);
        }
    }
    const std::string viaPlan = kit::tempDir() + "/frame-from-plan.png";
    const std::string viaFile = kit::tempDir() + "/frame-from-file.png";
    for (size_t p = 0; p < frames.size(); ++p) {
        kit::CliRun r =
            frame({"--from", script, std::to_string(p), "-o", viaPlan, "--width", "40"});
        ASSERT_EQ(r.status, 0) << r.err;
        r = frame(
            {frames[p].first, std::to_string(frames[p].second), "--width", "40", "-o", viaFile});
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(kit::readAll(viaPlan), kit::readAll(viaFile)) << "P " << p;
    }

    const std::string out = kit::tempDir() + "/frame-from-never.png";
    const kit::CliRun past = frame({"--from", script, std::to_string(frames.size()), "-o", out});
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.err, script + ": frame 60 is out of range: the plan has 60 frames (0 to 59)\n");
    EXPECT_EQ(frame({"--from", script, "-1", "-o", out}).status, 1);
    EXPECT_TRUE(kit::readAll(out).empty());
}

// A width no person can use is brought down to 4 times the frame's own (and
// 8192 at most), said on stderr; the PNG is still written.
TEST(FrameCommand, WidthIsBoundedByTheFramesOwn) {
    if (!preview::previewsBuiltIn()) {
        GTEST_SKIP() << "previews are not built in";
    }
    const std::string out = kit::tempDir() + "/frame-wide.png";
    kit::CliRun r = frame({fixture("bframes.avi"), "3", "--width", "16384", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize(kit::readAll(out)), std::make_pair(192u, 128u));
    EXPECT_NE(r.err.find("note: --width 16384"), std::string::npos) << r.err;
    r = frame({fixture("bframes.avi"), "3", "--width", "192", "-o", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

// Paths in the script: names beyond ASCII, double quotes, and the names the
// files have on the machine where AviSynth runs.

#include "script/ScriptPath.h"
#include "avi/Errors.h"
#include "avi/TextEncoding.h"
#include "kit/AvsEval.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vidloom {
namespace {

using kit::PlanTest;

// The frames a script assembles, named by their local paths.
std::vector<kit::Frame> frames(const std::string& script, AviHeaderCache& cache,
                               const PathMap& paths = {}) {
    std::vector<kit::Frame> local = kit::evaluateAvs(script, [&](const std::string& name) {
        return cache.get(paths.fromScript(name)).TotalFrames;
    });
    for (kit::Frame& frame : local) {
        frame.first = paths.fromScript(frame.first);
    }
    return local;
}

TEST_F(PlanTest, PathsBeyondAsciiOrWithQuotesOpenTheFileTheyName) {
    for (const std::string name : {"\xC3\x9C"
                                   "berfall 100.avi",
                                   "say \"cut\" here.avi",
                                   "\"\xE2\x80\x9C"
                                   "quoted\xE2\x80\x9D\" 7.avi"}) {
        const std::string file = kit::makeClip(name, 20);
        auto p = plan();
        p->addSegment(std::make_unique<Segment>(file, cache), 1);
        const std::string script = p->buildScript() + "\r\n";
        std::vector<kit::Frame> expected;
        for (int32_t f = 0; f < 1000; ++f) {
            expected.emplace_back(path("B"), f);
        }
        for (int32_t f = 0; f < 20; ++f) {
            expected.emplace_back(file, f);
        }
        EXPECT_EQ(frames(script, cache), expected) << script;
    }
}

TEST_F(PlanTest, APathTheScriptCannotNameIsRefusedBeforeAnythingIsWritten) {
    const std::string out = kit::tempDir() + "/refused.avs";
    for (const std::string name : {"\xDC"
                                   "berfall.avi",
                                   "ends in a quote\"", "three \"\"\" in"}) {
        const std::string file = kit::makeClip(name, 5);
        auto p = std::make_unique<SplicePlan>(path("B"), cache);
        p->addSegment(std::make_unique<Segment>(file, cache), 1);
        try {
            writeFileAtomically(out, scriptFileText(*p));
            ADD_FAILURE() << name << " was written";
        } catch (const ConversionError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
    }
    EXPECT_FALSE(isUtf8("\xC0\x80"));         // overlong NUL
    EXPECT_FALSE(isUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(isUtf8("\xE2\x82"));         // cut short
    EXPECT_TRUE(isUtf8("\xF0\x9F\x8E\xAC \xE2\x82\xAC"));
}

TEST(PathMapping, FoldersBecomeTheirNamesWhereAviSynthRunsAndComeBack) {
    const PathMap shares({{"/mnt/video/", "\\\\nas\\video"}, {"/mnt", "M:\\"}, {"/", "Z:\\"}});
    EXPECT_EQ(shares.toScript("/mnt/video/a b/c.avi"), "\\\\nas\\video\\a b\\c.avi");
    EXPECT_EQ(shares.toScript("/mnt/videos/c.avi"), "M:\\videos\\c.avi") << "not inside /mnt/video";
    EXPECT_EQ(shares.toScript("/home/ann/movie.avi"), "Z:\\home\\ann\\movie.avi");
    EXPECT_EQ(PathMap::wine().toScript("/home/ann/movie.avi"), "Z:\\home\\ann\\movie.avi");
    EXPECT_EQ(PathMap().toScript("/home/ann/movie.avi"), "/home/ann/movie.avi");
    EXPECT_EQ(shares.fromScript("z:\\Home\\x.avi"), "/Home/x.avi") << "drive letters fold";
    EXPECT_EQ(shares.fromScript("C:\\x.avi"), "C:\\x.avi") << "no mapping holds it";
    const PathMap posix({{"/home/ann", "/mnt/ann/"}, {"/", "Z:\\"}});
    EXPECT_EQ(posix.toScript("/home/ann/a b/c.avi"), "/mnt/ann/a b/c.avi")
        << "a POSIX name keeps /";
    EXPECT_EQ(posix.fromScript("/mnt/ann/a b/c.avi"), "/home/ann/a b/c.avi");

    // Every local path comes back from its script name.
    const std::vector<std::string> parts = {"mnt", "video", "videos", "a b", "\xC3\x9C", "x.avi"};
    for (size_t seed = 0; seed < 400; ++seed) {
        std::string local;
        for (size_t k = seed, depth = 1 + seed % 4; depth > 0; --depth, k /= parts.size()) {
            local += "/" + parts[k % parts.size()];
        }
        for (const PathMap& map : {shares, posix, PathMap::wine(), PathMap()}) {
            EXPECT_EQ(map.fromScript(map.toScript(local)), local);
        }
    }
    EXPECT_EQ(PathMap::parse("/=Z:\\"), (PathMap::Mapping{"/", "Z:\\"}));
    EXPECT_EQ(PathMap::parse("=Z:\\"), std::nullopt);
}

} // namespace
} // namespace vidloom

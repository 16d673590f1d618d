// vidloom-cli plan and AviSynth's splice rules: warnings, the JSON problems,
// --strict, --snap, and the names the script gives files elsewhere.

#include "kit/AviBuilder.h"
#include "kit/MiniJson.h"
#include "kit/Outcome.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vidloom;

namespace {

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/" + name;
}

} // namespace

TEST(PlanPreflight, ProblemsWarnAndOnlyStrictRefusesTheScript) {
    const std::string base = fixture("xvid_mp3.avi");
    const std::string silent = fixture("mjpeg_silent.avi");
    const std::string out = kit::tempDir() + "/preflight.avs";

    const kit::CliRun loose = kit::cli("plan", {base, "--append", silent, "--json"});
    EXPECT_EQ(loose.status, 0) << loose.err;
    const kit::JsonValue json = kit::parseJson(loose.out);
    const auto& problems = json["problems"].items;
    // Every difference of the join, AviSynth's own refusal first.
    ASSERT_GT(problems.size(), 1u);
    EXPECT_NE(problems[0]["message"].text.find("one clip has audio"), std::string::npos);
    std::string warnings;
    for (const auto& problem : problems) {
        EXPECT_EQ(problem["segment"].integer(), 1);
        warnings += "warning: " + problem["message"].text + "\n";
    }
    EXPECT_EQ(loose.err, warnings);

    const kit::CliRun strict =
        kit::cli("plan", {base, "--append", silent, "--strict", "--script", out});
    EXPECT_EQ(strict.status, 4);
    EXPECT_FALSE(std::filesystem::exists(out));

    const kit::CliRun clean = kit::cli("plan", {base, "--append", base, "--strict", "--json"});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.err, "");
    EXPECT_TRUE(kit::parseJson(clean.out)["problems"].items.empty());
}

TEST(PlanPreflight, SnapMovesEveryStartOffAKeyFrameAndSaysSo) {
    kit::AviBuilder b;
    b.addFrames(100, 10);
    const std::string base = kit::writeTemp("cli-snap-base.avi", b.build());
    kit::AviBuilder s;
    s.addFrames(10);
    const std::string splice = kit::writeTemp("cli-snap-25.avi", s.build());

    const kit::CliRun r = kit::cli("plan", {base, "--splice", splice, "--snap", "prev", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "snap: " + base + ": 35 -> 30\n");
    const kit::JsonValue json = kit::parseJson(r.out);
    const auto& segments = json["segments"].items;
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[2]["start"].integer(), 30);
    EXPECT_EQ(segments[2]["length"].integer(), 70);
    EXPECT_TRUE(segments[2]["startsOnKeyFrame"].flag);

    EXPECT_EQ(kit::cli("plan", {base, "--snap", "back"}).status, 2);

    // A file whose key frames nobody can tell is not snapped, and says so.
    const std::string unknown = fixture("avisource/msmpeg4_cut.avi");
    const std::string cut = kit::writeTemp(
        "cli-snap-blind.avs", "src = aviSource(\"" + unknown + "\").trim(5,-10)\nreturn src\n");
    const kit::CliRun blind = kit::cli("plan", {"--from", cut, "--snap", "next", "--json"});
    EXPECT_NE(blind.err.find("snap: " + unknown + ": cannot tell where the key frames are"),
              std::string::npos)
        << blind.err;
    EXPECT_EQ(blind.err.find(" -> "), std::string::npos) << blind.err;
}

TEST(PlanPreflight, AScriptWrittenForWineReadsBackWithTheSameMapping) {
    const std::string base = fixture("xvid_mp3.avi");
    const std::string first = kit::tempDir() + "/wine-a.avs";
    const std::string second = kit::tempDir() + "/wine-b.avs";
    ASSERT_EQ(kit::cli("plan", {base, "--append", base, "--wine", "--script", first}).status, 0);
    EXPECT_EQ(kit::readAll(first).find(base), std::string::npos) << "named as Wine shows it";
    const kit::CliRun again = kit::cli("plan", {"--from", first, "--wine", "--script", second});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(kit::readAll(second), kit::readAll(first));
    EXPECT_EQ(kit::cli("plan", {base, "--path-map", "no-equals-sign"}).status, 2);

    // The user's mapping wins over Wine's drive Z: in either order.
    const std::string folder = std::filesystem::path(base).parent_path().string();
    const std::string map = folder + "=V:\\";
    const kit::CliRun before =
        kit::cli("plan", {base, "--path-map", map, "--wine", "--script", "-"});
    const kit::CliRun after =
        kit::cli("plan", {base, "--wine", "--path-map", map, "--script", "-"});
    EXPECT_NE(before.out.find("V:\\xvid_mp3.avi"), std::string::npos) << before.out;
    EXPECT_EQ(after.out, before.out);
}

TEST(PlanPreflight, HelpIsTheWholeContract) {
    const kit::CliRun help = kit::cli("--help", {});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"--near", "--snap", "--strict", "--path-map", "--wine", "--from",
                             "--splice-at", "--width", "  3  ", "  4  "}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

// vidloom-cli plan: the plan built as the window builds it, in command-line
// order, its listing and JSON, the script, and the exit statuses.

#include "cli/Commands.h"
#include "kit/AviBuilder.h"
#include "kit/AvsEval.h"
#include "kit/MiniJson.h"
#include "kit/Outcome.h"
#include "plan/PlanActions.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vidloom;

namespace {

using kit::CliRun;

CliRun plan(const std::vector<std::string>& args) {
    return kit::cli("plan", args);
}

std::string clip(const std::string& name, int frames) {
    kit::AviBuilder b;
    b.addFrames(frames);
    return kit::writeTemp(name, b.build());
}

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/" + name;
}

} // namespace

TEST(PlanCommand, PrintsTheListingBlockWithLineFeeds) {
    const std::string base = clip("cli-plan-base.avi", 100);
    const std::string s = clip("cli-plan-s40.avi", 20);
    const CliRun r = plan({base, "--splice", s});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string stem = base.substr(0, base.size() - 4);
    EXPECT_EQ(r.out, "Future Content of\n" + stem + ".Assembled.avd\n\n0-40 : " + base +
                         "\n40-60 : " + s + "\n60-100 : " + base + "\n");
    EXPECT_EQ(r.err, "");
}

TEST(PlanCommand, RefusedSplicesAreReportedAndThePlanGoesOn) {
    const std::string base = clip("cli-refuse-base.avi", 100);
    const std::string noDigits = clip("cli-refuse-nodigits.avi", 10);
    const std::string huge = clip("cli-refuse-99999999999.avi", 10);
    const std::string late = clip("cli-refuse-95.avi", 10);
    const std::string fine = clip("cli-refuse-10.avi", 10);
    const CliRun r = plan({base, "--splice-at", "-5", fine, "--splice", noDigits, "--splice", huge,
                           "--splice", late, "--splice", fine, "--json"});
    EXPECT_EQ(r.status, 3);
    const kit::JsonValue json = kit::parseJson(r.out);
    const auto& refused = json["refused"].items;
    ASSERT_EQ(refused.size(), 4u) << r.out;
    EXPECT_EQ(refused[0]["message"].text, kMsgNegativeRef);
    EXPECT_EQ(refused[0]["file"].text, fine);
    EXPECT_NE(refused[1]["message"].text.find("--splice-at"), std::string::npos);
    EXPECT_NE(refused[2]["message"].text.find("99999999999"), std::string::npos);
    EXPECT_EQ(refused[3]["message"].text, kMsgExceedsEnd);
    EXPECT_NE(r.err.find(late + ": " + kMsgExceedsEnd), std::string::npos) << r.err;
    ASSERT_EQ(json["segments"].items.size(), 3u);
    EXPECT_EQ(json["segments"][1]["spliceRef"].integer(), 10);
}

TEST(PlanCommand, IncompatibleAndFarAwaySplicesAreRefusedToo) {
    const std::string base = clip("cli-far-base.avi", 100);
    kit::AviBuilder b;
    b.width = 640;
    b.addFrames(10);
    const std::string wide = kit::writeTemp("cli-far-wide.avi", b.build());
    const CliRun r = plan({base, "--splice-at", "0", wide, "--splice-at", "2147483647", base});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find(wide + ": " + kMsgIncompatible), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(frame size 640x240, first clip 320x240)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(base + ": " + kMsgExceedsEnd), std::string::npos) << r.err;
}

TEST(PlanCommand, SplicesAreJudgedByCodecFamilyWhateverTheSpelling) {
    const std::string base = clip("cli-family-base.avi", 100);
    for (const char* code : {"xvid", "DX50", "FMP4", "H264"}) {
        kit::AviBuilder b;
        b.handler = b.compression = code;
        b.addFrames(10);
        const std::string splice =
            kit::writeTemp(std::string("cli-family-") + code + ".avi", b.build());
        const CliRun r = plan({base, "--splice-at", "10", splice});
        const bool otherFamily = std::string(code) == "H264";
        EXPECT_EQ(r.status, otherFamily ? 3 : 0) << code << "\n" << r.err;
        if (otherFamily) {
            EXPECT_NE(r.err.find("(codec H264, first clip XVID)"), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
    }
}

TEST(PlanCommand, StepsRunInCommandLineOrder) {
    const std::string base = clip("cli-order-base.avi", 100);
    const std::string more = clip("cli-order-more.avi", 100);
    const std::string s = clip("cli-order-s150.avi", 20);
    EXPECT_EQ(plan({base, "--splice", s, "--append", more}).status, 3);
    EXPECT_EQ(plan({base, "--append", more, "--splice", s}).status, 0);
}

TEST(PlanCommand, TheJsonGivesEverySegment) {
    const std::string base = clip("cli-json-base.avi", 100);
    const std::string s = clip("cli-json-s30.avi", 10);
    const CliRun r = plan({"--json", base, "--splice", s});
    ASSERT_EQ(r.status, 0) << r.err;
    const kit::JsonValue json = kit::parseJson(r.out);
    EXPECT_EQ(json["assembledName"].text, base.substr(0, base.size() - 4) + ".Assembled.avd");
    EXPECT_EQ(json["totalLength"].integer(), 100);
    const auto& segs = json["segments"].items;
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[2]["file"].text, base);
    EXPECT_EQ(segs[2]["start"].integer(), 40);
    EXPECT_EQ(segs[2]["length"].integer(), 60);
    EXPECT_EQ(segs[2]["spliceRef"].integer(), 40);
    EXPECT_EQ(segs[2]["position"].integer(), 40);
    EXPECT_TRUE(segs[2]["startsOnKeyFrame"].flag);
    EXPECT_TRUE(json["refused"].items.empty());
}

TEST(PlanCommand, WritesTheScriptToAFileOrToStdout) {
    const std::string base = clip("cli-script-base.avi", 100);
    const std::string s = clip("cli-script-s10.avi", 10);
    const std::string out = kit::tempDir() + "/cli-script.avs";
    const CliRun toFile = plan({base, "--splice", s, "--script", out});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    const std::string script = kit::readAll(out);
    EXPECT_EQ(script, "src = aviSource(\"" + base + "\").trim(0,-10)\r\n" +
                          "src = alignedsplice( src , aviSource(\"" + s + "\").trim(0,-10) )\r\n" +
                          "src = alignedsplice( src , aviSource(\"" + base +
                          "\").trim(20,-80) )\r\nreturn src\r\n");
    EXPECT_NE(toFile.out.find("Future Content of"), std::string::npos);

    const CliRun toStdout = plan({base, "--splice", s, "--script", "-"});
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, script) << "the listing is not printed";
}

TEST(PlanCommand, ScriptsOfRealFilesAssembleThePlan) {
    const std::string base = fixture("keyframes/av_interleaved.avi");
    const std::string splice = fixture("keyframes/gop_mpeg4.avi");
    const std::string out = kit::tempDir() + "/cli-real.avs";
    const CliRun r = plan({base, "--append", splice, "--splice-at", "30", splice, "--splice-at",
                           "100", splice, "--script", out, "--json"});
    ASSERT_EQ(r.status, 3) << r.err; // the second splice runs past the end
    const kit::JsonValue json = kit::parseJson(r.out);
    std::vector<kit::Frame> expected;
    for (const kit::JsonValue& seg : json["segments"].items) {
        for (int64_t f = 0; f < seg["length"].integer(); ++f) {
            expected.emplace_back(seg["file"].text, int32_t(seg["start"].integer() + f));
        }
    }
    const std::map<std::string, int32_t> frames{{base, 52}, {splice, 75}};
    EXPECT_EQ(
        kit::evaluateAvs(kit::readAll(out), [&](const std::string& p) { return frames.at(p); }),
        expected);
    EXPECT_EQ(expected.size(), 127u);
}

TEST(PlanCommand, ExitStatuses) {
    const std::string base = clip("cli-status-base.avi", 10);
    EXPECT_EQ(plan({}).status, 2);
    EXPECT_EQ(plan({base, "--frobnicate"}).status, 2);
    EXPECT_EQ(plan({base, "--append"}).status, 2);
    EXPECT_EQ(plan({base, "--splice-at", "x", base}).status, 2);
    EXPECT_EQ(plan({base, "--splice-at", "5"}).status, 2);
    EXPECT_EQ(plan({base, base}).status, 2);
    EXPECT_EQ(plan({base, "--json", "--script", "-"}).status, 2);
    EXPECT_EQ(plan({"--help"}).status, 0);

    const CliRun missing = plan({base + ".missing"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(base + ".missing"), std::string::npos);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(plan({base, "--append", base + ".gone"}).status, 1);

    const std::string text = kit::writeTemp("cli-status-text.avi", "no video here");
    const std::string out = kit::tempDir() + "/cli-status.avs";
    const CliRun empty = plan({text, "--script", out});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find(text + ": this is not an AVI file"), std::string::npos) << empty.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(PlanCommand, RelativePathsBecomeAbsolute) {
    const std::string base = clip("cli-rel-base.avi", 10);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(kit::tempDir());
    const CliRun r = plan({"cli-rel-base.avi"});
    std::filesystem::current_path(here);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0-10 : " + base + "\n"), std::string::npos) << r.out;
}

TEST(PlanCommand, NothingIsLeftOutOrOverwrittenSilently) {
    const std::string base = clip("cli-quiet-base.avi", 30);
    const std::string other = clip("cli-quiet-other.avi", 10);
    const std::string notes = kit::writeTemp("cli-quiet-notes.avi", "just some notes");
    const std::string out = kit::tempDir() + "/cli-quiet.avs";
    const std::string baseBytes = kit::readAll(base);

    // A script never replaces a video: a file of the plan or any RIFF file.
    for (const std::string& target : {base, other}) {
        const CliRun r = plan({base, "--splice-at", "5", other, "--script", target});
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find(target + ": will not write a script over a video file"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(kit::readAll(base), baseBytes);
    EXPECT_EQ(plan({base, "--script", fixture("xvid_mp3.avi")}).status, 1);

    // A file that is not an AVI file is named, with the reason, and ends
    // with status 1; the rest of the output is still printed.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{base, "--append", notes, "--script", out},
          std::vector<std::string>{base, "--splice-at", "3", notes, "--script", out}}) {
        const CliRun r = plan(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_NE(r.err.find(notes + ": this is not an AVI file"), std::string::npos) << r.err;
        EXPECT_NE(r.out.find(base), std::string::npos) << r.out;
        EXPECT_FALSE(std::filesystem::exists(out)) << "no script without the file";
    }
    const CliRun info = kit::cli("info", {base, notes});
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.err.find(notes + ": this is not an AVI file"), std::string::npos) << info.err;
    EXPECT_NE(info.out.find("Not an avi!"), std::string::npos);
    EXPECT_NE(info.out.find("Frame"), std::string::npos) << "the AVI file's report is printed too";
}

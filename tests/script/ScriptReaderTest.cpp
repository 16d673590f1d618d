// Scripts that are not a plan are refused with the script, the line and what
// was not understood; files a script names that cannot be used are refused
// naming the file; a refusal leaves the open plan as it was.

#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"
#include "script/PathMap.h"
#include "script/ScriptPlan.h"
#include "session/PlanSession.h"

#include <algorithm>
#include <random>

namespace vidloom {
namespace {

std::string refusalOf(const std::string& text) {
    try {
        parseScript(text, "cut.avs");
    } catch (const ScriptError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(ScriptReader, RefusalsNameTheLineAndWhatWasNotUnderstood) {
    const std::string first = "src = aviSource(\"a.avi\")\n";
    const std::string doubling = "src = src ++ src\n";
    // Doubled line after line, src passes the limit on the line that makes it
    // larger, and the reader stops there.
    std::string tooMany = first;
    int doubledPast = 1;
    for (int64_t n = 1; n <= kMaxScriptSegments; n *= 2) {
        tooMany += doubling;
        ++doubledPast;
    }
    const std::pair<std::string, std::string> cases[] = {
        {first + "src = src.Blur(1.0)\nreturn src", "line 2: not understood: \"Blur(1.0)\""},
        {first + "\n# fine\nsrc = src ++ aviSource(\"b.avi\").trim(0,99999999999)\nreturn src",
         "line 4: a number too large for a frame: \"99999999999)\""},
        {first + "src = aviSource(\"b.avi)\nreturn src", "line 2: a string that does not end"},
        {"return src", "line 1: src is used before a line sets it"},
        {first + "\n\n", "line 1: the script ends without returning the plan"},
        {first + "return src\nsrc = src", "line 3: nothing but comments may follow"},
        {first + "src = (src ++ src).trim(1,-2)\nreturn src", "line 2: a trim can cut only one"},
        {first + "src = aviSource(\"b.avi\").trim(9,4)\nreturn src", "line 2: a trim ends before"},
        {first + "src = aviSource(\"b.avi\", audio=false)\nreturn src",
         "line 2: not understood: \"audio=false)\""},
        {first + "src = src ++\nreturn src", "line 2: the line ends too early"},
        {"src = " + std::string(100, '(') + "aviSource(\"a\")" + std::string(100, ')'),
         "line 1: clips nested more than"},
        {tooMany + "return src",
         "line " + std::to_string(doubledPast) + ": the script assembles more than"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(refusalOf(text).rfind("cut.avs: " + expected, 0), 0u)
            << refusalOf(text) << "\nfor:\n"
            << text;
    }
}

// Random scripts that add clips on either side of src (or both, or double
// it) read back as the segments a plain list built line by line holds.
TEST(ScriptReader, ClipsAddedOnEitherSideOfSrcReadBackInOrder) {
    // '<' is a clip that lands before src, '>' one after it.
    const char* const forms[] = {"alignedsplice(src, >)",
                                 "src ++ >",
                                 "alignedsplice(<, src)",
                                 "(<) ++ src",
                                 "alignedsplice(<,src , >)",
                                 "< ++ (src ++ >)",
                                 "src ++ src"};
    std::mt19937 rng(31);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> files;
        std::vector<ScriptSegment> model, before, after;
        int32_t line = 1;
        auto clip = [&](std::vector<ScriptSegment>& into) {
            const std::string name = "f" + std::to_string(rng() % 4) + ".avi";
            const auto known = std::find(files.begin(), files.end(), name);
            const int32_t file = int32_t(known - files.begin());
            if (known == files.end()) {
                files.push_back(name);
            }
            const int32_t start = int32_t(rng() % 100), length = int32_t(1 + rng() % 9);
            const std::string call = "aviSource(\"" + name + "\")";
            if (rng() % 4 == 0) {
                into.push_back({file, 0, kToTheEnd, line});
                return call;
            }
            into.push_back({file, start, length, line});
            return call + ".trim(" + std::to_string(start) + ",-" + std::to_string(length) + ")";
        };
        std::string text = "src = " + clip(model) + "\n";
        for (const int32_t lines = 1 + int32_t(rng() % 60); ++line <= lines;) {
            before.clear();
            after = model.size() < 500 ? model : std::vector<ScriptSegment>{};
            const std::string form = forms[rng() % (std::size(forms) - after.empty())];
            if (form != "src ++ src") {
                after.clear();
            }
            text += "src = ";
            for (const char c : form) {
                text += c == '<' ? clip(before) : c == '>' ? clip(after) : std::string(1, c);
            }
            text += "\n";
            model.insert(model.begin(), before.begin(), before.end());
            model.insert(model.end(), after.begin(), after.end());
        }
        const ScriptDescription read = parseScript(text + "return src\n", "r.avs");
        ASSERT_EQ(read.segments, model) << text;
        ASSERT_EQ(read.files, files);
    }
}

using OpenScript = kit::PlanTest;

TEST_F(OpenScript, FilesThatCannotBeUsedAreRefusedAndThePlanStays) {
    PlanSession session;
    session.addFiles({path("T")});
    const SplicePlan* before = session.plan();
    const std::string b = path("B");
    const std::pair<std::string, std::string> cases[] = {
        {"src = aviSource(\"" + b + "\")\nsrc = src ++ aviSource(\"/no/such.avi\")\nreturn src",
         ": line 2: /no/such.avi: "},
        {"src = aviSource(\"" + b + "\").trim(990,-11)\nreturn src",
         ": line 1: " + b + ": frames 990 to 1000 past the end of the file (1000 frames)"},
        {"\n\nsrc = aviSource(\"" + b + "\").trim(1000,0)\nreturn src",
         ": line 3: " + b + ": frame 1000 past the end"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string avs = kit::writeTemp("bad.avs", text);
        try {
            session.openScript(avs);
            ADD_FAILURE() << "opened " << text;
        } catch (const ScriptError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(avs + expected, 0), 0u) << e.what();
        }
        EXPECT_EQ(session.plan(), before);
        EXPECT_EQ(shape(*session.plan()), "T(0,30,0)");
        EXPECT_FALSE(session.canRedo());
    }
    EXPECT_THROW(session.openScript(kit::tempDir() + "/none.avs"), IoError);
}

TEST_F(OpenScript, OpensAsAddFileDoesAndFindsFilesBesideTheScript) {
    PlanSession session;
    // The clips sit in the test folder, so the bare names are found beside the script.
    const std::string avs = kit::writeTemp(
        "beside.avs", "src = aviSource(\"plan-t.avi\")\r\nsrc = src ++ "
                      "aviSource(\"V:\\plan-s100.avi\").trim(10,-5)\r\nreturn src\r\n");
    const PathMap shares({{"/none/", "X:\\"}, {kit::tempDir(), "V:"}});
    session.openScript(avs, [&](const std::string& n) { return shares.fromScript(n); });
    EXPECT_EQ(shape(*session.plan()), "T(0,30,0) S(10,5,0)");
    EXPECT_EQ(session.plan()->assembledName, assembledNameOf(path("T")));
    EXPECT_EQ(session.current(), session.plan()->segments.at(1).id());
    EXPECT_EQ(session.scriptPath(), avs);
    EXPECT_FALSE(session.isModified());
}

} // namespace
} // namespace vidloom

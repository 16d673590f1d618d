// "Add File" and "Add Splice" as the window runs them for each chosen file:
// references from names or the prompt, the checks before insertSplice with
// their messages, the log's listing block and the layout.

#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"

namespace vidloom {
namespace {

class AddFlow : public kit::PlanTest {
protected:
    void SetUp() override {
        window.log = &log;
        window.messages = &messages;
        window.prompt = &prompt;
        window.panels = &panels;
        addFile(p, path("B"), window, cache);
    }
    kit::RecordingLog log;
    kit::RecordingMessages messages;
    kit::ScriptedPrompt prompt;
    kit::RecordingPanels panels;
    WindowSeams window;
    std::unique_ptr<SplicePlan> p;

    // The one message shown names the file and holds each of the words.
    void expectOneMessage(const std::string& file, std::initializer_list<std::string> words) {
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string& text = messages.shown[0];
        EXPECT_EQ(text.rfind(file + ": ", 0), 0u) << text;
        for (const std::string& word : words) {
            EXPECT_NE(text.find(word), std::string::npos) << word << " in " << text;
        }
    }
};

TEST_F(AddFlow, AddFileMakesThePlanThenAppends) {
    EXPECT_EQ(p->assembledName, path("B").substr(0, path("B").size() - 4) + ".Assembled.avd");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Future Content of", p->assembledName, "",
                                                   "0-1000 : " + path("B")}));
    addFile(p, path("T"), window, cache);
    EXPECT_EQ(log.lines.size(), 5u);
    EXPECT_EQ(log.lines[4], "1000-1030 : " + path("T"));
    EXPECT_EQ(p->listedLength, 1030);
    ASSERT_EQ(panels.layouts.size(), 2u);
    EXPECT_EQ(panels.layouts[1].size(), 2u);

    std::unique_ptr<SplicePlan> none;
    EXPECT_THROW(addFile(none, path("B") + ".missing", window, cache), IoError);
    EXPECT_EQ(none, nullptr);
}

TEST_F(AddFlow, TheReferenceComesFromTheFileName) {
    const SpliceResult r = addSplice(*p, path("S"), std::nullopt, window);
    EXPECT_EQ(r.outcome, SpliceOutcome::Inserted);
    EXPECT_EQ(r.spliceRef, 100);
    EXPECT_EQ(shape(*p), "B(0,100,0) S(0,50,100) B(150,850,150)");
    EXPECT_EQ(log.lines.back(), "150-1000 : " + path("B"));
    EXPECT_TRUE(prompt.captions.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AddFlow, WithoutDigitsTheUserIsAsked) {
    prompt.answer = "200";
    EXPECT_EQ(addSplice(*p, path("T"), std::nullopt, window).spliceRef, 200);
    EXPECT_EQ(prompt.captions, std::vector<std::string>{"SpliceRef of " + path("T")});

    prompt.answer = "abc";
    const SpliceResult typo = addSplice(*p, path("T"), std::nullopt, window);
    EXPECT_EQ(typo.outcome, SpliceOutcome::Inserted);
    EXPECT_EQ(typo.spliceRef, 0);
    EXPECT_EQ(messages.shown, std::vector<std::string>{kMsgNotInteger});

    prompt.answer.reset(); // cancelled: the default 0
    EXPECT_EQ(addSplice(*p, path("T"), std::nullopt, window).spliceRef, 0);
    EXPECT_EQ(messages.shown.size(), 1u);

    WindowSeams headless;
    EXPECT_EQ(addSplice(*p, path("T"), std::nullopt, headless).outcome, SpliceOutcome::NoReference);
}

TEST_F(AddFlow, ANegativeReferenceIsRefused) {
    prompt.answer = "-5";
    const std::string before = shape(*p);
    const SpliceResult r = addSplice(*p, path("T"), std::nullopt, window);
    EXPECT_EQ(r.outcome, SpliceOutcome::NegativeReference);
    expectOneMessage(path("T"), {kMsgNegativeRef, "-5"});
    EXPECT_EQ(shape(*p), before);
    EXPECT_EQ(addSplice(*p, path("S"), -1, window).outcome, SpliceOutcome::NegativeReference)
        << "a given -1 is a reference, not 'no digits'";
}

TEST_F(AddFlow, TheBoundsCheckUsesThePlanAsItIsNow) {
    EXPECT_EQ(addSplice(*p, path("S"), 950, window).outcome, SpliceOutcome::Inserted);
    EXPECT_EQ(addSplice(*p, path("S"), 951, window).outcome, SpliceOutcome::ExceedsEnd);
    // Reference, length, end and the plan's end.
    expectOneMessage(path("S"), {kMsgExceedsEnd, "951", "50", "1001", "1000"});

    // An edit shortens the plan; listedLength still says 1000.
    p->applyEdit(p->segments.at(0).id(), "0", "500", "");
    ASSERT_EQ(p->listedLength, 1000);
    const size_t lines = log.lines.size();
    EXPECT_EQ(addSplice(*p, path("S"), 520, window).outcome, SpliceOutcome::ExceedsEnd);
    EXPECT_EQ(log.lines.size(), lines) << "a refused splice leaves the log alone";
    EXPECT_EQ(addSplice(*p, path("S"), 500, window).outcome, SpliceOutcome::Inserted);
}

TEST_F(AddFlow, AnIncompatibleSpliceIsDroppedWithWhatDiffersButStillLaidOut) {
    log.lines.clear();
    const size_t layouts = panels.layouts.size();
    const SpliceResult r = addSplice(*p, path("W"), 10, window);
    EXPECT_EQ(r.outcome, SpliceOutcome::Incompatible);
    const AviHeader& base = *p->segments.at(0).header;
    const std::string baseSize = std::to_string(base.Width) + "x" + std::to_string(base.Height);
    expectOneMessage(path("W"), {kMsgIncompatible, "frame size 640x", "first clip " + baseSize});
    EXPECT_EQ(r.details.find("codec"), std::string::npos) << r.details;
    EXPECT_EQ(log.lines.size(), 4u);
    EXPECT_EQ(panels.layouts.size(), layouts + 1);
    EXPECT_EQ(shape(*p), "B(0,1000,0)");
}

TEST_F(AddFlow, ATooLargeNumberInTheNameEndsAtThatFile) {
    const std::string huge = kit::makeClip("flow-99999999999.avi", 10);
    EXPECT_THROW(addSplice(*p, huge, std::nullopt, window), ConversionError);
    EXPECT_EQ(shape(*p), "B(0,1000,0)");
}

TEST_F(AddFlow, CommandsWithoutAPlanRefuseWithTheirMessages) {
    EXPECT_EQ(spliceRefusal(nullptr), kMsgNoBaseClip);
    EXPECT_EQ(spliceRefusal(p.get()), "");
    p->remove(p->segments.at(0).id());
    EXPECT_EQ(spliceRefusal(p.get()), kMsgNoBaseClip);
    EXPECT_EQ(scriptRefusal(p.get()), kMsgNoVideo);
    addFile(p, path("T"), window, cache); // appends to the same, empty plan
    EXPECT_EQ(shape(*p), "T(0,30,0)");
    EXPECT_EQ(p->baseList.at(0).fileName(), path("B"));
}

} // namespace
} // namespace vidloom

// What every panel shows, which panel is current, and how the panels' edits,
// deletions and moves change the plan.

#include "present/PanelLayout.h"
#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"

namespace vidloom {
namespace {

using kit::PlanTest;

std::vector<std::string> captions(const std::vector<PanelState>& panels) {
    std::vector<std::string> out;
    for (const PanelState& p : panels) {
        out.push_back(p.caption);
    }
    return out;
}

TEST_F(PlanTest, PanelsShowTheSegmentsRangesAndPlaces) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    const std::vector<PanelState> panels = panelsOf(*p);
    ASSERT_EQ(panels.size(), 3u);
    const PanelState& tail = panels[2];
    EXPECT_EQ(tail.caption, "Clip #2");
    EXPECT_EQ(tail.directory + tail.fileName, path("B"));
    EXPECT_EQ(tail.fileName, "plan-b.avi");
    EXPECT_EQ(tail.directory.back(), '/');
    EXPECT_EQ(std::vector<std::string>({tail.internalStart, tail.internalEnd, tail.internalLength,
                                        tail.clipStart, tail.clipEnd, tail.clipLength}),
              std::vector<std::string>({"150", "1000", "850", "150", "1000", "850"}));
    EXPECT_EQ(panels[1].clipStart, "100");
    EXPECT_EQ(panels[1].clipEnd, "150");
    EXPECT_FALSE(tail.report.empty());
}

TEST_F(PlanTest, TheNewlyAddedSegmentBecomesCurrent) {
    auto p = plan();
    EXPECT_EQ(p->currentSegment, p->segments.at(0).id());
    p->addSegment(segment("T"), 1);
    EXPECT_EQ(p->currentSegment, p->segments.at(1).id());
    // A splice adds two segments: the last one in plan order, the part
    // after the splice, is current.
    p->insertSplice(segment("S", 100));
    EXPECT_EQ(p->currentSegment, p->segments.at(2).id());
    panelsOf(*p);
    EXPECT_EQ(p->currentSegment, p->segments.at(2).id()) << "showing the panels changes nothing";
}

TEST_F(PlanTest, ColoursMarkTheCurrentPanelAndBadCutPoints) {
    kit::ClipOptions options;
    options.frames = 100;
    options.keyEvery = 10;
    const std::string gop = kit::makeClip("layout-gop.avi", options);
    auto p = std::make_unique<SplicePlan>(gop, cache);
    p->insertSplice(std::make_unique<Segment>(gop, cache));
    // Plan: gop(0,0) gop(0,100,0 as splice) gop(100,0): move to a cut inside.
    panelsOf(*p);
    p->applyEdit(p->segments.at(1).id(), "15", "100", "100");
    const std::vector<PanelState> panels = panelsOf(*p);
    const PanelState& cut = panels[1];
    EXPECT_TRUE(cut.isCurrent);
    EXPECT_FALSE(cut.startsOnKeyFrame);
    EXPECT_EQ(cut.groupColor, kNotKeyFrameColor);
    EXPECT_EQ(cut.cellColor, kCurrentPanelColor);
    EXPECT_TRUE(cut.keyFrameError.empty());
    EXPECT_TRUE(panels[0].startsOnKeyFrame);
    EXPECT_EQ(panels[0].groupColor, kPanelColor);
    EXPECT_EQ(panels[0].cellColor, kPanelColor);
}

TEST_F(PlanTest, ABrokenIndexOnlyMarksItsOwnPanel) {
    kit::AviBuilder b;
    b.addFrames(40);
    std::string bytes = b.build();
    const std::string broken = kit::writeTemp("layout-broken.avi", bytes);
    auto p = std::make_unique<SplicePlan>(broken, cache);
    p->addSegment(segment("T"), 1);
    kit::writeTemp("layout-broken.avi", bytes.substr(0, b.offsets().idx1 + 8 + 8));
    const std::vector<PanelState> panels = panelsOf(*p);
    EXPECT_FALSE(panels[0].startsOnKeyFrame);
    EXPECT_EQ(panels[0].groupColor, kNotKeyFrameColor);
    EXPECT_NE(panels[0].keyFrameError.find(broken), std::string::npos) << panels[0].keyFrameError;
    EXPECT_TRUE(panels[1].startsOnKeyFrame);
}

TEST_F(PlanTest, ANonAviSegmentIsNotOnAKeyFrameAndNothingIsRead) {
    auto p = plan();
    const std::string text = kit::writeTemp("layout-text.avi", "plain text");
    ASSERT_FALSE(p->addSegment(std::make_unique<Segment>(text, cache), 1));
    const std::vector<PanelState> panels = panelsOf(*p);
    EXPECT_FALSE(panels[1].startsOnKeyFrame);
    EXPECT_TRUE(panels[1].keyFrameError.empty());
    EXPECT_EQ(panels[1].report, "Not an avi!");
    EXPECT_EQ(panels[1].internalLength, "0");
    EXPECT_EQ(cache.indexReads(), 1) << "only the base clip's index";
}

TEST_F(PlanTest, LayingOutAHundredSegmentsOfOneFileReadsItsIndexOnce) {
    auto p = plan();
    for (int i = 1; i < 100; ++i) {
        p->insertSplice(segment("T", 9 * i));
    }
    ASSERT_GE(p->segments.count(), 100);
    panelsOf(*p);
    const int64_t reads = cache.indexReads();
    EXPECT_EQ(reads, 2); // B and T
    for (int i = 0; i < 5; ++i) {
        panelsOf(*p);
    }
    EXPECT_EQ(cache.indexReads(), reads);
}

TEST_F(PlanTest, EditsAreClampedToTheFile) {
    auto p = plan();
    const SegmentId id = p->segments.at(0).id();
    Segment& s = p->segments.at(0);
    auto state = [&] { return std::to_string(s.start) + "+" + std::to_string(s.length); };
    p->applyEdit(id, "0", "600", "1000");
    EXPECT_EQ(state(), "0+600") << "a new end";
    p->applyEdit(id, "100", "600", "600");
    EXPECT_EQ(state(), "100+500") << "a new start keeps the end";
    p->applyEdit(id, "100", "600", "800");
    EXPECT_EQ(state(), "100+500") << "the length cannot grow past the end";
    p->applyEdit(id, "100", "600", "200");
    EXPECT_EQ(state(), "100+200");
    p->applyEdit(id, "x", "", "?");
    EXPECT_EQ(state(), "100+200") << "texts that are not numbers change nothing";
    p->applyEdit(id, "-5", "5000", "1");
    EXPECT_EQ(state(), "0+300") << "only the start applies; it is clamped to 0";
    p->applyEdit(id, "0", "5000", "1");
    EXPECT_EQ(state(), "0+1000") << "the end is clamped to the file";
    p->applyEdit(id, "5000", "", "");
    EXPECT_EQ(state(), "1000+0");
    p->applyEdit(id, "900", "", "");
    p->applyEdit(id, "900", "950", "");
    EXPECT_EQ(state(), "900+50");
    p->applyEdit(id, "990", "", "");
    EXPECT_EQ(state(), "990+0") << "a start past the end leaves no frames, not fewer";
    EXPECT_EQ(p->currentSegment, id);
}

TEST_F(PlanTest, AfterADeleteThePanelInItsPlaceIsCurrent) {
    auto p = plan();
    p->addSegment(segment("S"), 1);
    p->addSegment(segment("T"), 2);
    p->addSegment(segment("U"), 3);
    panelsOf(*p);
    const SegmentId b = p->segments.at(0).id();
    const SegmentId s = p->segments.at(1).id();
    const SegmentId t = p->segments.at(2).id();
    const SegmentId u = p->segments.at(3).id();

    p->setCurrent(b);
    p->remove(t); // whichever panel was current, the one moving into t's place is now
    EXPECT_EQ(p->currentSegment, u);
    p->setCurrent(s);
    p->remove(s);
    EXPECT_EQ(p->currentSegment, u) << "the one that moved into its place";
    p->remove(u);
    EXPECT_EQ(p->currentSegment, b) << "the new last one";
    panelsOf(*p);
    EXPECT_EQ(captions(panelsOf(*p)), std::vector<std::string>{"Clip #0"});
    p->remove(b);
    EXPECT_EQ(p->currentSegment, kNoSegment);
    EXPECT_TRUE(panelsOf(*p).empty());
    p->remove(b); // a stale id is ignored
}

TEST_F(PlanTest, AnOverwrittenCurrentSegmentPassesCurrentOn) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    p->setCurrent(p->segments.at(2).id()); // B(150,850) is about to be replaced
    p->insertSplice(segment("T", 140));
    const int32_t at = p->segments.indexOf(p->currentSegment);
    ASSERT_GE(at, 0);
    EXPECT_EQ(shape(*p), "B(0,100,0) S(0,40,100) T(0,30,140) B(170,830,170)");
    EXPECT_EQ(at, 3);
}

TEST_F(PlanTest, MovingExchangesNeighboursAndKeepsTheCurrentPanel) {
    auto p = plan();
    p->addSegment(segment("S"), 1);
    p->addSegment(segment("T"), 2);
    panelsOf(*p);
    const SegmentId t = p->segments.at(2).id();
    ASSERT_EQ(p->currentSegment, t);
    p->moveLater(t);
    EXPECT_EQ(shape(*p), "B(0,1000,0) S(0,50,0) T(0,30,0)") << "the last one cannot go later";
    p->moveEarlier(t);
    p->moveEarlier(t);
    EXPECT_EQ(shape(*p), "T(0,30,0) B(0,1000,0) S(0,50,0)");
    p->moveEarlier(t);
    EXPECT_EQ(shape(*p), "T(0,30,0) B(0,1000,0) S(0,50,0)");
    EXPECT_EQ(p->currentSegment, t);
    EXPECT_EQ(panelsOf(*p)[0].clipEnd, "30");
    EXPECT_TRUE(panelsOf(*p)[0].isCurrent);
}

} // namespace
} // namespace vidloom

// The frame arithmetic of the plan: cutting at the reference, overwriting
// the frames after it, and leaving the plan whole when an insertion fails.

#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "present/Listing.h"

namespace vidloom {
namespace {

using kit::PlanTest;

TEST_F(PlanTest, TheWorkedExamplesCutAndOverwrite) {
    auto p = plan();
    ASSERT_TRUE(p->insertSplice(segment("S", 100)));
    EXPECT_EQ(shape(*p), "B(0,100,0) S(0,50,100) B(150,850,150)");
    EXPECT_EQ(
        listingBlockOf(p.get()),
        (std::vector<std::string>{"Future Content of", p->assembledName, "", "0-100 : " + path("B"),
                                  "100-150 : " + path("S"), "150-1000 : " + path("B")}));
    EXPECT_EQ(p->length(), 1000);

    ASSERT_TRUE(p->insertSplice(segment("T", 120)));
    EXPECT_EQ(shape(*p), "B(0,100,0) S(0,20,100) T(0,30,120) S(50,0,150) B(150,850,150)");
    EXPECT_EQ(listingBlockOf(p.get()).at(6), "150-150 : " + path("S"))
        << "the empty segment stays listed";
}

TEST_F(PlanTest, AReferenceOnASegmentEndStopsAtThatSegment) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    // The cut at 100 leaves B an empty tail, which the overwrite removes.
    ASSERT_TRUE(p->insertSplice(segment("T", 100)));
    EXPECT_EQ(shape(*p), "B(0,100,0) T(0,30,100) S(30,20,130) B(150,850,150)");
}

TEST_F(PlanTest, ReferenceZeroLeavesAnEmptyFirstSegment) {
    auto p = plan();
    ASSERT_TRUE(p->insertSplice(segment("S", 0)));
    EXPECT_EQ(shape(*p), "B(0,0,0) S(0,50,0) B(50,950,50)");
}

TEST_F(PlanTest, ASpliceWithoutFramesOverwritesNothing) {
    auto p = plan();
    ASSERT_TRUE(p->insertSplice(segment("Z", 300)));
    EXPECT_EQ(shape(*p), "B(0,300,0) Z(0,0,300) B(300,700,300)");
    ASSERT_TRUE(p->insertSplice(segment("Z", 1000)));
    EXPECT_EQ(p->length(), 1000);
}

TEST_F(PlanTest, TheOverwriteRunsAcrossSeveralSegments) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    p->insertSplice(segment("T", 200));
    ASSERT_EQ(shape(*p), "B(0,100,0) S(0,50,100) B(150,50,150) T(0,30,200) B(230,770,230)");
    // 80 frames from 90: the last 10 of B's first part, S whole, 20 of B(150,50).
    ASSERT_TRUE(p->insertSplice(segment("U", 90)));
    EXPECT_EQ(shape(*p), "B(0,90,0) U(0,80,90) B(170,30,170) T(0,30,200) B(230,770,230)");
    EXPECT_EQ(p->length(), 1000);
}

TEST_F(PlanTest, TheLaterOfTwoSplicesAtOneReferenceComesFirst) {
    {
        auto p = plan();
        p->insertSplice(segment("S", 100));
        p->insertSplice(segment("T", 100)); // shorter: S loses its first 30 frames
        EXPECT_EQ(shape(*p), "B(0,100,0) T(0,30,100) S(30,20,130) B(150,850,150)");
    }
    {
        auto p = plan();
        p->insertSplice(segment("S", 100));
        p->insertSplice(segment("S", 100)); // as long: an empty remainder stays
        EXPECT_EQ(shape(*p), "B(0,100,0) S(0,50,100) S(50,0,150) B(150,850,150)");
    }
    {
        auto p = plan();
        p->insertSplice(segment("S", 100));
        p->insertSplice(segment("U", 100)); // longer: S goes, B loses 30 more
        EXPECT_EQ(shape(*p), "B(0,100,0) U(0,80,100) B(180,820,180)");
    }
}

TEST_F(PlanTest, OnlyFilesLikeTheFirstSegmentCanBeSpliced) {
    auto p = plan();
    EXPECT_FALSE(p->insertSplice(segment("W", 10)));
    const std::string other = kit::writeTemp("plan-h264.avi", [] {
        kit::AviBuilder b;
        b.handler = b.compression = "H264"; // another codec family
        b.addFrames(10);
        return b.build();
    }());
    EXPECT_FALSE(p->insertSplice(std::make_unique<Segment>(other, cache)));
    const std::string text = kit::writeTemp("plan-text.avi", "not a video");
    EXPECT_FALSE(p->insertSplice(std::make_unique<Segment>(text, cache)));
    EXPECT_EQ(shape(*p), "B(0,1000,0)");

    // The test is against whatever segment is first now.
    p->addSegment(segment("W"), 1);
    p->moveLater(p->segments.at(0).id());
    EXPECT_TRUE(p->insertSplice(segment("W", 10)));
    EXPECT_FALSE(p->insertSplice(segment("S", 10)));
}

TEST_F(PlanTest, AFailedInsertionLeavesThePlanAsItWas) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    // Panel edits shorten the plan: the splice is checked against it as it is.
    Segment& tail = p->segments.at(2);
    p->applyEdit(tail.id(), "150", "300", "850");
    const std::string before = shape(*p);
    EXPECT_THROW(p->insertSplice(segment("U", 250)), ListIndexError);
    EXPECT_EQ(shape(*p), before);
    EXPECT_THROW(p->insertSplice(segment("S", -5)), RangeError);
    EXPECT_EQ(shape(*p), before);
    EXPECT_TRUE(p->insertSplice(segment("U", 220))); // ends exactly at the live end
    EXPECT_EQ(p->length(), 300);
}

TEST_F(PlanTest, AppendingTestsTheKeyFrameAndCountsTheLength) {
    auto p = plan("S");
    kit::ClipOptions offKey;
    offKey.frames = 20;
    offKey.keyEvery = 0;
    const std::string noKeys = kit::makeClip("plan-nokeys.avi", offKey);
    EXPECT_TRUE(p->addSegment(segment("T"), 1));
    EXPECT_FALSE(p->addSegment(std::make_unique<Segment>(noKeys, cache), 0));
    EXPECT_EQ(p->length(), 100);
    EXPECT_EQ(p->segments.at(0).fileName(), noKeys);

    // A file whose index cannot be read is refused with the error.
    kit::AviBuilder b;
    b.addFrames(5);
    std::string bytes = b.build();
    const std::string broken = kit::writeTemp("plan-broken.avi", bytes);
    auto seg = std::make_unique<Segment>(broken, cache);
    kit::writeTemp("plan-broken.avi", bytes.substr(0, b.offsets().idx1 + 4));
    EXPECT_THROW(p->addSegment(std::move(seg), 3), IoError);
    EXPECT_EQ(p->segments.count(), 3);
    EXPECT_EQ(p->length(), 100);
}

TEST_F(PlanTest, TheBaseListKeepsTheBaseClipWhateverHappensToTheSegments) {
    auto p = plan();
    p->remove(p->segments.at(0).id());
    EXPECT_EQ(p->segments.count(), 0);
    EXPECT_EQ(listingBlockOf(p.get()).size(), 3u);
    EXPECT_EQ(p->length(), 0);
    EXPECT_EQ(p->baseList.count(), 1);
    EXPECT_EQ(p->baseList.at(0).fileName(), path("B"));
    EXPECT_THROW(p->segments.at(0), ListIndexError);
}

TEST_F(PlanTest, ACutKeepsTheHeadsIdentityAndGivesTheTailsNewOnes) {
    auto p = plan();
    const SegmentId base = p->segments.at(0).id();
    p->insertSplice(segment("S", 100));
    EXPECT_EQ(p->segments.at(0).id(), base);
    EXPECT_NE(p->segments.at(2).id(), base);
    EXPECT_NE(p->segments.at(2).id(), p->segments.at(1).id());
}

} // namespace
} // namespace vidloom

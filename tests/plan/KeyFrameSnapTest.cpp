// The key frames around a frame, the panels' key-frame help, and moving a
// segment's start onto a key frame.

#include "plan/KeyFrameSnap.h"
#include "kit/PlanFixture.h"
#include "present/PanelLayout.h"

#include <gtest/gtest.h>

namespace vidloom {
namespace {

using kit::ClipOptions;
using kit::PlanTest;

TEST(NearKeyFrames, AgreeWithTheListOfKeyFramesAtEveryFrame) {
    AviHeaderCache cache;
    kit::AviBuilder odd; // no key frame at frame 0, irregular gaps after it
    for (const uint32_t flags : {0, 0, 0x10, 0, 0, 0, 0, 0x12, 0x10, 0, 0}) {
        odd.addVideo(flags);
    }
    for (const std::string& file : {std::string(VIDLOOM_FIXTURES) + "/keyframes/av_interleaved.avi",
                                    kit::writeTemp("near-odd.avi", odd.build())}) {
        const auto index = cache.keyFrames(cache.get(file));
        const std::vector<int32_t> keys = index->keyFrameNumbers();
        ASSERT_FALSE(keys.empty());
        for (int32_t n = -2; n <= index->videoFrames() + 2; ++n) {
            std::optional<int32_t> previous, next;
            for (const int32_t k : keys) {
                if (k <= n) {
                    previous = k;
                } else if (!next) {
                    next = k;
                }
            }
            const NearKeyFrames near = nearKeyFrames(*index, n);
            EXPECT_EQ(near.previous, previous) << file << " frame " << n;
            EXPECT_EQ(near.next, next) << file << " frame " << n;
        }
    }
}

class SnapTest : public PlanTest {
protected:
    // K: 100 frames, a key frame every 10.
    std::unique_ptr<SplicePlan> sparsePlan() {
        ClipOptions sparse;
        sparse.keyEvery = 10;
        return std::make_unique<SplicePlan>(kit::makeClip("snap-k.avi", sparse), cache);
    }
};

TEST_F(SnapTest, MovesTheStartKeepsTheEndAndShiftsTheSegmentsAfter) {
    auto p = sparsePlan();
    p->insertSplice(segment("S", 25)); // K(0,25) S(0,50) K(75,25)
    const SegmentId tail = p->segments.at(2).id();

    auto panels = panelsOf(*p);
    EXPECT_FALSE(panels[2].startsOnKeyFrame);
    EXPECT_EQ(panels[2].keyFrameHint, "key frames: 70 (-5), 80 (+5)");
    EXPECT_TRUE(panels[0].keyFrameHint.empty()) << "a panel on a key frame needs no help";

    // Backwards across the join: frames 70..74 of K come back, the end stays.
    EXPECT_EQ(snapStart(*p, tail, SnapDirection::Previous), 75);
    EXPECT_EQ(p->segments.at(2).start, 70);
    EXPECT_EQ(p->segments.at(2).length, 30);
    EXPECT_EQ(p->length(), 105);

    // From a key frame, a snap steps to the next one; forwards the segment shrinks.
    EXPECT_EQ(snapStart(*p, tail, SnapDirection::Next), 70);
    EXPECT_EQ(p->segments.at(2).start, 80);
    EXPECT_EQ(p->segments.at(2).length, 20);
    EXPECT_EQ(p->segments.at(0).length, 25) << "the segments before stay as they were";
}

TEST_F(SnapTest, AtTheEndsOfAFileOnlyTheOtherWayIsOffered) {
    auto p = sparsePlan();
    const SegmentId id = p->segments.at(0).id();
    p->applyEdit(id, "95", "", "");
    auto panels = panelsOf(*p);
    EXPECT_EQ(panels[0].keyFrameHint, "key frames: 90 (-5), none after");
    EXPECT_FALSE(panels[0].canSnapNext);
    EXPECT_EQ(snapStart(*p, id, SnapDirection::Next), std::nullopt);
    EXPECT_EQ(p->segments.at(0).start, 95) << "nothing changes";

    p->applyEdit(id, "0", "", "");
    EXPECT_FALSE(panelsOf(*p)[0].canSnapPrevious);
    EXPECT_EQ(snapStart(*p, id, SnapDirection::Previous), std::nullopt);
}

} // namespace
} // namespace vidloom

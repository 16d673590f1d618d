// The key frames around a frame, the panels' key-frame help, and moving a
// segment's start onto a key frame.

#include "plan/KeyFrameSnap.h"
#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "present/PanelLayout.h"

#include <array>
#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace vidloom {
namespace {

using kit::ClipOptions;
using kit::PlanTest;

// The walk outwards from the frame, bit by bit: slow, plainly right.
NearKeyFrames walkedNear(const KeyFrameIndex& index, int32_t frame) {
    NearKeyFrames near;
    const int64_t frames = index.videoFrames();
    for (int64_t n = std::min<int64_t>(frame, frames - 1); n >= 0 && !near.previous; --n) {
        if (index.bit(int32_t(n))) {
            near.previous = int32_t(n);
        }
    }
    for (int64_t n = std::max<int64_t>(int64_t(frame) + 1, 0); n < frames && !near.next; ++n) {
        if (index.bit(int32_t(n))) {
            near.next = int32_t(n);
        }
    }
    return near;
}

TEST(NearKeyFrames, AgreeWithTheWalkOverTheBitsAtEveryFrame) {
    AviHeaderCache cache;
    kit::AviBuilder odd; // no key frame at frame 0, irregular gaps after it
    for (const uint32_t flags : {0, 0, 0x10, 0, 0, 0, 0, 0x12, 0x10, 0, 0}) {
        odd.addVideo(flags);
    }
    std::vector<std::string> files{std::string(VIDLOOM_FIXTURES) + "/keyframes/av_interleaved.avi",
                                   kit::writeTemp("near-odd.avi", odd.build())};
    // Random key frames from none to all, dense and far apart (gaps of
    // several 64-frame words), with and without a key frame at frame 0.
    std::mt19937 rng(4242);
    for (int round = 0; round < 40; ++round) {
        kit::AviBuilder b;
        b.audio = false;
        const int frames = int(rng() % (round % 2 ? 700 : 5000));
        const uint32_t oneIn = std::array<uint32_t, 6>{1, 2, 7, 70, 300, 100000}[round % 6];
        for (int i = 0; i < frames; ++i) {
            b.addVideo(rng() % oneIn == 0 ? 0x10 : 0);
        }
        files.push_back(kit::writeTemp("near-" + std::to_string(round) + ".avi", b.build()));
    }
    for (const std::string& file : files) {
        const auto index = cache.keyFrames(cache.get(file));
        const int32_t frames = index->videoFrames();
        // Every frame of a short file; of a long one, the ends and a sample.
        std::vector<int32_t> asked;
        for (int32_t n = -2; n <= frames + 2; ++n) {
            if (frames < 700 || n < 2 || n > frames - 2 || rng() % 10 == 0) {
                asked.push_back(n);
            }
        }
        for (const int32_t n : asked) {
            const NearKeyFrames near = nearKeyFrames(*index, n);
            const NearKeyFrames walked = walkedNear(*index, n);
            ASSERT_EQ(near.previous, walked.previous) << file << " frame " << n;
            ASSERT_EQ(near.next, walked.next) << file << " frame " << n;
        }
        for (const int32_t n : {INT32_MIN, INT32_MAX}) {
            EXPECT_EQ(nearKeyFrames(*index, n).previous, walkedNear(*index, n).previous);
            EXPECT_EQ(nearKeyFrames(*index, n).next, walkedNear(*index, n).next);
        }
    }
    // An index that cannot be read raises its error, as the walk's caller did.
    const std::string gone = kit::writeTemp("near-gone.avi", kit::AviBuilder().build());
    const AviHeader& info = cache.get(gone);
    std::filesystem::resize_file(gone, info.IndexPos + 2);
    const auto cut = KeyFrameIndex::read(info);
    ASSERT_FALSE(cut->fileError().empty());
    EXPECT_THROW(nearKeyFrames(*cut, 0), VidloomError);
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

// The preview strip's frames follow the current segment: the frames on both
// sides of its joins, neighbours without frames left out as the script
// leaves them out, and the key frames around a start that is not one.

#include "present/JoinFrames.h"
#include "kit/PlanFixture.h"
#include "present/PanelLayout.h"

using namespace vidloom;
using namespace vidloom::kit;

namespace {

class JoinFramesTest : public PlanTest {};

JoinFrame at(const std::string& file, int32_t frame) {
    return JoinFrame{file, frame,
                     file.substr(file.rfind('/') + 1) + ", frame " + std::to_string(frame)};
}

JoinFrame none(const std::string& why) {
    return JoinFrame{{}, -1, why};
}

} // namespace

TEST_F(JoinFramesTest, TheJoinsOfTheCurrentSegment) {
    ClipOptions options;
    options.frames = 200;
    options.keyEvery = 10;
    const std::string k = makeClip("join-k.avi", options);
    SplicePlan p(k, cache);
    p.insertSplice(segment("S", 105)); // K(0,105) S(0,50) K(155,45)
    panelsOf(p);
    const SegmentId head = p.segments.at(0).id();
    const SegmentId splice = p.segments.at(1).id();
    const SegmentId tail = p.segments.at(2).id();
    const std::string s = path("S");

    // The tail, laid out last, is current; frame 155 is no key frame.
    ASSERT_EQ(p.currentSegment, tail);
    JoinFrames strip = joinFramesOf(&p);
    EXPECT_EQ(strip.segment, tail);
    ASSERT_EQ(strip.pairs.size(), 3u);
    EXPECT_EQ(strip.pairs[0], (JoinPair{"Join before", at(s, 49), at(k, 155)}));
    EXPECT_EQ(strip.pairs[1], (JoinPair{"Join after", at(k, 199), none("end of the plan")}));
    EXPECT_EQ(strip.pairs[2], (JoinPair{"Key frames around frame 155", at(k, 150), at(k, 160)}));

    p.setCurrent(splice);
    strip = joinFramesOf(&p);
    ASSERT_EQ(strip.pairs.size(), 2u); // S starts on a key frame
    EXPECT_EQ(strip.pairs[0], (JoinPair{"Join before", at(k, 104), at(s, 0)}));
    EXPECT_EQ(strip.pairs[1], (JoinPair{"Join after", at(s, 49), at(k, 155)}));

    // An emptied splice drops out of the joins of its neighbours.
    p.applyEdit(splice, "0", "0", "0");
    p.setCurrent(head);
    strip = joinFramesOf(&p);
    EXPECT_EQ(strip.pairs[0], (JoinPair{"Join before", none("start of the plan"), at(k, 0)}));
    EXPECT_EQ(strip.pairs[1], (JoinPair{"Join after", at(k, 104), at(k, 155)}));
    p.setCurrent(splice);
    EXPECT_EQ(joinFramesOf(&p).pairs[1], (JoinPair{"Join after", none("no frames"), at(k, 155)}));

    p.setCurrent(kNoSegment);
    EXPECT_EQ(joinFramesOf(&p), JoinFrames{});
    EXPECT_EQ(joinFramesOf(nullptr), JoinFrames{});
}

// Frame P of the plan, against a plain walk over the plan's segments: random
// plans made by splices, edits (empty segments among them), removals and
// moves, every position of each.

#include "present/PlanPositions.h"
#include "kit/PlanFixture.h"
#include "present/FileFrames.h"
#include "present/ViewerModel.h"

#include <random>

using namespace vidloom;
using namespace vidloom::kit;

namespace {

class PlanPositionsTest : public PlanTest {};

struct Walked {
    int32_t index = -1;
    int32_t frame = -1;
};

// The plain walk: the segments in order, each giving its frames in turn.
std::vector<Walked> walk(const SplicePlan& p) {
    std::vector<Walked> frames;
    for (int32_t i = 0; i < p.segments.count(); ++i) {
        const Segment& s = p.segments.at(i);
        for (int32_t k = 0; k < s.length; ++k) {
            frames.push_back({i, s.start + k});
        }
    }
    return frames;
}

void randomChange(SplicePlan& p, std::mt19937& rng, const std::vector<std::string>& files,
                  AviHeaderCache& cache) {
    const auto pick = [&rng](int32_t n) { return int32_t(rng() % uint32_t(n)); };
    const int32_t n = p.segments.count();
    switch (pick(5)) {
    case 0:
    case 1: {
        auto splice = std::make_unique<Segment>(files[size_t(pick(int32_t(files.size())))], cache);
        const int32_t room = p.length() - splice->length;
        if (room >= 0) {
            splice->spliceRef = pick(room + 1);
            p.insertSplice(std::move(splice));
        }
        break;
    }
    case 2: { // an edit, sometimes to nothing
        Segment& s = p.segments.at(pick(n));
        const int32_t frames = s.header->TotalFrames;
        if (frames == 0) {
            break;
        }
        s.start = pick(frames);
        s.length = pick(4) == 0 ? 0 : pick(frames - s.start + 1);
        break;
    }
    case 3:
        if (n > 1) {
            p.remove(p.segments.at(pick(n)).id());
        }
        break;
    default:
        if (n > 1) {
            p.moveLater(p.segments.at(pick(n - 1)).id());
        }
    }
}

} // namespace

TEST_F(PlanPositionsTest, EveryFrameOfRandomPlansAsTheWalkGivesIt) {
    ClipOptions gop;
    gop.frames = 120;
    gop.keyEvery = 12;
    const std::vector<std::string> files{path("S"), path("T"), path("U"), path("Z"),
                                         makeClip("positions-gop.avi", gop)};
    std::mt19937 rng(20);
    for (int round = 0; round < 40; ++round) {
        auto p = plan();
        for (int step = 0; step < 1 + round % 12; ++step) {
            randomChange(*p, rng, files, cache);
        }
        const PlanPositions positions = PlanPositions::of(p->segments);
        const std::vector<Walked> walked = walk(*p);
        ASSERT_EQ(positions.total(), int32_t(walked.size())) << shape(*p);
        EXPECT_FALSE(positions.at(-1));
        EXPECT_FALSE(positions.at(positions.total()));
        std::vector<int32_t> joins;
        for (int32_t at = 0; at < positions.total(); ++at) {
            const std::optional<PlanFrame> f = positions.at(at);
            ASSERT_TRUE(f);
            const Walked& w = walked[size_t(at)];
            const Segment& s = p->segments.at(w.index);
            ASSERT_EQ(std::pair(f->segmentIndex, f->frame), std::pair(w.index, w.frame))
                << "P " << at << " of " << shape(*p);
            EXPECT_EQ(f->segment, s.id());
            EXPECT_EQ(f->fileName(), s.fileName());
            // Back from the file's frame to the same position.
            EXPECT_EQ(positions.follow(s.id(), s.header, f->frame), at);
            if (at > 0 && walked[size_t(at - 1)].index != w.index) {
                joins.push_back(at);
            }
            if (f->position == f->segmentFirst) {
                EXPECT_EQ(FileFrames::read(*s.header, cache)->isKeyFrame(f->frame),
                          s.startsOnKeyFrame());
            }
        }
        EXPECT_EQ(positions.joins(), joins) << shape(*p);
    }
}

TEST_F(PlanPositionsTest, AFrameFollowsItsFileWhenItsSegmentGoes) {
    auto p = plan();
    p->insertSplice(segment("S", 100)); // B(0,100) S(0,50) B(150,850)
    const PlanPositions before = PlanPositions::of(p->segments);
    const Segment& tail = p->segments.at(2);
    const AviHeader* b = tail.header;
    EXPECT_EQ(before.follow(tail.id(), b, 500), 500);
    // Frame 120 of B is overwritten by the splice: no segment shows it.
    EXPECT_FALSE(before.follow(tail.id(), b, 120));
    // The head's frame 40 is shown by the head even when asked of the tail.
    EXPECT_EQ(before.follow(tail.id(), b, 40), 40);
    p->remove(p->segments.at(1).id()); // B(0,100) B(150,850)
    const PlanPositions after = PlanPositions::of(p->segments);
    EXPECT_EQ(after.follow(tail.id(), b, 500), 450);
    EXPECT_EQ(after.joins(), std::vector<int32_t>{100});
}

// The timeline marks what the preflight and the key-frame test say, at the
// positions the mapping gives.
TEST_F(PlanPositionsTest, TimelineMarksJoinsAndStarts) {
    auto p = plan();
    p->addSegment(segment("W"), 1); // another frame size: AviSynth refuses the join
    p->addSegment(segment("T"), 2);
    ClipOptions gop;
    gop.frames = 50;
    gop.keyEvery = 10;
    auto g = std::make_unique<Segment>(makeClip("timeline-gop.avi", gop), cache);
    g->start = 5;
    g->length = 20;
    p->addSegment(std::move(g), 3);
    const PlanPositions positions = PlanPositions::of(p->segments);
    const Timeline t = timelineOf(p->segments, positions);
    ASSERT_EQ(t.bands.size(), 4u);
    EXPECT_EQ(t.bands[1].first, 1000);
    EXPECT_EQ(t.bands[3].fileIndex, 3);
    EXPECT_FALSE(t.bands[3].startsOnKeyFrame);
    EXPECT_TRUE(t.bands[2].startsOnKeyFrame);
    ASSERT_EQ(t.joins.size(), 3u);
    EXPECT_EQ(t.joins[0].position, 1000);
    EXPECT_EQ(t.joins[0].mark, JoinMark::Refused);
    EXPECT_NE(t.joins[0].problem.find("frame size"), std::string::npos);
    // The ticks of the segment under frame 1135: key frames 10 and 20 of its file.
    const auto frames = FileFrames::read(*p->segments.at(3).header, cache);
    EXPECT_EQ(keyFrameTicks(*positions.at(1135), *frames), (std::vector<int32_t>{1135, 1145}));
    EXPECT_EQ(frameTime(90061, 25, 1), "01:00:02.440");
    EXPECT_EQ(frameTime(1, 30000, 1001), "00:00:00.033");
}

// Over many random plans (appends, splices, edits, deletions, moves), the
// frames that AviSynth assembles from the written script are exactly the
// frames of the plan's segments, in order.

#include "PlanFixture.h"
#include "kit/AvsEval.h"
#include "splice/PlanActions.h"

#include <random>

namespace vidloom {
namespace {

class ScriptProperty : public kit::PlanTest {};

TEST_F(ScriptProperty, TheScriptAssemblesThePlan) {
    std::mt19937 rng(777);
    std::vector<std::string> clips;
    std::map<std::string, int32_t> frames;
    for (int i = 0; i < 5; ++i) {
        const int32_t n = int32_t(3 + rng() % 40);
        clips.push_back(kit::makeClip("prop-" + std::to_string(i) + ".avi", n));
        frames[clips.back()] = n;
    }
    auto pick = [&](int32_t n) { return n <= 0 ? 0 : int32_t(rng() % uint32_t(n)); };
    int written = 0;
    for (int round = 0; round < 300; ++round) {
        SplicePlan p(clips[rng() % clips.size()], nullptr, nullptr, cache);
        const int ops = 1 + int(rng() % 14);
        for (int op = 0; op < ops; ++op) {
            const int32_t count = p.segments.count();
            const SegmentId someone = count ? p.segments.at(pick(count)).id() : kNoSegment;
            switch (rng() % 6) {
            case 0:
                p.addSegment(std::make_unique<Segment>(clips[rng() % clips.size()], cache),
                             pick(count + 1));
                break;
            case 1:
            case 2: {
                if (count == 0) {
                    break;
                }
                auto splice = std::make_unique<Segment>(clips[rng() % clips.size()], cache);
                const int32_t room = p.liveLength() - splice->length;
                if (room < 0) {
                    break;
                }
                splice->spliceRef = pick(room + 1);
                p.insertSplice(std::move(splice));
                break;
            }
            case 3: {
                auto text = [&] {
                    const int kind = int(rng() % 4);
                    return kind == 0 ? std::string("?") : std::to_string(pick(50) - 5);
                };
                p.applyEdit(someone, text(), text(), text());
                break;
            }
            case 4:
                if (rng() % 3 == 0) {
                    p.remove(someone);
                }
                break;
            default:
                rng() % 2 ? p.moveEarlier(someone) : p.moveLater(someone);
                break;
            }
        }

        std::vector<kit::Frame> expected;
        for (int32_t i = 0; i < p.segments.count(); ++i) {
            const Segment& s = p.segments.at(i);
            ASSERT_GE(s.length, 0);
            for (int32_t f = s.start; f < s.start + s.length; ++f) {
                expected.emplace_back(s.fileName(), f);
            }
        }
        if (expected.empty()) {
            EXPECT_EQ(scriptRefusal(&p), kMsgNoVideo);
            continue;
        }
        ASSERT_EQ(scriptRefusal(&p), "");
        const std::string script = p.buildScript() + "\r\n";
        std::vector<kit::Frame> assembled;
        try {
            assembled =
                kit::evaluateAvs(script, [&](const std::string& f) { return frames.at(f); });
        } catch (const std::exception& e) {
            FAIL() << "round " << round << ": " << e.what() << "\n" << script;
        }
        ASSERT_EQ(assembled, expected) << "round " << round << "\n" << script;
        ++written;
    }
    EXPECT_GT(written, 200);
}

} // namespace
} // namespace vidloom

// Undo and redo over the plan's operations: random actions taken back one by
// one give every earlier plan again (segment ids and current segment
// included) and redo every later one, "modified" following the point where
// the script was written; refused actions leave no step.

#include "plan/PlanHistory.h"
#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"

#include <optional>
#include <random>

namespace vidloom {
namespace {

class PlanHistoryTest : public kit::PlanTest {
protected:
    PlanHistoryTest() {
        window.log = &log;
        window.panels = &panels;
        history->attachWindow(window);
    }
    void addFiles(const std::vector<std::string>& labels) {
        history->record([&] {
            for (const std::string& label : labels) {
                addFile(plan, path(label), window, cache);
            }
        });
    }
    SpliceOutcome addSplice(const std::string& label, int32_t ref) {
        SpliceOutcome outcome{};
        history->record(
            [&] { outcome = vidloom::addSplice(*plan, path(label), ref, window).outcome; });
        return outcome;
    }
    SegmentId idAt(int32_t i) const { return plan->segments.at(i).id(); }
    // The plan with its ids, current segment and base clip, as one text.
    std::string seen() const {
        std::string text = plan ? shape(*plan) + " | " + plan->baseList.at(0).fileName() +
                                      " | current " + std::to_string(plan->currentSegment)
                                : "none";
        for (int32_t i = 0; plan && i < plan->segments.count(); ++i) {
            text += " " + std::to_string(idAt(i));
        }
        return text;
    }

    kit::RecordingLog log;
    kit::RecordingPanels panels;
    WindowSeams window;
    std::unique_ptr<SplicePlan> plan;
    std::optional<PlanHistory> history{std::in_place, plan, window};
};

TEST_F(PlanHistoryTest, UndoAllGivesEveryEarlierPlanAndRedoEveryLaterOne) {
    std::mt19937 rng(4242);
    const std::vector<std::string> labels{"S", "T", "U", "W", "Z"};
    auto pick = [&](int32_t n) { return n <= 0 ? 0 : int32_t(rng() % uint32_t(n)); };
    for (int round = 0; round < 20; ++round) {
        plan.reset();
        history.emplace(plan, window);
        std::vector<std::string> states{seen()};
        addFiles({"B"});
        states.push_back(seen());
        const size_t saveAfter = 1 + rng() % 25; // the step after which a script is written
        size_t saved = 0;                        // the state written, 0 for none
        for (int op = 0; op < 30; ++op) {
            const size_t steps = history->undoCount();
            const int32_t count = plan->segments.count();
            const SegmentId someone = count ? idAt(pick(count)) : kNoSegment;
            const std::string start = std::to_string(pick(120));
            switch (count ? rng() % 6 : 0) { // no splice without a base clip
            case 0:
                addFiles({labels[rng() % 5], labels[rng() % 5]});
                break;
            case 1:
                addSplice(labels[rng() % 5], pick(plan->liveLength() + 10));
                break;
            case 2:
                history->record([&] { plan->applyEdit(someone, start, "?", "?"); });
                break;
            case 3:
                history->record([&] { plan->remove(someone); });
                break;
            default:
                history->record(
                    [&] { rng() % 2 ? plan->moveEarlier(someone) : plan->moveLater(someone); });
            }
            // A selection without a step still moves the current segment.
            states.resize(history->undoCount() > steps ? states.size() + 1 : states.size());
            states.back() = seen();
            if (states.size() - 1 == saveAfter && history->undoCount() > steps) {
                history->markSaved("/v/plan.avs");
                saved = saveAfter;
            }
        }
        ASSERT_EQ(history->undoCount(), states.size() - 1);
        for (size_t i = states.size() - 1; i-- > 0;) {
            ASSERT_TRUE(history->undo());
            ASSERT_EQ(seen(), states[i]) << "round " << round << " undo to " << i;
            ASSERT_EQ(history->isModified(), i != saved);
        }
        EXPECT_TRUE(log.lines.empty()); // no plan, no listing
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history->redo());
            ASSERT_EQ(seen(), states[i]) << "round " << round << " redo to " << i;
            // The log holds the listing block of the plan put back (then the
            // warnings of its joins).
            const std::vector<std::string> block = plan->listingBlock();
            ASSERT_GE(log.lines.size(), block.size());
            ASSERT_EQ(std::vector<std::string>(log.lines.begin(), log.lines.begin() + block.size()),
                      block);
            ASSERT_EQ(history->isModified(), i != saved);
        }
        EXPECT_FALSE(history->redo());
        // A new step after an undo drops the steps to redo.
        history->undo();
        addFiles({"T"});
        EXPECT_FALSE(history->canRedo());
        EXPECT_TRUE(history->isModified());
    }
}

TEST_F(PlanHistoryTest, RefusedActionsLeaveNoStepAndTheOldestStepsGoPastTheCap) {
    const std::string missing = kit::tempDir() + "/no-such.avi";
    addFiles({"B"});
    EXPECT_EQ(addSplice("S", 990), SpliceOutcome::ExceedsEnd);
    EXPECT_EQ(addSplice("S", -1), SpliceOutcome::NegativeReference);
    EXPECT_EQ(addSplice("W", 10), SpliceOutcome::Incompatible);
    EXPECT_THROW(history->record([&] { addFile(plan, missing, window, cache); }), VidloomError);
    history->record([&] { plan->moveEarlier(idAt(0)); });
    EXPECT_EQ(history->undoCount(), 1u);
    // What got in before a file failed is one step.
    EXPECT_THROW(history->record([&] {
        addFile(plan, path("S"), window, cache);
        addFile(plan, missing, window, cache);
    }),
                 VidloomError);
    EXPECT_EQ(history->undoCount(), 2u);

    PlanHistory small(plan, window, 3);
    for (const char* label : {"T", "U", "Z", "T"}) {
        small.record([&] { addFile(plan, path(label), window, cache); });
    }
    while (small.undo()) {
    }
    EXPECT_EQ(shape(*plan), "B(0,1000,0) S(0,50,0) T(0,30,0)");
}

} // namespace
} // namespace vidloom

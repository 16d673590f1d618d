// Undo and redo over the plan's operations: random actions taken back one by
// one give every earlier plan again and redo gives every later one; refused
// actions leave no step; the oldest steps go past the cap; "modified" follows
// the saved point through undo and redo.

#include "splice/PlanHistory.h"
#include "PlanFixture.h"
#include "avi/Errors.h"
#include "splice/PlanActions.h"

#include <random>

namespace vidloom {
namespace {

class PlanHistoryTest : public kit::PlanTest {
protected:
    PlanHistoryTest() {
        window.log = &log;
        window.panels = &panels;
        history.attachWindow(window);
    }

    void addFiles(const std::vector<std::string>& labels) {
        history.record([&] {
            for (const std::string& label : labels) {
                addFile(plan, path(label), window, cache);
            }
        });
    }
    SpliceOutcome addSplice(const std::string& label, int32_t ref) {
        SpliceOutcome outcome{};
        history.record(
            [&] { outcome = vidloom::addSplice(*plan, path(label), ref, window).outcome; });
        return outcome;
    }
    SegmentId idAt(int32_t i) const { return plan->segments.at(i).id(); }

    // The plan and the current segment, as one comparable text.
    std::string seen() const {
        if (!plan) {
            return "none";
        }
        std::string ids;
        for (int32_t i = 0; i < plan->segments.count(); ++i) {
            ids += " " + std::to_string(idAt(i));
        }
        return shape(*plan) + " |" + ids + " | current " + std::to_string(plan->currentSegment) +
               " | base " + plan->baseList.at(0).fileName() + " " + plan->assembledName;
    }

    kit::RecordingLog log;
    kit::RecordingPanels panels;
    WindowSeams window;
    std::unique_ptr<SplicePlan> plan;
    PlanHistory history{plan, window};
};

TEST_F(PlanHistoryTest, UndoAllGivesEveryEarlierPlanAndRedoEveryLaterOne) {
    std::mt19937 rng(4242);
    const std::vector<std::string> labels{"S", "T", "U", "W", "Z"};
    auto pick = [&](int32_t n) { return n <= 0 ? 0 : int32_t(rng() % uint32_t(n)); };
    for (int round = 0; round < 20; ++round) {
        plan.reset();
        history.clear();
        std::vector<std::string> states{seen()};
        addFiles({"B"});
        states.push_back(seen());
        for (int op = 0; op < 30; ++op) {
            const size_t steps = history.undoCount();
            const int32_t count = plan->segments.count();
            const SegmentId someone = count ? idAt(pick(count)) : kNoSegment;
            switch (rng() % 6) {
            case 0:
                addFiles({labels[rng() % 5], labels[rng() % 5]});
                break;
            case 1:
                addSplice(labels[rng() % 5], pick(plan->liveLength() + 10));
                break;
            case 2: {
                const std::string t = std::to_string(pick(120));
                history.record([&] { plan->applyEdit(someone, t, "?", "?"); });
                break;
            }
            case 3:
                history.record([&] { plan->remove(someone); });
                break;
            default:
                history.record(
                    [&] { rng() % 2 ? plan->moveEarlier(someone) : plan->moveLater(someone); });
            }
            if (history.undoCount() > steps) {
                states.push_back(seen());
            } else {
                // No step: the plan is as the last step left it, though a
                // selection may have moved the current segment.
                const std::string now = seen();
                ASSERT_EQ(now.substr(0, now.find(" | current")),
                          states.back().substr(0, states.back().find(" | current")));
                states.back() = now;
            }
        }
        ASSERT_EQ(history.undoCount(), states.size() - 1);
        for (size_t i = states.size() - 1; i-- > 0;) {
            ASSERT_TRUE(history.undo());
            ASSERT_EQ(seen(), states[i]) << "round " << round << " undo to " << i;
        }
        EXPECT_FALSE(history.undo());
        EXPECT_TRUE(log.lines.empty()); // no plan, no listing
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.redo());
            ASSERT_EQ(seen(), states[i]) << "round " << round << " redo to " << i;
            // The log holds the listing block of the plan put back.
            ASSERT_EQ(log.lines, plan->listingBlock());
        }
        EXPECT_FALSE(history.redo());
    }
}

TEST_F(PlanHistoryTest, RefusedActionsLeaveNoStep) {
    addFiles({"B"});
    ASSERT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(addSplice("S", 990), SpliceOutcome::ExceedsEnd);
    EXPECT_EQ(addSplice("S", -1), SpliceOutcome::NegativeReference);
    EXPECT_EQ(addSplice("W", 10), SpliceOutcome::Incompatible);
    EXPECT_THROW(
        history.record([&] { addFile(plan, kit::tempDir() + "/no-such.avi", window, cache); }),
        VidloomError);
    history.record([&] { plan->moveEarlier(idAt(0)); });
    history.record([&] { plan->applyEdit(idAt(0), "0", "1000", "1000"); }); // selects only
    EXPECT_EQ(history.undoCount(), 1u);
    EXPECT_FALSE(history.canRedo());

    // Part of a selection that got in before a file failed is one step.
    EXPECT_THROW(history.record([&] {
        addFile(plan, path("S"), window, cache);
        addFile(plan, kit::tempDir() + "/no-such.avi", window, cache);
    }),
                 VidloomError);
    EXPECT_EQ(history.undoCount(), 2u);
    EXPECT_EQ(shape(*plan), "B(0,1000,0) S(0,50,0)");
    history.undo();
    EXPECT_EQ(shape(*plan), "B(0,1000,0)");
}

TEST_F(PlanHistoryTest, KeepsAtMostItsCapOfSteps) {
    PlanHistory small(plan, window, 3);
    small.record([&] { addFile(plan, path("B"), window, cache); });
    for (const char* label : {"S", "T", "U", "Z"}) {
        small.record([&] { addFile(plan, path(label), window, cache); });
    }
    EXPECT_EQ(small.undoCount(), 3u);
    while (small.undo()) {
    }
    EXPECT_EQ(shape(*plan), "B(0,1000,0) S(0,50,0)");
    EXPECT_EQ(small.redoCount(), 3u);
}

TEST_F(PlanHistoryTest, ModifiedFollowsTheSavedPointAndPanelsKeepTheirIds) {
    EXPECT_FALSE(history.isModified());
    addFiles({"B", "U"});
    EXPECT_TRUE(history.isModified());
    history.markSaved("/v/plan.avs");
    EXPECT_FALSE(history.isModified());
    EXPECT_EQ(history.scriptPath(), "/v/plan.avs");

    addSplice("T", 100);
    EXPECT_TRUE(history.isModified());
    const SegmentId spliced = idAt(1);
    history.record([&] { plan->setCurrent(spliced); }); // selecting is no step
    history.record([&] { plan->remove(spliced); });
    EXPECT_EQ(history.undoCount(), 3u);
    history.undo();
    EXPECT_EQ(panels.layouts.back()[1].id, spliced); // the same panel comes back
    EXPECT_EQ(plan->currentSegment, spliced);
    history.undo();
    EXPECT_FALSE(history.isModified());
    history.redo();
    EXPECT_TRUE(history.isModified());
    history.undo();
    history.record([&] { plan->moveLater(idAt(0)); }); // drops the steps to redo
    EXPECT_FALSE(history.canRedo());
    history.undo();
    EXPECT_FALSE(history.isModified());

    // Opening a script replaces the plan as one step.
    history.record([&] {
        plan = std::make_unique<SplicePlan>(path("T"), window.progressBar, window.log, cache);
        plan->attachView(window.panels);
        plan->writeListingBlock(plan->logView);
    });
    history.markSaved("/v/other.avs");
    EXPECT_EQ(shape(*plan), "T(0,30,0)");
    EXPECT_EQ(log.lines, plan->listingBlock());
    history.undo();
    EXPECT_EQ(shape(*plan), "B(0,1000,0) U(0,80,0)");
    EXPECT_TRUE(history.isModified());
}

} // namespace
} // namespace vidloom

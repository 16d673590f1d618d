// The plan session's commands as the window and vidloom-cli run them: one
// history step and at most one notification per command, the values each
// command returns, undo and redo over random commands, and the refusals that
// keep a script off a video.

#include "session/PlanSession.h"
#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "present/Listing.h"

#include <fstream>
#include <random>

namespace vidloom {
namespace {

class PlanSessionTest : public kit::PlanTest {
protected:
    PlanSessionTest() {
        session.onChange([this] { ++told; });
    }
    void add(std::initializer_list<const char*> labels) {
        std::vector<std::string> files;
        for (const char* label : labels) {
            files.push_back(path(label));
        }
        session.addFiles(files);
    }
    SpliceResult splice(const std::string& file, std::optional<int32_t> ref) {
        return session.addSplices({{file, ref}}).at(0);
    }
    SegmentId idAt(int32_t i) const { return session.plan()->segments.at(i).id(); }
    // The plan with its ids, current segment and base clip, as one text.
    std::string seen() const {
        const SplicePlan* p = session.plan();
        std::string text = p ? shape(*p) + " | " + p->baseList.at(0).fileName() + " | current " +
                                   std::to_string(p->currentSegment)
                             : "none";
        for (int32_t i = 0; p && i < p->segments.count(); ++i) {
            text += " " + std::to_string(idAt(i));
        }
        return text + " | " + session.scriptPath();
    }

    PlanSession session;
    int told = 0;
};

TEST_F(PlanSessionTest, EachCommandIsOneStepAndOneNotification) {
    add({"B", "T"});
    EXPECT_EQ(told, 1);
    EXPECT_EQ(session.current(), idAt(1)) << "the segment added last is current";
    EXPECT_EQ(session.listingBlock(), listingBlockOf(session.plan()));

    // The views are computed once per change, however often they are asked.
    const PlanSession::ViewCounts computed = session.viewComputations();
    for (int i = 0; i < 3; ++i) {
        session.listingBlock();
        session.problems();
        session.positions();
        session.panel(1);
    }
    EXPECT_EQ(session.viewComputations().listings, computed.listings);
    EXPECT_EQ(session.viewComputations().preflights, computed.preflights + 1);
    EXPECT_EQ(session.viewComputations().positions, computed.positions + 1);

    const EditCells shown{"0", "30", "30"};
    EXPECT_EQ(session.edit(idAt(1), shown, {"5", "30", "30"}).correction, "");
    EXPECT_EQ(told, 2);
    // The same cells again (the focus leaving the cell): nothing changes,
    // nobody is told, nothing is computed.
    const PlanSession::ViewCounts after = session.viewComputations();
    session.edit(idAt(1), {"5", "30", "25"}, {"5", "30", "25"});
    session.select(idAt(1));
    EXPECT_EQ(told, 2);
    EXPECT_EQ(session.viewComputations(), after);
    EXPECT_NE(session.edit(idAt(1), {"5", "30", "25"}, {"5", "30", "500"}).correction, "");
    EXPECT_EQ(told, 2) << "a length past the end is corrected back to what it was";

    // A splice is current after it: the piece of the base left behind it.
    session.addSplices({{path("S"), 10}});
    EXPECT_EQ(told, 3);
    EXPECT_EQ(session.current(), idAt(2));
    EXPECT_TRUE(session.undo());
    EXPECT_EQ(told, 4);
    EXPECT_EQ(shape(*session.plan()), "B(0,1000,0) T(5,25,0)");
}

TEST_F(PlanSessionTest, SplicesReturnWhatTheUserMustBeTold) {
    add({"B"});
    EXPECT_EQ(splice(path("S"), std::nullopt).spliceRef, 100) << "from the file name";
    EXPECT_EQ(splice(path("T"), std::nullopt).outcome, SpliceOutcome::NoReference);
    EXPECT_EQ(splice(path("T"), -1).outcome, SpliceOutcome::NegativeReference);
    const SpliceResult past = splice(path("S"), 951);
    EXPECT_EQ(past.outcome, SpliceOutcome::ExceedsEnd);
    for (const char* number : {"951", "50", "1001", "1000"}) {
        EXPECT_NE(refusalText(past.file, past).find(number), std::string::npos) << number;
    }
    const SpliceResult wide = splice(path("W"), 10);
    EXPECT_EQ(wide.outcome, SpliceOutcome::Incompatible);
    EXPECT_NE(wide.details.find("frame size 640x"), std::string::npos) << wide.details;
    EXPECT_EQ(splice(kit::makeClip("flow-99999999999.avi", 10), std::nullopt).outcome,
              SpliceOutcome::BadReference);
    EXPECT_EQ(splice(path("B") + ".missing", 0).outcome, SpliceOutcome::Failed);
    EXPECT_EQ(shape(*session.plan()), "B(0,100,0) S(0,50,100) B(150,850,150)");
    EXPECT_EQ(session.canUndo(), true);
}

TEST_F(PlanSessionTest, EveryFileIsTriedAndTheRefusedAreNamed) {
    const std::string missing = kit::tempDir() + "/no-such.avi";
    const AddResult added =
        session.addFiles({path("B"), missing, path("Z"), missing + "2", path("T")});
    EXPECT_EQ(added.added, 3);
    ASSERT_EQ(added.refused.size(), 2u);
    EXPECT_EQ(added.refused[0].rfind(missing, 0), 0u) << added.refused[0];
    EXPECT_EQ(shape(*session.plan()), "B(0,1000,0) Z(0,0,0) T(0,30,0)");
    EXPECT_TRUE(session.undo()) << "all of it was one step";
    EXPECT_EQ(session.plan(), nullptr);
}

TEST_F(PlanSessionTest, AScriptNeverReplacesAVideoOrAnInput) {
    add({"B", "T"});
    const std::string text = kit::tempDir() + "/session-notes.txt";
    const std::string binary = kit::tempDir() + "/session-blob.bin";
    std::ofstream(text) << "# notes\n";
    std::ofstream(binary) << std::string("ab\0cd", 5);
    const std::string outside = kit::makeClip("session-outside.avi", 3);
    for (const std::string& target : {path("B"), path("T"), outside, binary}) {
        const std::ifstream before(target, std::ios::binary);
        const WriteResult w = session.writeScript(target);
        EXPECT_FALSE(w.written) << target;
        EXPECT_EQ(w.refusal.rfind(target + ": will not write a script over", 0), 0u) << w.refusal;
    }
    EXPECT_EQ(kit::makeClip("session-outside.avi", 3), outside);
    EXPECT_TRUE(session.writeScript(text).written) << "an old script or note may be replaced";
    EXPECT_FALSE(session.isModified());
}

TEST_F(PlanSessionTest, UndoPutsBackTheScriptThePlanCameFrom) {
    add({"B"});
    const std::string a = kit::tempDir() + "/session-a.avs";
    const std::string b = kit::tempDir() + "/session-b.avs";
    ASSERT_TRUE(session.writeScript(a).written);
    add({"T"});
    ASSERT_TRUE(session.writeScript(b).written);
    session.openScript(a);
    session.openScript(b);
    EXPECT_EQ(session.scriptPath(), b);
    EXPECT_TRUE(session.undo());
    EXPECT_EQ(session.scriptPath(), a);
    EXPECT_EQ(shape(*session.plan()), "B(0,1000,0)");
    EXPECT_FALSE(session.isModified()) << "a's plan is in a";
    EXPECT_TRUE(session.redo());
    EXPECT_EQ(session.scriptPath(), b);
    EXPECT_FALSE(session.isModified());
}

// The plan and its ids; what a step changes.
std::string planOf(const PlanSession& x, const std::string& (*name)(const SplicePlan&, int32_t)) {
    std::string text;
    for (int32_t i = 0; x.plan() && i < x.plan()->segments.count(); ++i) {
        const Segment& seg = x.plan()->segments.at(i);
        text += name(*x.plan(), i) + "(" + std::to_string(seg.start) + "," +
                std::to_string(seg.length) + ") " + std::to_string(seg.id()) + " ";
    }
    return x.plan() ? text : "none";
}

const std::string& fileAt(const SplicePlan& p, int32_t i) {
    return p.segments.at(i).fileName();
}

TEST_F(PlanSessionTest, UndoAllGivesEveryEarlierPlanAndRedoEveryLaterOne) {
    std::mt19937 rng(4242);
    const std::vector<std::string> labels{"S", "T", "U", "W", "Z"};
    auto pick = [&](int32_t n) { return n <= 0 ? 0 : int32_t(rng() % uint32_t(n)); };
    const std::string script = kit::tempDir() + "/session-plan.avs";
    for (int round = 0; round < 12; ++round) {
        PlanSession s;
        int notified = 0;
        s.onChange([&] { ++notified; });
        // Each state with the current segment and the script, as undo must
        // give it back.
        auto full = [&] {
            return planOf(s, fileAt) + "| " + std::to_string(s.current()) + " | " + s.scriptPath();
        };
        std::vector<std::string> states{full()};
        s.addFiles({path("B")});
        states.push_back(full());
        size_t saved = 0; // the state written, 0 for none
        for (int op = 0; op < 30; ++op) {
            const int32_t count = s.plan()->segments.count();
            const SegmentId someone = count ? s.plan()->segments.at(pick(count)).id() : kNoSegment;
            const std::string planBefore = planOf(s, fileAt);
            const int before = notified;
            switch (count ? rng() % 7 : 0) { // no splice without a base clip
            case 0:
                s.addFiles({path(labels[rng() % 5]), path(labels[rng() % 5])});
                break;
            case 1:
                s.addSplices({{path(labels[rng() % 5]), pick(s.plan()->length() + 10)}});
                break;
            case 2:
                s.edit(someone, {}, {std::to_string(pick(120)), "?", "?"});
                break;
            case 3:
                s.remove(someone);
                break;
            case 4:
                s.select(someone);
                break;
            case 5:
                if (saved == 0 && s.plan()->length() > 0) {
                    ASSERT_TRUE(s.writeScript(script).written);
                    saved = states.size() - 1;
                }
                break;
            default:
                rng() % 2 ? s.moveEarlier() : s.moveLater();
            }
            ASSERT_LE(notified, before + 1) << "one notification per command";
            if (planOf(s, fileAt) != planBefore) {
                states.push_back(full());
            } else {
                states.back() = full(); // a selection or a write: no step
            }
        }
        for (size_t i = states.size() - 1; i-- > 0;) {
            ASSERT_TRUE(s.undo()) << "round " << round << " undo to " << i;
            ASSERT_EQ(full(), states[i]) << "round " << round << " undo to " << i;
            ASSERT_EQ(s.isModified(), i != 0 && !(saved != 0 && i == saved)) << i;
        }
        EXPECT_FALSE(s.undo());
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(s.redo());
            ASSERT_EQ(full(), states[i]) << "round " << round << " redo to " << i;
        }
        EXPECT_FALSE(s.redo());
    }
}

TEST_F(PlanSessionTest, TheOldestStepsGoPastTheCap) {
    PlanSession small(3);
    for (const char* label : {"B", "T", "U", "Z", "T"}) {
        small.addFiles({path(label)});
    }
    while (small.undo()) {
    }
    EXPECT_EQ(shape(*small.plan()), "B(0,1000,0) T(0,30,0)");
}

} // namespace
} // namespace vidloom

// The note that tells the user how typed Start / End / Length values were
// corrected, over edits applied to a real plan.

#include "present/EditNote.h"
#include "kit/PlanFixture.h"
#include "present/PanelLayout.h"

namespace vidloom {
namespace {

class EditNoteTest : public kit::PlanTest {
protected:
    // Applies typed to segment 0 of a fresh plan of U (80 frames), first cut
    // to 20..60, and gives the note.
    std::string edit(const EditCells& typed) {
        auto p = plan("U");
        const SegmentId id = p->segments.at(0).id();
        cutTo20To60(*p, id);
        const EditCells shown = cellsOf(*p);
        p->applyEdit(id, typed.start, typed.end, typed.length);
        return editNote(shown, typed, cellsOf(*p), p->segments.at(0).header->TotalFrames);
    }
    // A changed start keeps the end: first the start, then the end.
    static void cutTo20To60(SplicePlan& p, SegmentId id) {
        p.applyEdit(id, "20", "", "");
        p.applyEdit(id, "20", "60", "");
    }
    static EditCells cellsOf(SplicePlan& p) {
        const PanelState s = panelsOf(p).at(0);
        return {s.internalStart, s.internalEnd, s.internalLength};
    }
};

TEST_F(EditNoteTest, NamesWhatWasTypedWhatItBecameAndWhy) {
    EXPECT_EQ(edit({"20", "60", "500"}), "Length \"500\" became 40: more than the 40 frames "
                                         "from Start to End");
    EXPECT_EQ(edit({"abc-5", "60", "40"}), "Start \"abc-5\" became 20: not a whole number");
    EXPECT_NE(
        edit({"70", "60", "40"}).find("Start 70 is past the End 60: the segment is now empty"),
        std::string::npos);
    EXPECT_EQ(edit({"30", "60", "30"}), "");
}

// Over many typed values: a note exactly when a typed value was not taken,
// and it quotes every such value.
TEST_F(EditNoteTest, ThereIsANoteExactlyWhenAValueWasCorrected) {
    const char* values[] = {"20", "0", "-3", "x", "45", "60", "79", "80", "81", "500", ""};
    for (const char* s : values) {
        for (const char* e : values) {
            for (const char* l : values) {
                auto p = plan("U");
                const SegmentId id = p->segments.at(0).id();
                cutTo20To60(*p, id);
                const EditCells shown = cellsOf(*p);
                const EditCells typed{s, e, l};
                p->applyEdit(id, s, e, l);
                const EditCells result = cellsOf(*p);
                const std::string note = editNote(shown, typed, result, 80);
                bool corrected = false;
                for (auto [t, was, now] : {std::tuple{typed.start, shown.start, result.start},
                                           std::tuple{typed.end, shown.end, result.end},
                                           std::tuple{typed.length, shown.length, result.length}}) {
                    if (t != was && textToInt32(t) != textToInt32(now)) {
                        corrected = true;
                        EXPECT_NE(note.find("\"" + t + "\" became " + now), std::string::npos)
                            << note;
                    }
                }
                const bool emptied = typed.start != shown.start && result.length == "0" &&
                                     textToInt32(typed.start).value_or(0) > 60;
                EXPECT_EQ(!note.empty(), corrected || emptied)
                    << s << "|" << e << "|" << l << " -> " << note;
            }
        }
    }
}

} // namespace
} // namespace vidloom

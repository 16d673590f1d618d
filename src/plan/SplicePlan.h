#pragma once
// The splice plan: the ordered segments of the assembled video, the frame
// arithmetic of appending and inserting, the listing, the AviSynth script and
// the panel logic (layout view model, edits, delete, move, current panel).
//
// How the window drives it (vidloom-cli does the same without a window; the
// command-level flows are in plan/PlanActions.h):
//  - "Add File" and "Add Splice" call addFile / addSplice for each chosen file.
//  - Every change ends with layoutPanels(), which computes one PanelState per
//    segment and hands the list to the attached PanelViewSink. The window keys
//    its panel widgets by PanelState::id: it reuses the widget of a known id,
//    creates one for a new id, and hides the widgets of ids that are gone.
//  - Panel events call applyEdit(id, start text, end text, length text) (a
//    click, Enter, or leaving an editable cell), remove(id) (the "del" button,
//    followed by the window's own refresh), and F5/F6 call
//    moveEarlier(currentSegment) / moveLater(currentSegment) when
//    currentSegment is not kNoSegment.
//  - "Generate AVS": scriptRefusal() before the save dialog, then generateAvs().
//  - Each of these changes runs inside PlanHistory::record, which makes it one
//    step of undo and redo (plan/PlanHistory.h).

#include "plan/FileNames.h"
#include "plan/PlanState.h"
#include "plan/SegmentList.h"
#include "plan/WindowSeams.h"
#include "present/PanelState.h"
#include "script/PathMap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

class SplicePlan {
public:
    // A plan whose only segment is the whole base file. baseList keeps a
    // second whole-file segment of the base file for the brand window.
    SplicePlan(const std::string& fileName, IProgressBar* progressBar, ILogView* logMemo,
               AviHeaderCache& cache);
    // The plan a state describes (state.hasPlan); reads nothing.
    SplicePlan(const PlanState& state, IProgressBar* progressBar, ILogView* logMemo);
    SplicePlan(const SplicePlan&) = delete;
    SplicePlan& operator=(const SplicePlan&) = delete;

    // The panels' view; every layoutPanels hands it the new view model.
    void attachView(PanelViewSink* view) { panelView = view; }
    AviHeaderCache& cache() const { return *cache_; }

    // Runs the segment's key-frame test (an error propagates and the segment
    // is not added), then inserts it at position (appends when the plan is
    // empty) and adds its length to listedLength. Gives the key-frame result.
    bool addSegment(std::unique_ptr<Segment> segment, int32_t position);

    // Inserts the splice at its spliceRef: the segment holding the reference
    // is cut there, the splice goes in after the cut, and the frames after it
    // are overwritten for the splice's length. False (plan unchanged, splice
    // discarded) when its file differs from segment 0's in frame size or
    // codec or either is not an AVI file. All or nothing: a reference below 0
    // raises RangeError and one whose splice runs past the live end raises
    // ListIndexError, both before anything changes.
    bool insertSplice(std::unique_ptr<Segment> splice);

    // One line per segment, "from-to : path" CR LF; recomputes listedLength.
    std::string listing();
    // The log's plan-listing block: "Future Content of", assembledName, an
    // empty line, then one line per segment (without line ends).
    std::vector<std::string> listingBlock();
    // Clears log and writes listingBlock into it, then one "warning: " line
    // per join AviSynth will refuse (preflight). Nothing when log is null.
    void writeListingBlock(ILogView* log);

    // The plan as values, and back: restore puts segments, base clip,
    // assembled name and current segment as the state has them, keeping the
    // segments' ids; it neither lays out nor writes the log.
    PlanState state() const;
    void restore(const PlanState& state);

    // The live sum of the segment lengths (overflow-checked).
    int32_t liveLength() const;
    bool hasFrames() const;

    // The AviSynth script: each segment with frames on one line, trimmed to
    // its own frames, then "return src" without line end. Sets the progress
    // bar's maximum to listedLength. Each file is named as paths maps it
    // (aviSourceCall); a path the script cannot name raises ConversionError.
    std::string buildScript(const PathMap& paths = PathMap());

    // The panel view model, one PanelState per segment in plan order; also
    // handed to the attached view. A segment laid out for the first time
    // becomes current. A key-frame test that fails only marks its panel.
    std::vector<PanelState> layoutPanels();

    // Panel operations. Each lays the panels out again at its end.
    void setCurrent(SegmentId id); // no layout; kNoSegment clears
    void applyEdit(SegmentId id, const std::string& startText, const std::string& endText,
                   const std::string& lengthText);
    void remove(SegmentId id);
    void moveEarlier(SegmentId id);
    void moveLater(SegmentId id);

    std::string assembledName;
    SegmentList segments;
    SegmentList baseList;
    int32_t listedLength = 0;
    IProgressBar* progressBar = nullptr;
    ILogView* logView = nullptr;
    PanelViewSink* panelView = nullptr;
    // The current segment, or kNoSegment. Never names a segment that left
    // the plan: when the current segment goes, the one that takes its place
    // becomes current, else the new last one, else none.
    SegmentId currentSegment = kNoSegment;

private:
    // The change of insertSplice once its checks passed: segment `head`
    // keeps `cut` frames, the splice follows it, then `covered` segments
    // (the tail after the cut counting as the first) give way to `rest`.
    void commitSplice(std::unique_ptr<Segment> splice, std::unique_ptr<Segment> rest, int32_t head,
                      int32_t cut, int32_t covered);
    // Keeps currentSegment valid after the segment at index `at` left the plan.
    void currentLeft(SegmentId gone, int32_t at);
    AviHeaderCache* cache_;
};

} // namespace vidloom

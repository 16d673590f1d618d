#pragma once
// The splice plan: the ordered segments of the assembled video and the frame
// arithmetic of appending, inserting, editing, deleting and moving them. It
// holds values only: no window, no view. The user's actions reach it through
// session/PlanSession.h, which records each as one step of the history and
// tells the views once; the views compute what they show from the plan
// (present/).

#include "plan/FileNames.h"
#include "plan/PlanState.h"
#include "plan/SegmentList.h"
#include "script/PathMap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

class SplicePlan {
public:
    // A plan whose only segment is the whole base file, which becomes
    // current. baseList keeps a second whole-file segment of the base file
    // for the brand window.
    SplicePlan(const std::string& fileName, AviHeaderCache& cache);
    // The plan a state describes (state.hasPlan); reads nothing.
    explicit SplicePlan(const PlanState& state);
    SplicePlan(const SplicePlan&) = delete;
    SplicePlan& operator=(const SplicePlan&) = delete;

    AviHeaderCache& cache() const { return *cache_; }

    // Runs the segment's key-frame test (an error propagates and the segment
    // is not added), then inserts it at position (appends when the plan is
    // empty) and makes it current. Raises OverflowError, with nothing
    // changed, when the plan would no longer fit 32 bits of frames. Gives the
    // key-frame result.
    bool addSegment(std::unique_ptr<Segment> segment, int32_t position);

    // Inserts the splice at its spliceRef: the segment holding the reference
    // is cut there, the splice goes in after the cut, and the frames after it
    // are overwritten for the splice's length; the piece left after the
    // splice, the last new segment, becomes current. False (plan unchanged,
    // splice discarded) when its file differs from segment 0's in frame size
    // or codec family or either is not an AVI file. All or nothing: a reference below 0
    // raises RangeError and one whose splice runs past the live end raises
    // ListIndexError, both before anything changes.
    bool insertSplice(std::unique_ptr<Segment> splice);

    // The plan as values, and back: restore puts segments, base clip,
    // assembled name and current segment as the state has them, keeping the
    // segments' ids; it neither lays out nor writes the log.
    PlanState state() const;
    void restore(const PlanState& state);

    // The sum of the segment lengths: the length of the assembled video.
    int32_t length() const;
    bool hasFrames() const;

    // The AviSynth script: each segment with frames on one line, trimmed to
    // its own frames, then "return src" without line end. Each file is named
    // as paths maps it (aviSourceCall); a path the script cannot name raises
    // ConversionError.
    std::string buildScript(const PathMap& paths = PathMap()) const;

    // The edits of the panels; each makes its segment current (a removed
    // one's place goes to the segment that takes it).
    void setCurrent(SegmentId id); // kNoSegment clears
    void applyEdit(SegmentId id, const std::string& startText, const std::string& endText,
                   const std::string& lengthText);
    void remove(SegmentId id);
    void moveEarlier(SegmentId id);
    void moveLater(SegmentId id);

    std::string assembledName;
    SegmentList segments;
    SegmentList baseList;
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

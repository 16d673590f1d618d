#pragma once
// Where each frame of the assembled video comes from: frame P of the plan is
// frame F of one segment's file, as AviSynth serves it from the script (the
// segments in order, those without frames left out). Built once per change
// of the plan from the segments' values; every question is a binary search
// over the segments' first positions, so moving through a long plan costs
// nothing per frame.

#include "plan/PlanState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

class SegmentList;

// One frame of the plan.
struct PlanFrame {
    int32_t position = 0;     // P, counted from 0
    int32_t segmentIndex = 0; // the segment's index in the plan
    SegmentId segment = kNoSegment;
    const AviHeader* header = nullptr; // the segment's file (the cache's record)
    int32_t frame = 0;                 // F, the frame of that file
    int32_t segmentFirst = 0;          // the plan position of the segment's first frame
    int32_t segmentLength = 0;
    const std::string& fileName() const;
};

class PlanPositions {
public:
    PlanPositions() = default;
    // Raises OverflowError when the plan's length does not fit 32 bits, as
    // the plan's own sum does.
    explicit PlanPositions(std::vector<SegmentState> segments);
    static PlanPositions of(const SegmentList& segments);

    int32_t total() const { return total_; }
    int32_t segmentCount() const { return int32_t(segments_.size()); }
    const SegmentState& segment(int32_t index) const { return segments_.at(size_t(index)); }
    // The plan position of a segment's first frame (its position in the
    // listing, for an empty segment too).
    int32_t firstOf(int32_t index) const { return firsts_.at(size_t(index)); }
    int32_t indexOf(SegmentId id) const; // -1 when absent

    // Frame P of the plan; nullopt for P outside 0 to total() - 1.
    std::optional<PlanFrame> at(int32_t position) const;

    // Where segment id shows frame `frame` of its file; nullopt when the
    // segment is gone or no longer holds that frame.
    std::optional<int32_t> positionOf(SegmentId id, int32_t frame) const;
    // Where the plan shows frame `frame` of file `header` after a change: in
    // segment `preferred` if it still holds it, else in the first segment of
    // the same file that does; nullopt when no segment shows it any more.
    std::optional<int32_t> follow(SegmentId preferred, const AviHeader* header,
                                  int32_t frame) const;

    // The plan positions where a segment with frames follows another one:
    // the joins of the script, ascending.
    const std::vector<int32_t>& joins() const { return joins_; }

private:
    std::vector<SegmentState> segments_;
    std::vector<int32_t> firsts_; // plan position of each segment's first frame
    std::vector<int32_t> joins_;
    int32_t total_ = 0;
};

} // namespace vidloom

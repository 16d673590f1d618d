#pragma once
// What the preview strip shows for the current segment, computed from the
// plan (no decoding here): the two frames that meet at the join before the
// segment (the last frame of the segment before it, its own first frame), the
// two at the join after it (its last frame, the first frame of the segment
// after it), and for a segment that does not start on a key frame, the key
// frames a snap could move its start to (the last one before the start, the
// first one after it). Segments without frames are left out of the joins, as
// the script leaves them out.

#include "present/PanelState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom {

class SplicePlan;

// One picture of the strip: a frame of a file, or the reason there is none.
struct JoinFrame {
    std::string fileName; // the file's full path; empty when there is no frame
    int32_t frame = -1;   // the frame number in the file
    std::string caption;  // "name.avi, frame 123", or why there is no frame
    bool has() const { return !fileName.empty(); }
    friend bool operator==(const JoinFrame&, const JoinFrame&) = default;
};

struct JoinPair {
    std::string title; // "Join before", "Join after", "Key frames around the start"
    JoinFrame left;
    JoinFrame right;
    friend bool operator==(const JoinPair&, const JoinPair&) = default;
};

struct JoinFrames {
    SegmentId segment = kNoSegment; // the segment shown (the current one)
    std::vector<JoinPair> pairs;    // empty when there is no current segment
    friend bool operator==(const JoinFrames&, const JoinFrames&) = default;
};

// The strip of the plan's current segment (null plan: an empty strip).
JoinFrames joinFramesOf(const SplicePlan* plan);

} // namespace vidloom

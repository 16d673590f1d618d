#pragma once
// What the Viewer shows besides the picture, as values: the caption of the
// shown frame and the timeline of the plan (its segments as bands to scale,
// the joins with AviSynth's verdict, the starts off key frames, the key
// frames of the segment under the cursor). No pixels here: the window only
// scales these positions to its width.

#include "present/FileFrames.h"
#include "present/PanelState.h"
#include "present/PlanPositions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom {

class SegmentList;

struct TimelineBand {
    int32_t first = 0;  // plan position of the segment's first frame
    int32_t length = 0; // at least 1: segments without frames have no band
    int32_t segmentIndex = 0;
    SegmentId segment = kNoSegment;
    int32_t fileIndex = 0; // the files in the order they first appear (one colour each)
    std::string name;      // the file's name without its folder
    bool startsOnKeyFrame = true;
    friend bool operator==(const TimelineBand&, const TimelineBand&) = default;
};

struct TimelineJoin {
    int32_t position = 0; // the first frame after the join
    JoinMark mark = JoinMark::None;
    std::string problem; // AviSynth's verdict on the join, empty when it joins them
    friend bool operator==(const TimelineJoin&, const TimelineJoin&) = default;
};

struct Timeline {
    int32_t total = 0;
    std::vector<TimelineBand> bands;
    std::vector<TimelineJoin> joins;
    friend bool operator==(const Timeline&, const Timeline&) = default;
};

// The timeline of segments, positions being their PlanPositions.
Timeline timelineOf(const SegmentList& segments, const PlanPositions& positions);

// The plan positions of the key frames of the frame's segment.
std::vector<int32_t> keyFrameTicks(const PlanFrame& frame, const FileFrames& frames);

// "12 / 1000 · clip.avi frame 1251 · key frame · 00:00:00.480": the plan
// position and length, the file and its frame, whether the frame is a key
// frame or dropped (left out when neither), and the time of P in the
// assembled video at the frame rate of the plan's first segment with frames
// (AviSynth's splice takes the first clip's rate).
std::string viewerCaption(const PlanFrame& frame, const PlanPositions& positions,
                          const FileFrames& frames);

// "hh:mm:ss.fff" of frame `position` at rate numerator/denominator frames
// per second (a rate of 0 gives 00:00:00.000).
std::string frameTime(int64_t position, int64_t numerator, int64_t denominator);

} // namespace vidloom

#pragma once
// Cutting one segment in two where the user looks: the Viewer's "split here".

#include "plan/SplicePlan.h"

namespace vidloom {

// Splits segment id so that frame `frame` of its file starts a new segment
// right after it (the first part keeps the frames before) and makes the new
// segment current; the caller shows the change. Gives the new segment's id;
// kNoSegment, with nothing changed, when the segment is gone or the frame is
// not one of its frames after its first.
SegmentId splitSegment(SplicePlan& plan, SegmentId id, int32_t frame);

} // namespace vidloom

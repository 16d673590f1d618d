#pragma once
// A segment's identity for as long as it is in the plan. A segment that is
// cut keeps its id for the part that stays; the cut-off part is a new segment
// with a new id. Ids grow: a segment made later has a larger one, and an id is
// never given to another segment within one run; undo and redo give a segment
// back under its own id.

#include <cstdint>

namespace vidloom {

using SegmentId = uint64_t;
inline constexpr SegmentId kNoSegment = 0;

} // namespace vidloom

#pragma once
// The key frames around a frame, and moving a segment's start onto one. A
// segment that does not start on a key frame shows garbage until the next key
// frame when the script is played; moving its start to the key frame before or
// after (keeping its end, as an edit of the start does) cures that.

#include "avi/index/KeyFrameIndex.h"
#include "plan/SplicePlan.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vidloom {

struct NearKeyFrames {
    std::optional<int32_t> previous; // the last key frame at or before the frame
    std::optional<int32_t> next;     // the first key frame after it
};

// From the frames the index holds; raises the index's error when it cannot
// be read at all.
NearKeyFrames nearKeyFrames(const KeyFrameIndex& index, int32_t frame);

// The key frames on either side of a segment's start: the last one before it
// and the first one after it.
NearKeyFrames keyFramesAround(const Segment& segment);

// "key frames: 1200 (-37), 1250 (+13)" for a segment starting at frame 1237;
// "none before" / "none after" where the file has none that way.
std::string keyFrameHint(const NearKeyFrames& near, int32_t start);

enum class SnapDirection { Previous, Next };

// Why a segment of a file whose key frames are unknown (an index rebuilt from
// the movie data of a codec whose frame headers are not read) is not snapped.
inline constexpr const char* kCannotTellKeyFrames =
    "cannot tell where the key frames are: the index was rebuilt from the movie data and "
    "Vidloom does not read this codec's frame headers";

// The start the segment would get, or nullopt when its file has no key frame
// that way.
std::optional<int32_t> snapTarget(const Segment& segment, SnapDirection direction);

// Moves the start of segment id to the key frame before or after it, keeping
// its end (the length follows, as with an edit of the start). Returns the old start when it moved,
// nullopt when there is no key frame that way (nothing changes).
std::optional<int32_t> snapStart(SplicePlan& plan, SegmentId id, SnapDirection direction);
// The same for the segment at index i (planLength: the plan's length, when
// the caller keeps it).
std::optional<int32_t> snapStartAt(SplicePlan& plan, int32_t i, SnapDirection direction,
                                   std::optional<int32_t> planLength = {});

} // namespace vidloom

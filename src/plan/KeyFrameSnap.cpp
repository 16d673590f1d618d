#include "plan/KeyFrameSnap.h"

#include "avi/TextFormat.h"

#include <algorithm>

namespace vidloom {

NearKeyFrames nearKeyFrames(const KeyFrameIndex& index, int32_t frame) {
    if (!index.fileError().empty()) {
        index.fileError().raise();
    }
    // Binary searches: a script of many segments over a file whose key
    // frames lie far apart asks this once per segment.
    return NearKeyFrames{index.keyFrameAtOrBefore(frame), index.keyFrameAfter(frame)};
}

NearKeyFrames keyFramesAround(const Segment& segment) {
    const auto index = segment.cache().keyFrames(*segment.header);
    NearKeyFrames around;
    if (segment.start > 0) {
        around.previous = nearKeyFrames(*index, segment.start - 1).previous;
    }
    around.next = nearKeyFrames(*index, segment.start).next;
    return around;
}

std::string keyFrameHint(const NearKeyFrames& near, int32_t start) {
    auto side = [&](const std::optional<int32_t>& frame, const char* none) {
        if (!frame) {
            return std::string(none);
        }
        const int64_t distance = int64_t(*frame) - start;
        return std::to_string(*frame) + " (" + (distance > 0 ? "+" : "") +
               std::to_string(distance) + ")";
    };
    return "key frames: " + side(near.previous, "none before") + ", " +
           side(near.next, "none after");
}

std::optional<int32_t> snapTarget(const Segment& segment, SnapDirection direction) {
    const NearKeyFrames around = keyFramesAround(segment);
    return direction == SnapDirection::Previous ? around.previous : around.next;
}

std::optional<int32_t> snapStart(SplicePlan& plan, SegmentId id, SnapDirection direction) {
    const int32_t i = plan.segments.indexOf(id);
    if (i < 0) {
        return std::nullopt;
    }
    return snapStartAt(plan, i, direction);
}

std::optional<int32_t> snapStartAt(SplicePlan& plan, int32_t i, SnapDirection direction,
                                   std::optional<int32_t> planLength) {
    const Segment& segment = plan.segments.at(i);
    const std::optional<int32_t> target = snapTarget(segment, direction);
    if (!target) {
        return std::nullopt;
    }
    const int32_t old = segment.start;
    // The same step as typing the new start into the panel.
    plan.applyEditAt(i, intToText(*target), "", "", planLength);
    return old;
}

} // namespace vidloom

#include "plan/SplitSegment.h"

namespace vidloom {

SegmentId splitSegment(SplicePlan& plan, SegmentId id, int32_t frame) {
    const int32_t i = plan.segments.indexOf(id);
    if (i < 0) {
        return kNoSegment;
    }
    Segment& segment = plan.segments.at(i);
    const int64_t offset = int64_t(frame) - segment.start;
    if (offset <= 0 || offset >= segment.length) {
        return kNoSegment; // a cut there would leave an empty part
    }
    std::unique_ptr<Segment> tail = segment.splitAt(int32_t(offset));
    const SegmentId tailId = tail->id();
    plan.segments.insert(i + 1, std::move(tail));
    plan.currentSegment = tailId;
    return tailId;
}

} // namespace vidloom

#include "present/JoinFrames.h"

#include "avi/Errors.h"
#include "plan/KeyFrameSnap.h"
#include "plan/SplicePlan.h"

#include <limits>

namespace vidloom {

namespace {

std::string baseName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

JoinFrame frameOf(const Segment& segment, int64_t frame) {
    if (frame < 0 || frame > std::numeric_limits<int32_t>::max()) {
        return JoinFrame{{}, -1, "no frame " + std::to_string(frame)};
    }
    return JoinFrame{segment.fileName(), int32_t(frame),
                     baseName(segment.fileName()) + ", frame " + std::to_string(frame)};
}

JoinFrame none(const std::string& why) {
    return JoinFrame{{}, -1, why};
}

// The nearest segment with frames from index `from` on, stepping by `step`.
const Segment* withFrames(const SplicePlan& plan, int32_t from, int32_t step) {
    for (int32_t i = from; i >= 0 && i < plan.segments.count(); i += step) {
        const Segment& s = plan.segments.at(i);
        if (s.length > 0) {
            return &s;
        }
    }
    return nullptr;
}

// The snap targets of a segment that does not start on a key frame.
JoinPair snapTargets(const Segment& segment) {
    JoinPair pair;
    pair.title = "Key frames around frame " + std::to_string(segment.start);
    NearKeyFrames around;
    try {
        around = keyFramesAround(segment);
    } catch (const VidloomError& e) {
        pair.left = pair.right = none(e.what());
        return pair;
    }
    pair.left =
        around.previous ? frameOf(segment, *around.previous) : none("no key frame before it");
    pair.right = around.next ? frameOf(segment, *around.next) : none("no key frame after it");
    return pair;
}

} // namespace

JoinFrames joinFramesOf(const SplicePlan* plan) {
    JoinFrames strip;
    if (plan == nullptr) {
        return strip;
    }
    const int32_t i = plan->segments.indexOf(plan->currentSegment);
    if (i < 0) {
        return strip;
    }
    const Segment& current = plan->segments.at(i);
    strip.segment = current.id();
    const bool hasFrames = current.length > 0;
    const int64_t last = int64_t(current.start) + current.length - 1;

    const Segment* before = withFrames(*plan, i - 1, -1);
    const Segment* after = withFrames(*plan, i + 1, +1);
    JoinPair join{"Join before", {}, {}};
    join.left = before ? frameOf(*before, int64_t(before->start) + before->length - 1)
                       : none("start of the plan");
    join.right = hasFrames ? frameOf(current, current.start) : none("no frames");
    strip.pairs.push_back(join);
    join = JoinPair{"Join after", {}, {}};
    join.left = hasFrames ? frameOf(current, last) : none("no frames");
    join.right = after ? frameOf(*after, after->start) : none("end of the plan");
    strip.pairs.push_back(join);

    bool onKeyFrame = true;
    try {
        onKeyFrame = current.startsOnKeyFrame();
    } catch (const VidloomError&) {
        onKeyFrame = false; // the pair below says why
    }
    if (!onKeyFrame) {
        strip.pairs.push_back(snapTargets(current));
    }
    return strip;
}

} // namespace vidloom

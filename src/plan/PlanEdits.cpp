// The edits, deletions and moves the panels ask for.

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/SplicePlan.h"

#include <algorithm>

namespace vidloom {

void SplicePlan::setCurrent(SegmentId id) {
    if (id == kNoSegment || segments.indexOf(id) >= 0) {
        currentSegment = id;
    }
}

void SplicePlan::applyEdit(SegmentId id, const std::string& startText, const std::string& endText,
                           const std::string& lengthText) {
    const int32_t i = segments.indexOf(id);
    if (i < 0) {
        return; // an event of a panel whose segment has left the plan
    }
    Segment& seg = segments.at(i);
    const int32_t frames = std::max(seg.header->TotalFrames, 0);
    const int32_t oldEnd = checkedAdd(seg.start, seg.length);

    int32_t s = seg.start;
    if (const auto typed = textToInt32(startText)) {
        s = std::clamp(*typed, 0, frames);
    }
    int32_t e = oldEnd;
    if (const auto typed = textToInt32(endText)) {
        e = std::min(std::max(*typed, s), frames);
    }
    int32_t l = seg.length;
    if (const auto typed = textToInt32(lengthText)) {
        l = std::min(std::max(*typed, 0), checkedSub(e, s));
    }

    int32_t newLength = seg.length;
    if (s != seg.start) {
        // The start was edited: the end stays, and a start past the end
        // leaves an empty segment rather than a negative length.
        newLength = std::max(checkedSub(oldEnd, s), 0);
    } else if (oldEnd != e) {
        newLength = checkedSub(e, s);
    } else if (seg.length != l) {
        newLength = l;
    }
    // A segment that gets frames back must not carry the plan past 32 bits
    // of frames; such an edit is refused before anything changes.
    if (int64_t(length()) - seg.length + newLength > INT32_MAX) {
        throw OverflowError(seg.fileName() + ": " + std::to_string(newLength) +
                            " frames in this segment would make the plan longer than " +
                            std::to_string(INT32_MAX) + " frames");
    }
    currentSegment = id;
    seg.start = s;
    seg.length = newLength;
}

void SplicePlan::remove(SegmentId id) {
    const int32_t i = segments.indexOf(id);
    if (i < 0) {
        return;
    }
    segments.deleteAt(i); // destroyed here
    // The user's attention is where the deleted panel was: the panel that
    // moves into its place becomes current, whichever panel was current before.
    currentSegment = id;
    currentLeft(id, i);
}

void SplicePlan::moveEarlier(SegmentId id) {
    const int32_t k = segments.indexOf(id);
    if (k > 0) {
        segments.exchange(k, k - 1);
    }
}

void SplicePlan::moveLater(SegmentId id) {
    const int32_t k = segments.indexOf(id);
    if (k >= 0 && k < segments.count() - 1) {
        segments.exchange(k, k + 1);
    }
}

} // namespace vidloom

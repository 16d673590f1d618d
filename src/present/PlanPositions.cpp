#include "present/PlanPositions.h"

#include "avi/CheckedInt.h"
#include "plan/SegmentList.h"

#include <algorithm>

namespace vidloom {

const std::string& PlanFrame::fileName() const {
    return header->FileName;
}

PlanPositions::PlanPositions(std::vector<SegmentState> segments) : segments_(std::move(segments)) {
    firsts_.reserve(segments_.size());
    bool framesBefore = false;
    for (const SegmentState& s : segments_) {
        firsts_.push_back(total_);
        if (s.length <= 0) {
            continue; // the script leaves it out
        }
        if (framesBefore) {
            joins_.push_back(total_);
        }
        framesBefore = true;
        total_ = checkedAdd(total_, s.length);
    }
}

PlanPositions PlanPositions::of(const SegmentList& segments) {
    std::vector<SegmentState> states;
    states.reserve(size_t(segments.count()));
    for (int32_t i = 0; i < segments.count(); ++i) {
        states.push_back(segments.at(i).state());
    }
    return PlanPositions(std::move(states));
}

int32_t PlanPositions::indexOf(SegmentId id) const {
    for (size_t i = 0; i < segments_.size(); ++i) {
        if (segments_[i].id == id) {
            return int32_t(i);
        }
    }
    return -1;
}

std::optional<PlanFrame> PlanPositions::at(int32_t position) const {
    if (position < 0 || position >= total_) {
        return std::nullopt;
    }
    // The last segment that starts at or before P; empty segments share their
    // first position with the next one, so the last of a run is the one
    // with frames.
    const auto it = std::upper_bound(firsts_.begin(), firsts_.end(), position);
    const size_t i = size_t(it - firsts_.begin()) - 1;
    const SegmentState& s = segments_[i];
    PlanFrame f;
    f.position = position;
    f.segmentIndex = int32_t(i);
    f.segment = s.id;
    f.header = s.header;
    f.segmentFirst = firsts_[i];
    f.segmentLength = s.length;
    f.frame = checkedAdd(s.start, position - firsts_[i]);
    return f;
}

namespace {
std::optional<int32_t> within(const SegmentState& s, int32_t first, int32_t frame) {
    const int64_t offset = int64_t(frame) - s.start;
    if (offset < 0 || offset >= s.length) {
        return std::nullopt;
    }
    return first + int32_t(offset);
}
} // namespace

std::optional<int32_t> PlanPositions::positionOf(SegmentId id, int32_t frame) const {
    const int32_t i = indexOf(id);
    if (i < 0) {
        return std::nullopt;
    }
    return within(segments_[size_t(i)], firsts_[size_t(i)], frame);
}

std::optional<int32_t> PlanPositions::follow(SegmentId preferred, const AviHeader* header,
                                             int32_t frame) const {
    if (const std::optional<int32_t> p = positionOf(preferred, frame)) {
        return p;
    }
    for (size_t i = 0; i < segments_.size(); ++i) {
        if (segments_[i].header == header) {
            if (const std::optional<int32_t> p = within(segments_[i], firsts_[i], frame)) {
                return p;
            }
        }
    }
    return std::nullopt;
}

} // namespace vidloom

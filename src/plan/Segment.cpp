#include "plan/Segment.h"

#include "avi/CheckedInt.h"

namespace vidloom {

namespace {
SegmentId nextSegmentId() {
    static SegmentId last = kNoSegment;
    return ++last;
}
} // namespace

Segment::Segment(const std::string& fileName, AviHeaderCache& cache)
    : header(&cache.get(fileName)), id_(nextSegmentId()), cache_(&cache) {
    // A frame count of 2^31 or more reads as negative: such a file has no
    // usable frames rather than a negative length.
    length = std::max(header->TotalFrames, 0);
}

Segment::Segment(const SegmentState& state, AviHeaderCache& cache)
    : header(state.header), start(state.start), length(state.length), spliceRef(state.spliceRef),
      id_(state.id), cache_(&cache) {}

Segment::Segment(PieceKey, const Segment& source, int32_t start, int32_t length, int32_t spliceRef)
    : header(source.header), start(start), length(length), spliceRef(spliceRef),
      id_(nextSegmentId()), cache_(source.cache_) {}

std::unique_ptr<Segment> Segment::splitAt(int32_t offset) {
    if (offset < 0 || offset > length) {
        throw RangeError(fileName() + ": cannot cut a segment of " + std::to_string(length) +
                         " frames at offset " + std::to_string(offset));
    }
    auto tail =
        std::make_unique<Segment>(PieceKey{}, *this, checkedAdd(start, offset),
                                  checkedSub(length, offset), checkedAdd(spliceRef, offset));
    length = offset;
    return tail;
}

bool Segment::isKeyFrame(int32_t frame) const {
    return cache_->isKeyFrame(*header, frame);
}

} // namespace vidloom

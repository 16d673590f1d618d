#include "plan/SplicePlan.h"

#include "avi/CheckedInt.h"
#include "avi/CodecFamilies.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/Preflight.h"

#include <algorithm>
#include <climits>

namespace vidloom {

// ---- SplicePlan: construction, appending, inserting, listing

SplicePlan::SplicePlan(const std::string& fileName, AviHeaderCache& cache) : cache_(&cache) {
    segments.add(std::make_unique<Segment>(fileName, cache));
    baseList.add(std::make_unique<Segment>(fileName, cache));
    currentSegment = segments.at(0).id();
}

bool SplicePlan::addSegment(std::unique_ptr<Segment> segment, int32_t position) {
    // A file whose index cannot be read is refused with the error.
    const bool onKeyFrame = segment->startsOnKeyFrame();
    // The plan must still fit 32 bits of frames with the segment added;
    // otherwise nothing changes.
    if (int64_t(length()) + segment->length > INT32_MAX) {
        throw OverflowError(segment->fileName() + ": its " + std::to_string(segment->length) +
                            " frames would make the plan longer than " + std::to_string(INT32_MAX) +
                            " frames");
    }
    currentSegment = segment->id();
    if (segments.count() == 0) {
        segments.add(std::move(segment));
    } else {
        segments.insert(position, std::move(segment));
    }
    return onKeyFrame;
}

int32_t SplicePlan::length() const {
    int32_t sum = 0;
    for (int32_t i = 0; i < segments.count(); ++i) {
        sum = checkedAdd(sum, segments.at(i).length);
    }
    return sum;
}

bool SplicePlan::hasFrames() const {
    for (int32_t i = 0; i < segments.count(); ++i) {
        if (segments.at(i).length > 0) {
            return true;
        }
    }
    return false;
}

namespace {

bool compatible(const AviHeader& first, const AviHeader& splice) {
    return first.IsAvi && splice.IsAvi && first.Width == splice.Width &&
           first.Height == splice.Height &&
           codecFamily(first.VideoFourCC) == codecFamily(splice.VideoFourCC);
}

void checkSpliceBounds(const Segment& splice, int32_t liveLength) {
    if (splice.spliceRef < 0) {
        throw RangeError(splice.fileName() + ": the splice reference " +
                         std::to_string(splice.spliceRef) + " is negative");
    }
    const int64_t end = int64_t(splice.spliceRef) + splice.length;
    if (end > liveLength) {
        throw ListIndexError(splice.fileName() + ": the splice would end at frame " +
                             std::to_string(end) + ", past the end of the plan at frame " +
                             std::to_string(liveLength));
    }
}

// A range of frames of one file, as a segment holds it.
struct Piece {
    int32_t start, length, spliceRef;
};

// Where a splice of `length` frames at `ref` goes: segment `head` is cut
// `cut` frames in, the tail T after the cut and the next `covered` - 1
// segments are overwritten whole, and of the piece after them (T itself
// when covered is 0) `kept` is left.
struct SpliceCut {
    int32_t head = 0;
    int32_t cut = 0;
    int32_t covered = 0;
    Piece kept{};
};

// The cut of a splice that checkSpliceBounds accepted.
SpliceCut findCut(const SegmentList& segments, int32_t ref, int32_t length) {
    SpliceCut c;
    int32_t s = 0;
    while (checkedAdd(s, segments.at(c.head).length) < ref) {
        s = checkedAdd(s, segments.at(c.head).length);
        ++c.head;
    }
    const Segment& head = segments.at(c.head);
    c.cut = ref - s;
    // Piece 0 is T, piece j > 0 is segment head + j.
    auto piece = [&](int32_t j) {
        if (j == 0) {
            return Piece{checkedAdd(head.start, c.cut), head.length - c.cut,
                         checkedAdd(head.spliceRef, c.cut)};
        }
        const Segment& seg = segments.at(c.head + j);
        return Piece{seg.start, seg.length, seg.spliceRef};
    };
    int32_t removed = 0;
    Piece last = piece(0);
    while (checkedAdd(removed, last.length) < length) {
        removed += last.length;
        ++c.covered;
        last = piece(c.covered);
    }
    const int32_t trim = length - removed; // 0 only for a splice without frames
    c.kept =
        Piece{checkedAdd(last.start, trim), last.length - trim, checkedAdd(last.spliceRef, trim)};
    return c;
}

} // namespace

bool SplicePlan::insertSplice(std::unique_ptr<Segment> splice) {
    if (!compatible(*segments.at(0).header, *splice->header)) {
        return false;
    }
    // Everything is checked and computed before the list changes, so a
    // refused insertion leaves the plan exactly as it was.
    checkSpliceBounds(*splice, length());
    const SpliceCut cut = findCut(segments, splice->spliceRef, splice->length);
    // The piece left is of the same file as the segment it is cut from.
    const Segment& source = segments.at(cut.head + cut.covered);
    auto rest = std::make_unique<Segment>(Segment::PieceKey{}, source, cut.kept.start,
                                          cut.kept.length, cut.kept.spliceRef);
    commitSplice(std::move(splice), std::move(rest), cut.head, cut.cut, cut.covered);
    return true;
}

void SplicePlan::commitSplice(std::unique_ptr<Segment> splice, std::unique_ptr<Segment> rest,
                              int32_t head, int32_t cut, int32_t covered) {
    // The piece left after the splice is the last new segment: it becomes
    // current, whichever segment the overwrite took away.
    currentSegment = rest->id();
    segments.at(head).length = cut;
    segments.insert(head + 1, std::move(splice));
    if (covered == 0) {
        segments.insert(head + 2, std::move(rest));
    } else {
        // T itself is covered: segments head+1 .. head+covered-1 of the old
        // list go whole and segment head+covered is replaced by what is left.
        for (int32_t j = 1; j < covered; ++j) {
            segments.deleteAt(head + 2);
        }
        segments.replace(head + 2, std::move(rest));
    }
}

void SplicePlan::currentLeft(SegmentId gone, int32_t at) {
    if (currentSegment != gone) {
        return;
    }
    if (at < segments.count()) {
        currentSegment = segments.at(at).id();
    } else if (segments.count() > 0) {
        currentSegment = segments.at(segments.count() - 1).id();
    } else {
        currentSegment = kNoSegment;
    }
}

} // namespace vidloom

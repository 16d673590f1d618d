#pragma once
// One segment of the plan: a range of frames of one file, and the reference
// frame a splice was inserted at.

#include "avi/AviHeader.h"
#include "plan/PlanState.h"
#include "plan/SegmentId.h"
#include "session/AviHeaderCache.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vidloom {

class Segment {
    // Only a segment and the plan make pieces of a segment (see below).
    struct PieceKey {
        explicit PieceKey() = default;
    };

public:
    // A whole-file segment of fileName: start 0, length the file's frame count.
    // The header record comes from cache (read there on the first use).
    Segment(const std::string& fileName, AviHeaderCache& cache);
    // The segment a state describes, with the state's id (undo and redo give
    // a segment back under the id its panel is known by). Reads nothing.
    Segment(const SegmentState& state, AviHeaderCache& cache);
    // A piece of source's file under a new id: the tail a cut leaves, or the
    // part of a segment a splice leaves after it.
    Segment(PieceKey, const Segment& source, int32_t start, int32_t length, int32_t spliceRef);
    virtual ~Segment() = default;
    Segment(const Segment&) = delete;
    Segment& operator=(const Segment&) = delete;

    // Keeps the first `offset` frames and gives the rest as a new segment
    // (start + offset, length - offset, spliceRef + offset).
    std::unique_ptr<Segment> splitAt(int32_t offset);
    // Whether video frame `frame` of the file counts as a key frame (the idx1
    // entry's key-frame bit). False, with nothing read, for a non-AVI file.
    bool isKeyFrame(int32_t frame) const;
    bool startsOnKeyFrame() const { return isKeyFrame(start); }

    SegmentId id() const { return id_; }
    SegmentState state() const { return {header, id_, start, length, spliceRef}; }
    const std::string& fileName() const { return header->FileName; }
    AviHeaderCache& cache() const { return *cache_; }

    const AviHeader* header = nullptr; // shared, owned by the cache; never null
    int32_t start = 0;
    int32_t length = 0;
    int32_t spliceRef = 0;

private:
    friend class SplicePlan; // insertSplice makes the piece left after an overwrite
    SegmentId id_;
    AviHeaderCache* cache_;
};

} // namespace vidloom

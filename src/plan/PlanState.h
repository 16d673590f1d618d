#pragma once
// The plan as plain values: what undo and redo put back. A segment is its
// header record (the cache's own, kept until the program ends), its id and
// its three numbers, so a state holds no file and restoring one reads
// nothing.

#include "plan/SegmentId.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom {

class AviHeader;
class AviHeaderCache;

struct SegmentState {
    const AviHeader* header = nullptr;
    SegmentId id = kNoSegment;
    int32_t start = 0;
    int32_t length = 0;
    int32_t spliceRef = 0;
    friend bool operator==(const SegmentState&, const SegmentState&) = default;
};

struct PlanState {
    bool hasPlan = false; // false before the first file and after undoing it
    AviHeaderCache* cache = nullptr;
    std::vector<SegmentState> segments;
    SegmentState base; // the base clip's whole-file segment (tag window, assembled name)
    std::string assembledName;
    SegmentId current = kNoSegment;

    // Whether both hold the same plan. The current segment is where the
    // user looks, not part of the plan: selecting a panel is no change.
    bool samePlan(const PlanState& other) const {
        return hasPlan == other.hasPlan && segments == other.segments && base == other.base &&
               assembledName == other.assembledName;
    }
};

} // namespace vidloom

// The plan as values and back, for undo and redo.

#include "plan/SplicePlan.h"

namespace vidloom {

SplicePlan::SplicePlan(const PlanState& state) : cache_(state.cache) {
    restore(state);
}

PlanState SplicePlan::state() const {
    PlanState state;
    state.hasPlan = true;
    state.cache = cache_;
    state.segments.reserve(size_t(segments.count()));
    for (int32_t i = 0; i < segments.count(); ++i) {
        state.segments.push_back(segments.at(i).state());
    }
    if (baseList.count() > 0) {
        state.base = baseList.at(0).state();
    }
    state.assembledName = assembledName;
    state.current = currentSegment;
    return state;
}

void SplicePlan::restore(const PlanState& state) {
    SegmentList restored;
    for (const SegmentState& segment : state.segments) {
        restored.add(std::make_unique<Segment>(segment, *cache_));
    }
    segments = std::move(restored);
    SegmentList base;
    if (state.base.header != nullptr) {
        base.add(std::make_unique<Segment>(state.base, *cache_));
    }
    baseList = std::move(base);
    assembledName = state.assembledName;
    currentSegment = segments.indexOf(state.current) >= 0 ? state.current : kNoSegment;
}

} // namespace vidloom

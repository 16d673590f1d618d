#pragma once
// The help a panel gives beyond its numbers: where the key frames around its
// start lie, and whether AviSynth will join it to the segment before.

#include "plan/Preflight.h"
#include "plan/SegmentList.h"
#include "present/PanelState.h"

#include <vector>

namespace vidloom {

// Fills keyFrameHint, canSnapPrevious/Next, joinMark and joinProblem of each
// panel (one per segment, in plan order) from the segments and
// the preflight problems. A broken index leaves the key-frame help empty.
void addPanelHints(std::vector<PanelState>& panels, const SegmentList& segments,
                   const std::vector<SpliceProblem>& problems);

} // namespace vidloom

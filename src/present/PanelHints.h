#pragma once
// The help a panel gives beyond its numbers: where the key frames around its
// start lie, and whether AviSynth will join it to the segment before.

#include "plan/Preflight.h"
#include "plan/Segment.h"
#include "present/PanelState.h"

#include <vector>

namespace vidloom {

// Fills keyFrameHint, canSnapPrevious/Next, joinMark and joinProblem of the
// panel of seg from its key frames and the preflight problems of the join
// before it. A broken index leaves the key-frame help empty.
void addPanelHints(PanelState& panel, const Segment& seg,
                   const std::vector<const SpliceProblem*>& problems);

} // namespace vidloom

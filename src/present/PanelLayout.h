#pragma once
// The panels' view model: what the panel of one segment shows, computed from
// the plan when the window shows that panel. A key-frame test that fails only
// marks its own panel.

#include "plan/Preflight.h"
#include "plan/SplicePlan.h"
#include "present/PanelState.h"

#include <cstdint>
#include <vector>

namespace vidloom {

// The panel of segment `index`, whose first frame is at plan position
// `position`; `problems` are the preflight's problems of the join before it
// (those whose later segment it is).
PanelState panelOf(const SplicePlan& plan, int32_t index, int32_t position,
                   const std::vector<const SpliceProblem*>& problems);

// Every panel of the plan, in plan order, with the preflight of every join.
std::vector<PanelState> panelsOf(const SplicePlan& plan);

} // namespace vidloom

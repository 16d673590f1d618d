#pragma once
// The log's listing of the plan: "Future Content of", the assembled name, an
// empty line, then one line per segment "from-to : path" (plan positions, the
// end one past the last frame). No plan: no lines.

#include "plan/SplicePlan.h"

#include <string>
#include <vector>

namespace vidloom {

std::vector<std::string> listingBlockOf(const SplicePlan* plan);

} // namespace vidloom

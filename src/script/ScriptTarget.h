#pragma once
// Where a script may be written: never over a file of the plan and never over
// a file that is not a text script (a video chosen by mistake in the save
// dialog, a typing slip on the command line).

#include "plan/SplicePlan.h"

#include <string>

namespace vidloom {

// "FILE: will not write a script over a video file" (or over another file of
// the plan, or a file that is not a text script) when path names one; empty
// when a script may be written there. A path that does not exist may be.
std::string scriptTargetRefusal(const std::string& path, const SplicePlan& plan);

} // namespace vidloom

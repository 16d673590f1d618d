#pragma once
// "Open Script": the plan an AviSynth script describes, its files read
// through the header cache and each range checked against its file, built
// aside so that a refusal leaves the current plan as it was.

#include "plan/SplicePlan.h"
#include "script/ScriptReader.h"

#include <memory>
#include <string>

namespace vidloom {

// The description of the script file at path (ScriptError for a script that
// is not a plan; IoError when the file cannot be read).
ScriptDescription readScriptFile(const std::string& path, const ScriptPathMap& mapBack = {});

// The plan the description gives, as "Add File" makes it: the first file is
// the base clip, every segment has splice reference 0 (a script does not
// record references), the last segment is current. A file named relative to
// the script is found beside it. A file that cannot be read, or a range past
// its file's end, raises ScriptError naming the script, the line and the file.
std::unique_ptr<SplicePlan> planFromScript(const ScriptDescription& script,
                                           const std::string& scriptPath, AviHeaderCache& cache);

} // namespace vidloom

#pragma once
// Reading an AviSynth script back as the plan it assembles: the segments in
// order, each a file, a first frame and a length. The reader takes the
// scripts Vidloom writes and the same scripts touched by hand (LF or CR LF,
// blank lines, '#' comments, any letter case of names, blanks between tokens,
// trim(a,-n), trim(a,b) with b inclusive, trim(a,0) to the end, the "++"
// operator for alignedsplice, both string forms, aviSource's utf8 argument).
// Everything else is refused. It opens no file: script/ScriptPlan.h turns the
// description into a plan.

#include "avi/Errors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vidloom {

// A script that does not describe a plan. The message names the script, the
// line and what was not understood, or the file that cannot be used.
class ScriptError : public VidloomError {
    using VidloomError::VidloomError;
};

// A length that runs from the segment's start to the end of its file: a bare
// aviSource, or trim(a,0).
inline constexpr int32_t kToTheEnd = -1;

// More segments than any plan a person builds; a script that assembles more
// (src = src ++ src, doubled line after line) is refused instead of growing.
inline constexpr int32_t kMaxScriptSegments = 50000;

struct ScriptSegment {
    int32_t file = 0; // index into ScriptDescription::files
    int32_t start = 0;
    int32_t length = kToTheEnd;
    int32_t line = 0; // the line (from 1) of the aviSource that names it
    bool operator==(const ScriptSegment&) const = default;
};

struct ScriptDescription {
    // The files in the order the script first names them, as local paths;
    // a segment refers to its file by index, so a long plan of a few files
    // holds each path once.
    std::vector<std::string> files;
    std::vector<ScriptSegment> segments;
    const std::string& fileOf(const ScriptSegment& s) const { return files[size_t(s.file)]; }
};

// Turns a path as the script names it into a local path: the reverse of the
// mapping the writer applies for the machine where AviSynth runs
// (PathMap::fromScript, script/PathMap.h). An empty function takes every path
// as it is.
using ScriptPathMap = std::function<std::string(const std::string&)>;

// The segments the script text assembles. scriptName names the script in the
// messages; ScriptError when the text is not a plan.
ScriptDescription parseScript(const std::string& text, const std::string& scriptName,
                              const ScriptPathMap& mapBack = {});

} // namespace vidloom

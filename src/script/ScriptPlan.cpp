#include "script/ScriptPlan.h"

#include "avi/BinaryFile.h"
#include "plan/PlanActions.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace vidloom {

namespace {

// Far beyond the script of any plan (50,000 segments take a few MB), and
// small enough that a wrong file chosen by mistake is not read whole.
constexpr std::uintmax_t kMaxScriptBytes = 64u << 20;

// A path the script names relative to itself, as AviSynth finds it: beside
// the script. Absolute paths, Unix or Windows, stay as they are.
std::string besideScript(const std::string& file, const std::string& scriptPath) {
    const bool drive = file.size() > 1 && file[1] == ':' &&
                       ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z'));
    const bool absolute = drive || (!file.empty() && (file[0] == '/' || file[0] == '\\'));
    return absolute ? file : splitPath(scriptPath).directory + file;
}

std::string at(const std::string& scriptPath, const ScriptSegment& s) {
    return scriptPath + ": line " + std::to_string(s.line) + ": ";
}

// The segment's frames in its file, or ScriptError naming the file.
void placeInFile(Segment& segment, const ScriptSegment& s, const std::string& scriptPath) {
    const int32_t frames = std::max(segment.header->TotalFrames, 0);
    const int64_t end = s.length == kToTheEnd ? frames : int64_t(s.start) + s.length;
    if (end > frames || (s.length == kToTheEnd && s.start > 0 && s.start >= frames)) {
        const std::string range = s.length == kToTheEnd ? "frame " + std::to_string(s.start)
                                                        : "frames " + std::to_string(s.start) +
                                                              " to " + std::to_string(end - 1);
        throw ScriptError(at(scriptPath, s) + segment.fileName() + ": " + range +
                          " past the end of the file (" + std::to_string(frames) +
                          " frames); has the file changed since the script was written?");
    }
    segment.start = s.start;
    segment.length = int32_t(end - s.start);
}

} // namespace

ScriptDescription readScriptFile(const std::string& path, const ScriptPathMap& mapBack) {
    namespace fs = std::filesystem;
    std::error_code ec;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // Reading a FIFO would wait for a writer; a folder or device is no script.
        throw IoError(path + ": cannot read the script (" + notRegularReason(st.st_mode) + ")");
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        throw IoError(path + ": cannot read the script (" + ec.message() + ")");
    }
    if (size > kMaxScriptBytes) {
        throw ScriptError(path + ": " + std::to_string(size) +
                          " bytes is too large for a script of a plan");
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        // An empty file reads nothing, which the stream reports as a failure.
        if (size != 0) {
            throw IoError(path + ": cannot read the script (" + std::strerror(errno) + ")");
        }
    }
    return parseScript(text.str(), path, mapBack);
}

std::unique_ptr<SplicePlan> planFromScript(const ScriptDescription& script,
                                           const std::string& scriptPath, AviHeaderCache& cache) {
    if (script.segments.empty()) {
        throw ScriptError(scriptPath + ": the script names no file");
    }
    // The segments are appended directly rather than through addSegment,
    // which sums the whole plan at each step: a long script opens in time
    // linear in its length.
    std::unique_ptr<SplicePlan> plan;
    int64_t total = 0;
    for (const ScriptSegment& s : script.segments) {
        const std::string file = besideScript(script.fileOf(s), scriptPath);
        try {
            std::unique_ptr<Segment> segment;
            if (!plan) {
                plan = std::make_unique<SplicePlan>(file, cache);
                segment = plan->segments.deleteAt(0);
            } else {
                segment = std::make_unique<Segment>(file, cache);
            }
            placeInFile(*segment, s, scriptPath);
            total += segment->length;
            if (total > INT32_MAX) {
                throw ScriptError(at(scriptPath, s) + segment->fileName() +
                                  ": the plan would be longer than " + std::to_string(INT32_MAX) +
                                  " frames");
            }
            plan->segments.add(std::move(segment));
        } catch (const ScriptError&) {
            throw;
        } catch (VidloomError& e) {
            e.nameFile(file);
            throw ScriptError(at(scriptPath, s) + e.message());
        }
    }
    plan->assembledName = assembledNameOf(plan->segments.at(0).fileName());
    plan->currentSegment = plan->segments.at(plan->segments.count() - 1).id();
    return plan;
}

} // namespace vidloom

// The script reader on any text: it never crashes or hangs, a refusal names
// the script and a line of it, and a script it accepts over the two files
// beside it opens as a plan whose own script reads back to the same script.

#include "FuzzInput.h"

#include "kit/AviBuilder.h"
#include "script/ScriptPlan.h"

#include <cstdio>
#include <cstdlib>

using namespace vidloom;

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "script reader broken: %s\n%s\n", what, detail.c_str());
    std::abort();
}

struct Files {
    std::string a, b;
};

// a.avi (30 frames, all key frames) and b.avi (12 frames, a key frame every 4)
// beside the script.
const Files& files() {
    static const Files made = [] {
        kit::AviBuilder a;
        a.addFrames(30, 1);
        kit::AviBuilder b;
        b.addFrames(12, 4);
        const std::string pa = a.build();
        const std::string pb = b.build();
        return Files{
            fuzz::writeInput(reinterpret_cast<const uint8_t*>(pa.data()), pa.size(), "a.avi"),
            fuzz::writeInput(reinterpret_cast<const uint8_t*>(pb.data()), pb.size(), "b.avi")};
    }();
    return made;
}

// Only the two files are ever opened: any other name becomes one that does
// not exist, so no text makes the reader open a device or a system file.
std::string confined(const std::string& path) {
    if (path == "a.avi" || path == "b.avi" || path == files().a || path == files().b) {
        return path;
    }
    return "missing.avi";
}

// A refusal reads "SCRIPT: line N: ..." with N a line of the text.
void checkRefusal(const std::string& message, const std::string& script, size_t lines) {
    const std::string prefix = script + ": line ";
    if (message.compare(0, prefix.size(), prefix) != 0) {
        broken("a refusal without its script and line", message);
    }
    const unsigned long n = std::strtoul(message.c_str() + prefix.size(), nullptr, 10);
    if (n < 1 || n > lines) {
        broken("a refusal names a line the script does not have", message);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static AviHeaderCache cache;
    files();
    const std::string script = fuzz::writeInput(data, size, "in.avs");
    size_t lines = 1;
    for (size_t i = 0; i < size; ++i) {
        lines += data[i] == '\n';
    }

    ScriptDescription read;
    try {
        read = readScriptFile(script, confined);
    } catch (const ScriptError& e) {
        checkRefusal(e.what(), script, lines);
        return 0;
    }
    if (read.segments.empty() || read.segments.size() > size_t(kMaxScriptSegments)) {
        broken("a number of segments out of range", std::to_string(read.segments.size()));
    }
    for (const ScriptSegment& s : read.segments) {
        if (s.file < 0 || size_t(s.file) >= read.files.size() || s.start < 0 ||
            (s.length < 1 && s.length != kToTheEnd) || s.line < 1 || size_t(s.line) > lines) {
            broken("a segment out of range", std::to_string(s.line));
        }
    }

    // Plans of many segments are built by the same loop as short ones; they
    // are left out so that the doubled plans stay well inside the time limit.
    if (read.segments.size() > 4096) {
        return 0;
    }
    std::unique_ptr<SplicePlan> plan;
    try {
        plan = planFromScript(read, script, cache);
    } catch (const ScriptError& e) {
        checkRefusal(e.what(), script, lines);
        return 0;
    }
    if (!plan->hasFrames() || plan->segments.count() > 1024) {
        return 0;
    }
    const std::string written = plan->buildScript() + "\r\n";
    const std::string again = fuzz::writeInput(reinterpret_cast<const uint8_t*>(written.data()),
                                               written.size(), "again.avs");
    try {
        if (planFromScript(readScriptFile(again, confined), again, cache)->buildScript() + "\r\n" !=
            written) {
            broken("the written script reads back as another plan", written);
        }
    } catch (const VidloomError& e) {
        broken("the written script does not read back", e.what());
    }
    return 0;
}

#include "cli/Commands.h"

#include "avi/Version.h"

#include <filesystem>
#include <ostream>

namespace vidloom::cli {

namespace {
const char* const kUsage =
    "Usage:\n"
    "  vidloom-cli info [--json] FILE...\n"
    "  vidloom-cli keyframes FILE\n"
    "  vidloom-cli plan BASE [--append FILE | --splice FILE | --splice-at REF FILE]...\n"
    "                        [--script OUT] [--json]\n"
    "  vidloom-cli plan --from SCRIPT.avs [the same options]\n"
    "  vidloom-cli frame FILE N [--width W] -o OUT.png\n"
    "  vidloom-cli frame --from SCRIPT.avs P [--width W] -o OUT.png\n"
    "  vidloom-cli --help | --version\n"
    "\n"
    "info       the information report of each AVI file (--json: the header fields and tags)\n"
    "keyframes  the numbers of the video frames whose index entry has the key-frame bit\n"
    "plan       builds a splice plan as the window does and prints its listing;\n"
    "           --script OUT writes its AviSynth script (- for stdout);\n"
    "           --from starts from the plan a script describes\n"
    "frame      writes frame N of FILE (numbered as AviSource numbers them) as a PNG file,\n"
    "           scaled to width W when given (needs a build with FFmpeg's libraries);\n"
    "           --from: frame P of the assembled plan the script describes; a width\n"
    "           above 4 times the frame's own or above 8192 is reduced to that, with a note\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read, 2 usage error, 3 a splice was refused.\n";
} // namespace

std::string absolutePath(const std::string& path) {
    if (path.empty() || path == "-") {
        return path;
    }
    return std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
}

int runCli(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args.front();
    const Args rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return 0;
    }
    if (command == "--version") {
        out << titleLine() << "\n";
        return 0;
    }
    if (command == "info") {
        return runInfo(rest, out, err);
    }
    if (command == "keyframes") {
        return runKeyframes(rest, out, err);
    }
    if (command == "frame") {
        return runFrame(rest, out, err);
    }
    if (command == "plan") {
        return runPlan(rest, out, err);
    }
    err << "vidloom-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
}

} // namespace vidloom::cli

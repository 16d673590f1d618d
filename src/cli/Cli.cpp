#include "cli/Commands.h"

#include "avi/Version.h"

#include <filesystem>
#include <ostream>

namespace vidloom::cli {

namespace {
const char* const kUsage =
    "Usage:\n"
    "  vidloom-cli info [--json] FILE...\n"
    "  vidloom-cli keyframes FILE [--near N]\n"
    "  vidloom-cli plan BASE [--append FILE | --splice FILE | --splice-at REF FILE]...\n"
    "                        [--snap prev|next] [--strict] [--path-map FROM=TO]... [--wine]\n"
    "                        [--script OUT] [--json]\n"
    "  vidloom-cli plan --from SCRIPT.avs [the same options]\n"
    "  vidloom-cli frame FILE N [--width W] -o OUT.png\n"
    "  vidloom-cli frame --from SCRIPT.avs P [--path-map FROM=TO]... [--wine]\n"
    "                    [--width W] -o OUT.png\n"
    "  vidloom-cli --help | --version\n"
    "\n"
    "info       the information report of each AVI file (--json: the header fields and tags)\n"
    "keyframes  the numbers of the video frames whose index entry has the key-frame bit;\n"
    "           --near N prints the last key frame at or before N and the first after it\n"
    "           (- where there is none)\n"
    "plan       builds a splice plan as the window does and prints its listing:\n"
    "           --append FILE      adds FILE at the end (\"Add File\")\n"
    "           --splice FILE      inserts FILE at the first run of digits in its name\n"
    "           --splice-at REF FILE  inserts FILE at frame REF (\"Add Splice\")\n"
    "           --from SCRIPT.avs  starts from the plan a script describes\n"
    "           --snap prev|next   moves every start that is not on a key frame to the\n"
    "                              key frame before / after it\n"
    "           --strict           writes no script when AviSynth would refuse a join\n"
    "           --path-map FROM=TO names files under FROM as TO where AviSynth runs\n"
    "                              (repeatable; the first that holds a file wins)\n"
    "           --wine             names every file as Wine shows it (/ as Z:\\), after\n"
    "                              the --path-map mappings\n"
    "           --script OUT       writes the AviSynth script (- for stdout)\n"
    "           --json             prints the plan as JSON instead of the listing\n"
    "frame      writes frame N of FILE (numbered as AviSource numbers them) as a PNG file,\n"
    "           scaled to width W when given (needs a build with FFmpeg's libraries);\n"
    "           --from: frame P of the assembled plan the script describes; a width\n"
    "           above 4 times the frame's own or above 8192 is reduced to that, with a note\n"
    "\n"
    "Exit status:\n"
    "  0  everything asked for was done\n"
    "  1  a file could not be read or is not an AVI file, or a script would go over\n"
    "     a video or another file of the plan (the message names it and says why)\n"
    "  2  usage error\n"
    "  3  the plan was built, but a splice was refused (each refusal on stderr)\n"
    "  4  plan --strict: AviSynth would refuse a join; no script was written\n";
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

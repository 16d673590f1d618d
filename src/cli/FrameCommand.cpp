// vidloom-cli frame FILE N [--width W] -o OUT.png: frame N of FILE, numbered
// as AviSynth's AviSource numbers frames, decoded through FFmpeg and written
// as a PNG file, scaled to width W (keeping the aspect ratio) when given.
// vidloom-cli frame --from SCRIPT.avs P ...: frame P of the assembled plan
// the script describes, the picture the Viewer shows for P.

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "present/PlanPositions.h"
#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "preview/PreviewErrors.h"
#include "script/PathMap.h"
#include "script/ScriptPlan.h"
#include "session/PlanSession.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace vidloom::cli {

namespace {

const char* const kFrameUsage =
    "Usage: vidloom-cli frame FILE N [--width W] -o OUT.png\n"
    "       vidloom-cli frame --from SCRIPT.avs P [--path-map FROM=TO]... [--wine]\n"
    "                             [--width W] -o OUT.png\n"
    "A width above 4 times the frame's own width, or above 8192, is reduced to that\n"
    "bound (a note on stderr says so).\n";

// Wider than this helps nobody look at a frame, and a PNG of it takes gigabytes.
constexpr int64_t kMaxWidth = 8192;
constexpr int64_t kMaxEnlargement = 4;

struct UsageError {
    std::string message;
};

std::optional<int64_t> decimal(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

struct Request {
    std::optional<std::string> script; // --from
    // How the script's paths map back to this machine (as plan --from).
    std::vector<PathMap::Mapping> paths;
    std::string file;
    std::string frameText;
    int64_t frame = 0;
    int32_t width = 0;
    std::string out;
};

void takeWidth(Request& request, const std::string& text) {
    const std::optional<int64_t> width = decimal(text);
    if (!width || *width < 1 || *width > 16384) {
        throw UsageError{"--width: '" + text + "' is not a width from 1 to 16384"};
    }
    request.width = int32_t(*width);
}

Request parse(const Args& args) {
    Request request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{"missing argument after " + arg};
            }
            return args[++i];
        };
        if (arg == "-o" || arg == "--output") {
            if (!request.out.empty()) {
                throw UsageError{"-o given twice"};
            }
            request.out = value();
            if (request.out.empty()) {
                throw UsageError{"-o needs a file name"};
            }
        } else if (arg == "--width") {
            takeWidth(request, value());
        } else if (arg == "--path-map") {
            const std::string& text = value();
            const std::optional<PathMap::Mapping> mapping = PathMap::parse(text);
            if (!mapping) {
                throw UsageError{"--path-map: '" + text + "' is not FROM=TO"};
            }
            request.paths.push_back(*mapping);
        } else if (arg == "--wine") {
            const PathMap wine = PathMap::wine();
            request.paths.insert(request.paths.end(), wine.mappings().begin(),
                                 wine.mappings().end());
        } else if (arg == "--from") {
            if (request.script) {
                throw UsageError{"--from given twice"};
            }
            request.script = value();
        } else if (arg.size() > 1 && arg[0] == '-' && !decimal(arg)) {
            // "-3" is a frame number (out of range), not an option.
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            positional.push_back(arg);
        }
    }
    const size_t expected = request.script ? 1 : 2;
    if (positional.size() != expected) {
        throw UsageError{request.script ? "expected SCRIPT.avs and P" : "expected FILE and N"};
    }
    if (request.out.empty()) {
        throw UsageError{"missing -o OUT.png"};
    }
    if (!request.script) {
        if (!request.paths.empty()) {
            throw UsageError{"--path-map and --wine go with --from"};
        }
        request.file = absolutePath(positional[0]);
    }
    request.frameText = positional.back();
    const std::optional<int64_t> frame = decimal(request.frameText);
    if (!frame) {
        throw UsageError{(request.script ? "P: '" : "N: '") + request.frameText +
                         "' is not a frame number"};
    }
    request.frame = *frame;
    return request;
}

// Frame P of the script's plan: its file and its frame there.
std::pair<std::string, int32_t> planFrame(const Request& request) {
    const std::string script = absolutePath(*request.script);
    const PathMap paths(request.paths);
    PlanSession session(0);
    session.openScript(script, [&paths](const std::string& p) { return paths.fromScript(p); });
    const PlanPositions& positions = session.positions();
    const int32_t total = positions.total();
    std::optional<PlanFrame> f;
    if (request.frame >= INT32_MIN && request.frame <= INT32_MAX) {
        f = positions.at(int32_t(request.frame));
    }
    if (!f) {
        throw RangeError(script + ": frame " + request.frameText +
                         " is out of range: the plan has " + std::to_string(total) + " frames" +
                         (total > 0 ? " (0 to " + std::to_string(total - 1) + ")" : ""));
    }
    return {f->fileName(), f->frame};
}

// The width asked for, within what can help a person look at the frame.
int32_t boundedWidth(int32_t asked, int32_t frameWidth, std::ostream& err) {
    int64_t bound = kMaxWidth;
    if (frameWidth > 0) {
        bound = std::min(bound, int64_t(frameWidth) * kMaxEnlargement);
    }
    if (asked <= bound) {
        return asked;
    }
    err << "vidloom-cli frame: note: --width " << asked << " is more than 4 times the frame's "
        << "width (" << frameWidth << ") or more than " << kMaxWidth << "; writing it " << bound
        << " wide\n";
    return int32_t(bound);
}

} // namespace

int runFrame(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kFrameUsage;
        return 0;
    }
    Request request;
    try {
        request = parse(args);
    } catch (const UsageError& e) {
        err << "vidloom-cli frame: " << e.message << "\n" << kFrameUsage;
        return 2;
    }
    if (!preview::previewsBuiltIn()) {
        err << "vidloom-cli frame: previews are not built in (this build has no FFmpeg "
               "libraries)\n";
        return 1;
    }
    try {
        AviHeaderCache cache;
        std::string file = request.file;
        int32_t frame = 0;
        if (request.script) {
            std::tie(file, frame) = planFrame(request);
        } else if (request.frame < INT32_MIN || request.frame > INT32_MAX) {
            throw RangeError(request.file + ": frame " + request.frameText + " is out of range");
        } else {
            frame = int32_t(request.frame);
        }
        int32_t width = request.width;
        if (width > 0) {
            width = boundedWidth(width, cache.get(file).Width, err);
        }
        preview::FrameReader reader;
        const auto picture = reader.frame(file, frame, preview::Size{width, 0});
        preview::writePng(*picture, request.out);
    } catch (const VidloomError& e) {
        err << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace vidloom::cli

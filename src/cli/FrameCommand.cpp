// vidloom-cli frame FILE N [--width W] -o OUT.png: frame N of FILE, numbered
// as AviSynth's AviSource numbers frames, decoded through FFmpeg and written
// as a PNG file, scaled to width W (keeping the aspect ratio) when given.

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "preview/PreviewErrors.h"

#include <charconv>
#include <optional>
#include <ostream>

namespace vidloom::cli {

namespace {

const char* const kFrameUsage = "Usage: vidloom-cli frame FILE N [--width W] -o OUT.png\n";

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
    std::string file;
    std::string frameText;
    int64_t frame = 0;
    int32_t width = 0;
    std::string out;
};

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
            const std::string& text = value();
            const std::optional<int64_t> width = decimal(text);
            if (!width || *width < 1 || *width > 16384) {
                throw UsageError{"--width: '" + text + "' is not a width from 1 to 16384"};
            }
            request.width = int32_t(*width);
        } else if (arg.size() > 1 && arg[0] == '-' && !decimal(arg)) {
            // "-3" is a frame number (out of range), not an option.
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        throw UsageError{"expected FILE and N"};
    }
    if (request.out.empty()) {
        throw UsageError{"missing -o OUT.png"};
    }
    request.file = absolutePath(positional[0]);
    request.frameText = positional[1];
    const std::optional<int64_t> frame = decimal(positional[1]);
    if (!frame) {
        throw UsageError{"N: '" + positional[1] + "' is not a frame number"};
    }
    request.frame = *frame;
    return request;
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
        if (request.frame < INT32_MIN || request.frame > INT32_MAX) {
            throw RangeError(request.file + ": frame " + request.frameText + " is out of range");
        }
        preview::FrameReader reader;
        const auto picture =
            reader.frame(request.file, int32_t(request.frame), preview::Size{request.width, 0});
        preview::writePng(*picture, request.out);
    } catch (const VidloomError& e) {
        err << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace vidloom::cli

// vidloom-cli keyframes FILE [--near N]: the video frames that the window's
// panels count as key frames (the idx1 entry's key-frame bit), one number per
// line; with --near N the last one at or before N and the first one after N.

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "plan/FileNames.h"
#include "plan/KeyFrameSnap.h"
#include "session/AviHeaderCache.h"

#include <optional>
#include <ostream>
#include <vector>

namespace vidloom::cli {

namespace {
const char* const kKeyframesUsage = "Usage: vidloom-cli keyframes FILE [--near N]\n";

std::string frameOrDash(const std::optional<int32_t>& frame) {
    return frame ? std::to_string(*frame) : "-";
}
} // namespace

int runKeyframes(const Args& args, std::ostream& out, std::ostream& err) {
    AviHeaderCache cache;
    return runKeyframes(args, out, err, cache);
}

int runKeyframes(const Args& args, std::ostream& out, std::ostream& err, AviHeaderCache& cache) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kKeyframesUsage;
        return 0;
    }
    std::optional<int32_t> near;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--near") {
            near = i + 1 < args.size() ? textToInt32(args[i + 1]) : std::nullopt;
            if (!near) {
                err << "vidloom-cli keyframes: --near needs a frame number\n" << kKeyframesUsage;
                return 2;
            }
            ++i;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            err << "vidloom-cli keyframes: unknown option '" << args[i] << "'\n" << kKeyframesUsage;
            return 2;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 1) {
        err << "vidloom-cli keyframes: expected exactly one FILE\n" << kKeyframesUsage;
        return 2;
    }
    const std::string path = absolutePath(files[0]);
    try {
        const AviHeader& info = cache.get(path);
        if (!info.IsAvi) {
            err << path << ": " << info.Report << "\n";
            return 1;
        }
        const std::shared_ptr<const KeyFrameIndex> index = cache.keyFrames(info);
        if (!index->fileError().empty()) {
            // No entry can be read at all: that is a failure, not a file
            // without key frames.
            index->fileError().raise();
        }
        if (!info.KeyFramesKnown) {
            throw IoError(path + ": cannot tell its key frames: the index was rebuilt from the "
                                 "movie data and Vidloom does not read this codec's frame headers");
        }
        if (near && *near >= index->videoFrames()) {
            throw RangeError(path + ": no frame " + std::to_string(*near) + ": the file has " +
                             std::to_string(index->videoFrames()) + " frames");
        }
        if (near) {
            const NearKeyFrames around = nearKeyFrames(*index, *near);
            out << frameOrDash(around.previous) << " " << frameOrDash(around.next) << "\n";
            return 0;
        }
        for (int32_t n = 0; n < index->videoFrames(); ++n) {
            if (index->isKeyFrame(n)) {
                out << n << "\n";
            }
        }
        if (index->truncated()) {
            // The rest of the index cannot be read: say so after what could.
            index->walkError().raise();
        }
    } catch (const VidloomError& e) {
        out.flush();
        err << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace vidloom::cli

// vidloom-cli keyframes FILE: the video frames that the window's panels count
// as key frames (the idx1 entry's key-frame bit), one number per line.

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "splice/AviHeaderCache.h"

#include <ostream>

namespace vidloom::cli {

namespace {
const char* const kKeyframesUsage = "Usage: vidloom-cli keyframes FILE\n";
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
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        err << "vidloom-cli keyframes: expected exactly one FILE\n" << kKeyframesUsage;
        return 2;
    }
    const std::string path = absolutePath(args[0]);
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
        for (int32_t n = 0; n < index->videoFrames(); ++n) {
            if (index->isKeyFrame(n)) {
                out << n << "\n";
            }
        }
        if (index->readableEntries() < index->entryCount()) {
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

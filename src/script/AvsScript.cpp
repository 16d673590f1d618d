// The AviSynth script of the plan and the "Generate AVS" file steps.

#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/PlanActions.h"
#include "plan/SplicePlan.h"
#include "script/ScriptPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vidloom {

std::string SplicePlan::buildScript(const PathMap& paths) const {
    // Each segment contributes exactly its own frames: trim(START,-LENGTH)
    // is frames START .. START+LENGTH-1 of the file. The first line is trimmed
    // too, so the script means the same frames whatever count the source
    // gives. A segment without frames adds nothing, so it writes no line.
    std::string script;
    bool first = true;
    for (int32_t i = 0; i < segments.count(); ++i) {
        const Segment& seg = segments.at(i);
        if (seg.length <= 0) {
            continue;
        }
        const std::string source = aviSourceCall(seg.fileName(), paths) + ".trim(" +
                                   intToText(seg.start) + ",-" + intToText(seg.length) + ")";
        if (first) {
            script += "src = " + source + "\r\n";
            first = false;
        } else {
            script += "src = alignedsplice( src , " + source + " )\r\n";
        }
    }
    return script + "return src";
}

std::string scriptFileText(const SplicePlan& plan, const PathMap& paths) {
    return plan.buildScript(paths) + "\r\n";
}

namespace {
std::string reason() {
    return std::strerror(errno);
}

// Writes all of text to fd; false with errno set when the system refuses.
bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += size_t(n);
    }
    return true;
}
} // namespace

void writeFileAtomically(const std::string& path, const std::string& text) {
    namespace fs = std::filesystem;
    fs::path target(path);
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        // Replace the file the link names, not the link.
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temp = (folder / ("." + target.filename().string() + ".vidloom-XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        throw IoError(path + ": cannot create the script file (" + reason() + ")");
    }

    // The new file gets the old one's permissions, or the usual ones for a
    // new file (mkstemp makes it private to the user).
    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    auto fail = [&](const std::string& what) {
        const std::string why = reason();
        ::close(fd);
        ::unlink(temp.c_str());
        throw IoError(path + ": " + what + " (" + why + ")");
    };
    if (::fchmod(fd, mode) != 0) {
        fail("cannot set the permissions of the script file");
    }
    if (!writeAll(fd, text)) {
        fail("cannot write the script file");
    }
    if (::fsync(fd) != 0) {
        fail("cannot write the script file to disk");
    }
    if (::close(fd) != 0) {
        const std::string why = reason();
        ::unlink(temp.c_str());
        throw IoError(path + ": cannot close the script file (" + why + ")");
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const std::string why = reason();
        ::unlink(temp.c_str());
        throw IoError(path + ": cannot replace the file with the new script (" + why + ")");
    }
}

} // namespace vidloom

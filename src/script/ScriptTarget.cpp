#include "script/ScriptTarget.h"

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unordered_set>

namespace vidloom {

namespace {

namespace fs = std::filesystem;

// The file a path names, links and "." / ".." resolved, so that two names of
// one file compare equal.
std::string sameFileKey(const std::string& path) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path : resolved.string();
}

enum class Content { Text, Riff, Binary };

// What the first bytes of an existing file look like: a RIFF file (AVI,
// WAV), some other binary file (a NUL byte), or text.
Content contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[65536];
    in.read(head, sizeof head);
    const std::streamsize n = in.gcount();
    if (n >= 4 && std::string(head, 4) == "RIFF") {
        return Content::Riff;
    }
    for (std::streamsize i = 0; i < n; ++i) {
        if (head[i] == '\0') {
            return Content::Binary;
        }
    }
    return Content::Text;
}

} // namespace

std::string scriptTargetRefusal(const std::string& path, const SplicePlan& plan) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {}; // a new file (a folder that is not there fails when writing)
    }
    if (!S_ISREG(st.st_mode)) {
        // Reading a FIFO to look at it would wait for a writer.
        return path + ": will not write a script there (" + notRegularReason(st.st_mode) + ")";
    }
    const std::string target = sameFileKey(path);
    std::unordered_set<const AviHeader*> seen;
    auto isTarget = [&](const Segment& seg) {
        return seen.insert(seg.header).second && sameFileKey(seg.fileName()) == target;
    };
    for (int32_t i = 0; i < plan.segments.count(); ++i) {
        if (isTarget(plan.segments.at(i))) {
            return path + (plan.segments.at(i).header->IsAvi
                               ? ": will not write a script over a video file"
                               : ": will not write a script over a file of the plan");
        }
    }
    if (plan.baseList.count() > 0 && isTarget(plan.baseList.at(0))) {
        return path + ": will not write a script over a video file";
    }
    switch (contentOf(path)) {
    case Content::Riff:
        return path + ": will not write a script over a video file";
    case Content::Binary:
        return path + ": will not write a script over a file that is not a text script";
    case Content::Text:
        break;
    }
    return {};
}

} // namespace vidloom

#include "script/PathMap.h"

#include <algorithm>

namespace vidloom {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The name without the separators that end it ("/" gives "", "Z:\" gives "Z:").
std::string withoutTrailingSeparators(std::string name) {
    while (!name.empty() && isSeparator(name.back())) {
        name.pop_back();
    }
    return name;
}

char foldAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool startsWithFolded(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return foldAscii(a) == foldAscii(b); });
}

// A name that is itself a POSIX folder ("/mnt/video") keeps '/' as its
// separator; a Windows name ("V:\", "\\nas\video") takes '\'.
bool isPosixName(const std::string& name) {
    return !name.empty() && name.front() == '/';
}

std::string replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

} // namespace

PathMap::PathMap(std::vector<Mapping> mappings) : mappings_(std::move(mappings)) {}

PathMap PathMap::wine() {
    return PathMap(std::vector<Mapping>{{"/", "Z:\\"}});
}

std::optional<PathMap::Mapping> PathMap::parse(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        return std::nullopt;
    }
    return Mapping{text.substr(0, eq), text.substr(eq + 1)};
}

std::string PathMap::toScript(const std::string& path) const {
    for (const Mapping& m : mappings_) {
        const std::string folder = withoutTrailingSeparators(m.from);
        if (m.from.empty() || path.compare(0, folder.size(), folder) != 0) {
            continue;
        }
        if (path.size() == folder.size()) {
            return m.to;
        }
        if (path[folder.size()] != '/') {
            continue; // "/mnt/videos" is not inside "/mnt/video"
        }
        if (isPosixName(m.to)) {
            return withoutTrailingSeparators(m.to) + "/" + path.substr(folder.size() + 1);
        }
        const std::string rest = replaced(path.substr(folder.size() + 1), '/', '\\');
        return withoutTrailingSeparators(m.to) + "\\" + rest;
    }
    return path;
}

std::string PathMap::fromScript(const std::string& path) const {
    for (const Mapping& m : mappings_) {
        const std::string name = withoutTrailingSeparators(m.to);
        if (m.from.empty() || m.to.empty()) {
            continue;
        }
        const bool posix = isPosixName(m.to);
        // POSIX names are compared as they are; Windows ignores letter case.
        if (posix ? path.compare(0, name.size(), name) != 0 : !startsWithFolded(path, name)) {
            continue;
        }
        if (path.size() > name.size() && !isSeparator(path[name.size()])) {
            continue;
        }
        const std::string folder = withoutTrailingSeparators(m.from);
        if (path.size() <= name.size() + 1) {
            return folder.empty() ? "/" : folder; // the folder itself
        }
        const std::string rest = path.substr(name.size() + 1);
        return folder + "/" + (posix ? rest : replaced(rest, '\\', '/'));
    }
    return path;
}

} // namespace vidloom

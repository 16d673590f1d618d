#include "preview/ModuleLoader.h"

#include "preview/PreviewErrors.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>
#include <variant>

namespace vidloom::preview {

namespace {

namespace fs = std::filesystem;

// What loading gave: the module's functions, or why there are none.
using Loaded = std::variant<const ModuleApi*, std::string>;

std::string dlerrorText(const std::string& path) {
    const char* text = dlerror();
    std::string reason = text ? text : "unknown reason";
    // dlerror names the file for some failures and not for others (a missing
    // FFmpeg library names only that library); the path is given once.
    const std::string prefix = path + ": ";
    if (reason.compare(0, prefix.size(), prefix) == 0) {
        reason.erase(0, prefix.size());
    }
    return path + ": " + reason;
}

Loaded load() {
    const std::vector<std::string> candidates = moduleCandidates();
    std::string path;
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (fs::exists(candidate, ec)) {
            path = candidate;
            break;
        }
    }
    if (path.empty()) {
        std::string where;
        for (const std::string& candidate : candidates) {
            where += (where.empty() ? "" : " or ") + candidate;
        }
        if (where.empty()) {
            return std::string("the program's own path cannot be read to find ") +
                   VIDLOOM_PREVIEW_MODULE_NAME;
        }
        return "there is no " + where;
    }
    // Never closed: decoders and their pictures may live until the process ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        return dlerrorText(path);
    }
    const auto entry = reinterpret_cast<ModuleEntry>(dlsym(handle, VIDLOOM_PREVIEW_MODULE_ENTRY));
    if (!entry) {
        return dlerrorText(path);
    }
    const ModuleApi* api = entry();
    if (!api || api->layout != kModuleLayout) {
        return path + ": made by another build of Vidloom";
    }
    return api;
}

} // namespace

std::vector<std::string> moduleCandidates() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) {
        return {};
    }
    const fs::path folder = self.parent_path();
    return {(folder / VIDLOOM_PREVIEW_MODULE_NAME).string(),
            (folder.parent_path() / "lib" / "vidloom" / VIDLOOM_PREVIEW_MODULE_NAME).string()};
}

const ModuleApi& previewModule() {
    static const Loaded loaded = load();
    if (const auto* api = std::get_if<const ModuleApi*>(&loaded)) {
        return **api;
    }
    throw PreviewModuleNotLoaded(std::get<std::string>(loaded));
}

} // namespace vidloom::preview

#pragma once
// Where the files of a plan lie on the machine where AviSynth runs. AviSynth's
// AviSource exists only on Windows, so a script written on Linux is used under
// Wine (which shows "/" as "Z:\") or on a Windows machine that reaches the
// files through a share. Each mapping turns a folder prefix of a local path
// into what that folder is called there; the first mapping that fits wins.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vidloom {

class PathMap {
public:
    struct Mapping {
        std::string from; // a local folder, "/" for the whole file system
        std::string to;   // what it is called where AviSynth runs ("Z:\", "\\nas\video")
        friend bool operator==(const Mapping&, const Mapping&) = default;
    };

    PathMap() = default;
    explicit PathMap(std::vector<Mapping> mappings);
    // The one-click case: the whole file system as Wine's drive Z:.
    static PathMap wine();
    // "FROM=TO" as the command line and the settings write it; nullopt when
    // there is no '=' or FROM is empty.
    static std::optional<Mapping> parse(const std::string& text);

    bool empty() const { return mappings_.empty(); }
    const std::vector<Mapping>& mappings() const { return mappings_; }

    // The path the script names for a local path: the first mapping whose
    // folder holds path replaces that folder by its other name, and every '/'
    // after it becomes '\'. A path no mapping holds is returned as it is.
    std::string toScript(const std::string& path) const;
    // The local path of a path a script names, mapped back with the same
    // list: the first mapping whose other name starts the path (letter case
    // ignored, as Windows does) gives its folder back, '\' turning into '/'.
    std::string fromScript(const std::string& path) const;

    friend bool operator==(const PathMap&, const PathMap&) = default;

private:
    std::vector<Mapping> mappings_;
};

} // namespace vidloom

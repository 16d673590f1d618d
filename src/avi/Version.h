#pragma once
// The program's title line: name, version number and build number. The main
// window shows it as its caption and vidloom-cli --version prints it.

#include <string>

namespace vidloom {

inline std::string titleLine() {
    return std::string("Vidloom ") + VIDLOOM_VERSION + " (build " + VIDLOOM_BUILD_NUMBER + ")";
}

} // namespace vidloom

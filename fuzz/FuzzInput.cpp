#include "FuzzInput.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace vidloom::fuzz {

namespace {
std::string folder() {
    static const std::string dir = [] {
        const std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        const auto d = base / ("vidloom-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir;
}
} // namespace

std::string writeInput(const uint8_t* data, size_t size, const std::string& slot) {
    const std::string path = folder() + "/" + slot;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        throw std::runtime_error("cannot write " + path);
    }
    std::fclose(f);
    return path;
}

} // namespace vidloom::fuzz

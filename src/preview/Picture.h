#pragma once
// A decoded frame as the preview shows it: 8-bit RGB, rows packed, top row first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vidloom::preview {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    // The video entry whose data the picture shows: the frame asked for, or the
    // last non-empty entry before it when that frame is dropped (size 0); -1
    // for a dropped frame with no picture before it (shown black).
    int32_t sourceEntry = -1;
    std::vector<uint8_t> rgb; // width * height * 3 bytes

    size_t bytes() const { return rgb.size() + sizeof(Picture); }
};

// A box a picture is scaled to fit, keeping its aspect ratio; 0 leaves that
// side free, and {0, 0} is the file's own size.
struct Size {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The size of a width x height picture scaled to fit box (at least 1 x 1).
Size fitInto(int32_t width, int32_t height, Size box);

} // namespace vidloom::preview

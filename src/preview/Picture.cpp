#include "preview/Picture.h"

#include <algorithm>
#include <cmath>

namespace vidloom::preview {

Size fitInto(int32_t width, int32_t height, Size box) {
    if (width <= 0 || height <= 0) {
        return {std::max(box.width, 1), std::max(box.height, 1)};
    }
    double scale = 1.0;
    if (box.width > 0 && box.height > 0) {
        scale = std::min(double(box.width) / width, double(box.height) / height);
    } else if (box.width > 0) {
        scale = double(box.width) / width;
    } else if (box.height > 0) {
        scale = double(box.height) / height;
    }
    const auto side = [scale](int32_t v) {
        return int32_t(std::clamp(std::lround(v * scale), 1L, 16384L));
    };
    return {side(width), side(height)};
}

} // namespace vidloom::preview

#pragma once
// The picture layout of a JPEG image (a Motion JPEG frame) from its frame
// header: the sampling factors of its components, their precision, and what
// says the components are R, G, B rather than Y, Cb, Cr.

#include "avi/colour/PixelLayout.h"

#include <optional>
#include <string_view>

namespace vidloom {

// nullopt when the bytes hold no frame header before the scan or one whose
// layout a decoder gives in no common form (four components, odd sampling).
std::optional<PixelLayout> jpegLayout(std::string_view image);

} // namespace vidloom

#pragma once
// The picture layout of an H.264 stream from its sequence parameter set: the
// chroma format and the bit depth.

#include "avi/colour/PixelLayout.h"

#include <optional>
#include <string_view>

namespace vidloom {

// The first SPS found in the stream format's extra data (an avcC record or
// Annex B start codes) or else in the first frame (Annex B, or NAL units with
// 4-byte length prefixes); nullopt when there is none or it is damaged.
std::optional<PixelLayout> h264Layout(std::string_view extraData, std::string_view firstFrame);

} // namespace vidloom

#pragma once
// The colour format of a HuffYUV stream (and of ffmpeg's variant, FFVH) from
// the extra data of its stream format, or its bit count where that is missing.

#include <optional>
#include <string>
#include <string_view>

namespace vidloom {

std::optional<std::string> huffYuvFormat(std::string_view extraData, int bitCount);

} // namespace vidloom

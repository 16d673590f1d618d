#pragma once
// The picture layouts of MPEG-1/2 video (the sequence header and its
// extension) and of MPEG-4 part 2 (the video object layer header).

#include "avi/colour/PixelLayout.h"

#include <optional>
#include <string_view>

namespace vidloom {

// From the first sequence header: 4:2:0 for MPEG-1 (no sequence extension),
// else the extension's chroma_format; nullopt without a sequence header.
std::optional<PixelLayout> mpeg12Layout(std::string_view stream);

// MPEG-4 part 2 codes only 4:2:0 pictures outside its studio profiles: the
// first VOL header's chroma_format, where it states one, must say so, else
// nullopt. A stream without a VOL header in the bytes given is 4:2:0.
std::optional<PixelLayout> mpeg4Part2Layout(std::string_view stream);

} // namespace vidloom

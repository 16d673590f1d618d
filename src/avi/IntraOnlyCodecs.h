#pragma once
// Codecs that store every frame whole (motion JPEG, DV, uncompressed and
// lossless intra codecs): every frame of such a stream is a key frame, whatever
// flags its writer put in the index.

#include <string>

namespace vidloom {

// Whether the stream header's handler or the format's compression code names
// an intra-only codec (letter case ignored; biCompression 0 is uncompressed).
bool isIntraOnlyCodec(const std::string& handler, const std::string& compression);

} // namespace vidloom

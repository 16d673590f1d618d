#pragma once
// Which video codes name the same kind of compression. Writers tag one codec
// with many FourCCs (Xvid, DivX 5 and FFmpeg all write MPEG-4 part 2, in any
// letter case), and a decoder for one reads the others: a splice is refused
// only across families, and a difference inside a family is left to the
// preflight, which knows what the decoder will output.

#include <string>

namespace vidloom {

// The family of a FourCC ("MPEG-4", "H.264", "Motion JPEG", ...), letter case
// ignored; a code of no known family is a family of its own (the code in upper
// case).
std::string codecFamily(const std::string& fourcc);

} // namespace vidloom

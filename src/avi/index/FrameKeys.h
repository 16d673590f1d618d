#pragma once
// Whether a frame is a key frame, told by the frame's own first bytes, for an
// index rebuilt from the movie data (whose chunks carry no key-frame flags).
// A few header bits are read; nothing is decoded.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vidloom {

enum class FrameKeyRule {
    Unknown,    // a codec whose frame headers Vidloom does not read
    EveryFrame, // an intra-only codec: every frame stands alone
    Mpeg4Part2, // the VOP's coding type
    H264,       // an IDR picture, or a picture of I slices
    Mpeg12,     // the picture coding type
};

// The rule for the video's FourCCs (the stream header's handler and the
// format's compression code).
FrameKeyRule frameKeyRuleOf(const std::string& handler, const std::string& compression);

// How many of a frame's first bytes the rule needs to look at.
size_t frameKeyBytes(FrameKeyRule rule);

// Whether the frame whose first bytes are data[0, size) starts a key frame.
// A frame of size 0 (a dropped frame) never does.
bool isKeyFrameData(FrameKeyRule rule, const uint8_t* data, size_t size);

} // namespace vidloom

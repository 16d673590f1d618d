#pragma once
// The colour format AviSource's decoder will output for a video stream, in
// AviSynth's names (YV12, YV16, YV24, YUY2, RGB24, RGB32, Y8, YUV420P10...),
// read from the codec's own headers: the stream format (BITMAPINFOHEADER and
// the extra data after it) and, for codecs that keep their headers in the
// frames, the first frame. It takes plain bytes, so it does not depend on how
// the file's chunks were found.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vidloom {

// Gives at most maxBytes of the first video frame's data (empty when there
// is none); asked only by codecs whose headers lie in the frames.
using FirstFrameReader = std::function<std::string(size_t maxBytes)>;

// handler: the stream header's fccHandler; format: the video stream format's
// bytes (strf data). nullopt when the headers do not tell (an unknown codec,
// a damaged header, a codec whose decoders differ in what they give).
std::optional<std::string> colourFormatOf(std::string_view handler, std::string_view format,
                                          const FirstFrameReader& firstFrame);

} // namespace vidloom

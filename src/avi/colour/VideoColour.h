#pragma once
// The colour format of an AVI file's video, read from its file: the video
// stream format's bytes and, where the codec wants them, its first frame.

#include "avi/BinaryFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vidloom {

struct VideoColourPlaces {
    std::string handler;     // the stream header's fccHandler
    int64_t formatWord = -1; // offset of the word "strf" of the video stream format
    int64_t movieWord = -1;  // offset of the word "movi" of the first movie list
    int64_t movieEnd = 0;    // where that list ends (as its size says)
    int32_t streamNumber = 0;
};

// Never fails: what cannot be read leaves the format unknown (nullopt).
std::optional<std::string> readVideoColour(BinaryFile& file, const VideoColourPlaces& at);

// At most maxBytes of the first video chunk with data in the movie list
// (entering "LIST rec " groups), empty when none is found within a bounded
// number of chunks.
std::string readFirstVideoFrame(BinaryFile& file, const VideoColourPlaces& at, size_t maxBytes);

} // namespace vidloom

#pragma once
// Clip files for the splice tests.

#include "kit/AviBuilder.h"

#include <string>
#include <vector>

namespace vidloom::kit {

struct ClipOptions {
    int frames = 100;
    int keyEvery = 1; // every frame a key frame unless told otherwise
    bool audio = true;
    uint32_t width = 320;
    uint32_t height = 240;
    std::string fourcc = "XVID";
};

// Writes an AVI file of options.frames video frames (each followed by an audio
// chunk when options.audio) under name in the test folder; returns its path.
inline std::string makeClip(const std::string& name, const ClipOptions& options = {}) {
    AviBuilder b;
    b.audio = options.audio;
    b.width = options.width;
    b.height = options.height;
    b.handler = options.fourcc;
    b.compression = options.fourcc;
    b.addFrames(options.frames, options.keyEvery);
    return writeTemp(name, b.build());
}

inline std::string makeClip(const std::string& name, int frames) {
    ClipOptions options;
    options.frames = frames;
    return makeClip(name, options);
}

} // namespace vidloom::kit

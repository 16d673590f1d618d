#pragma once
// Readable names for the two codes that identify a clip's compression: the
// video FourCC and the audio format tag. A code that is not in its table gives
// a fallback text that shows the code itself.

#include "avi/InfoList.h"

#include <cstdint>
#include <string>

namespace vidloom {

// Audio format tags (their decimal text as key) and their names.
class AudioFormatNames {
public:
    void add(int32_t tag, const std::string& name);
    // The name of tag, or "Unknown Audio Tag: " and the tag's number.
    std::string nameOf(int32_t tag) const;

private:
    InfoList list_;
};

// Video codec codes (lower case as key) and their names.
class VideoCodecNames {
public:
    void add(const std::string& code, const std::string& name);
    // The name of code (letter case ignored), or "Unknown F4CC codec: " and
    // the code exactly as given.
    std::string nameOf(const std::string& code) const;

private:
    InfoList list_;
};

// The two tables, filled on first use and never changed afterwards.
const AudioFormatNames& audioFormatNames();
const VideoCodecNames& videoCodecNames();

} // namespace vidloom

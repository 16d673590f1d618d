#pragma once
// What the main window's property fields show: the video and audio properties
// of the plan's first segment and whether the move buttons are offered,
// computed here so that the window only applies the texts. Numbers are written
// as the report writes them (a negative value shows as 0).

#include <string>

namespace vidloom {

class SplicePlan;

struct PropertyFields {
    bool videoShown = false; // a plan with a segment
    std::string fourCC;
    std::string codec;
    std::string frameSize;   // "WxH"
    std::string frameRate;   // "29.970 fps"
    std::string report;      // the first segment's report (the video fields' tool tip)
    bool audioShown = false; // ... whose file has audio
    std::string audioFormat;
    std::string audioBitRate;     // "128 kbps"
    std::string sampleRate;       // "44100Hz"
    std::string channels;         // "Mono", "Stereo", "6 channels"
    bool navigationShown = false; // two segments or more
};

// The fields for plan (null: no plan yet, nothing shown).
PropertyFields propertyFieldsOf(const SplicePlan* plan);

} // namespace vidloom

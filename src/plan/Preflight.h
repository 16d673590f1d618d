#pragma once
// AviSynth's splice rules, checked before a script is written. AviSynth's
// splice (++, AlignedSplice) stops the whole script at the first pair of
// clips it cannot join, so each pair of neighbouring segments of the script is
// compared the way AviSynth compares them, rule by rule in AviSynth's order,
// from what the headers tell.

#include "avi/AviHeader.h"
#include "plan/SegmentList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom {

// The start of each problem's line in the log and on vidloom-cli's stderr.
inline constexpr const char* kWarningPrefix = "warning: ";

struct SpliceProblem {
    int32_t segment = 0; // the later segment of the pair, its index in the plan
    int32_t earlier = 0; // the earlier segment of the pair
    std::string earlierFile;
    std::string laterFile;
    std::string property; // "audio", "frame size", "frame rate", ...
    std::string earlierValue;
    std::string laterValue;
    std::string aviSynthMessage; // AviSynth's own words for the refusal
    // False when the headers cannot settle it (the colour format a decoder
    // gives): AviSynth may join the clips or refuse them.
    bool certain = true;
    // A note about the later segment alone rather than the pair (what
    // AviSource needs to open its file, what cannot be told about its start),
    // worded whole; such a problem is never certain and names no values.
    std::string note;

    // One line naming both files, the property, both values and AviSynth's
    // message; for a note, the later file and the note.
    std::string text() const;
};

// The problems of joining later after earlier, every one of them, in
// AviSynth's order (AviSynth itself reports the first certain one and looks no
// further). File names and indexes are left for the caller.
std::vector<SpliceProblem> joinProblems(const AviHeader& earlier, const AviHeader& later);

// The problems of every join of the script: the segments with frames, each
// with the one before it, in plan order; after each segment's join, the notes
// about the segment itself.
std::vector<SpliceProblem> preflight(const SegmentList& segments);

// The frame rate AviSynth gives a clip: the video stream header's rate over
// its scale, as a reduced fraction.
struct FrameRate {
    int64_t numerator = 0;
    int64_t denominator = 0;
    friend bool operator==(const FrameRate&, const FrameRate&) = default;
};
FrameRate frameRateOf(const AviHeader& header);

} // namespace vidloom

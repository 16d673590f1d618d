#pragma once
// What one segment panel shows, computed from the plan (present/PanelLayout.h) so
// that the window only draws it. Texts are final (numbers already written as the panel
// writes them: a negative value shows as 0).

#include "plan/SegmentId.h"

#include <cstdint>
#include <string>

namespace vidloom {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kCurrentPanelColor{130, 222, 238};
inline constexpr Rgb kPanelColor{213, 255, 253};
// The group box (not the cells) of a segment that does not start on a key frame.
inline constexpr Rgb kNotKeyFrameColor{248, 78, 78};
// The group box of a segment whose file's key frames cannot be told (an index
// rebuilt from the movie data of a codec whose frame headers are not read).
inline constexpr Rgb kKeyFramesUnknownColor{160, 160, 160};

// The mark of a segment whose join to the one before AviSynth will refuse, or
// may refuse (a colour format only the decoder knows): a bar across the panel,
// apart from the key-frame red of the group box.
enum class JoinMark { None, MayFail, Refused };
inline constexpr Rgb kJoinRefusedColor{128, 0, 160};
inline constexpr Rgb kJoinMayFailColor{240, 160, 0};

struct PanelState {
    SegmentId id = kNoSegment;
    int32_t index = 0;          // position in the plan, from 0
    std::string caption;        // "Clip #" and the index
    std::string directory;      // directory part of the path, trailing separator kept
    std::string fileName;       // file-name part of the path
    std::string internalStart;  // Start
    std::string internalEnd;    // Start + Length (one past the last frame used)
    std::string internalLength; // Length
    std::string clipStart;      // position in the assembled video
    std::string clipEnd;        // position + Length
    std::string clipLength;     // Length
    bool isCurrent = false;
    bool startsOnKeyFrame = false;
    bool keyFramesKnown = true;
    Rgb groupColor; // the group box: current or normal colour, red when not on a key frame
    Rgb cellColor;  // the fifteen cells: current or normal colour
    std::string keyFrameError; // why the key-frame test failed (tool tip), empty when it ran
    std::string report;        // the information report of the segment's file (tool tip)
    // "key frames: 1200 (-37), 1250 (+13)" when the start is not on a key frame.
    std::string keyFrameHint;
    bool canSnapPrevious = false; // the file has a key frame before the start
    bool canSnapNext = false;     // ... and after it
    JoinMark joinMark = JoinMark::None;
    std::string joinProblem; // why AviSynth refuses the join before this segment (tool tip)
    friend bool operator==(const PanelState&, const PanelState&) = default;
};

} // namespace vidloom

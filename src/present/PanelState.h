#pragma once
// What one segment panel shows, computed by the plan's layoutPanels so that the
// window only draws it. Texts are final (numbers already written as the panel
// writes them: a negative value shows as 0).

#include <cstdint>
#include <string>

namespace vidloom {

// A segment's identity for as long as it is in the plan. A segment that is
// cut keeps its id for the part that stays; the cut-off part is a new segment
// with a new id. An id is never given to another segment within one run; undo
// and redo give a segment back under its own id.
using SegmentId = uint64_t;
inline constexpr SegmentId kNoSegment = 0;

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

// The mark of a segment whose join to the one before AviSynth will refuse, or
// may refuse (a colour format only the decoder knows): a bar across the panel,
// apart from the key-frame red of the group box.
enum class JoinMark { None, MayFail, Refused };
inline constexpr Rgb kJoinRefusedColor{128, 0, 160};
inline constexpr Rgb kJoinMayFailColor{240, 160, 0};

// Panel geometry inside the scroll box; four panels to a row.
inline constexpr int32_t kPanelWidth = 244;
inline constexpr int32_t kPanelHeight = 155;
inline constexpr int32_t kPanelPitchX = 260;
inline constexpr int32_t kPanelPitchY = 160;
inline constexpr int32_t kPanelLeft = 15;
inline constexpr int32_t kPanelTop = 92;

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
    int32_t left = 0;
    int32_t top = 0;
    bool isCurrent = false;
    bool startsOnKeyFrame = false;
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

#pragma once
// The user's actions on the plan, one file at a time: "Add File", "Add
// Splice" with the checks before insertSplice, and the file steps of
// "Generate AVS". session/PlanSession.h runs them as commands; each gives
// what the user must be told as values.

#include "plan/SplicePlan.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vidloom {

inline constexpr const char* kMsgNoBaseClip =
    "Cannot add splice(s) without a base clip to modify...";
inline constexpr const char* kMsgNoVideo = "You must have at least one video clip...";
inline constexpr const char* kMsgExceedsEnd =
    "You cannot splice when the splice is exceeding the end of your clip...";
inline constexpr const char* kMsgNegativeRef =
    "You cannot splice before the start of your clip: the splice reference is negative...";
// An incompatible splice is discarded; the window and vidloom-cli show this
// text with what differs (SpliceResult::details).
inline constexpr const char* kMsgIncompatible =
    "The splice does not match the first clip (frame size or codec differ)...";

// The base clip's path with its last four characters replaced by ".Assembled.avd".
std::string assembledNameOf(const std::string& baseFileName);

// "Add File" for one chosen file: creates the plan from it when there is none
// (the base clip), otherwise appends a whole-file segment (addSegment at the
// end). Errors of reading the file propagate; the plan is then unchanged.
void addFile(std::unique_ptr<SplicePlan>& plan, const std::string& fileName, AviHeaderCache& cache);

// The message "Add Splice" shows instead of its file dialog, or empty.
std::string spliceRefusal(const SplicePlan* plan);

enum class SpliceOutcome {
    Inserted,
    Incompatible,      // insertSplice refused it; listing and layout still ran
    ExceedsEnd,        // refused by the bounds check
    NegativeReference, // refused: the reference is below 0
    NoReference,       // no reference given and no digit in the name
    BadReference,      // the name's number does not fit a reference (message: why)
    Failed,            // the file could not be read (message: the error)
};

struct SpliceResult {
    std::string file;
    SpliceOutcome outcome = SpliceOutcome::Inserted;
    int32_t spliceRef = 0;
    std::string message; // the refusal's fixed text, empty when inserted
    std::string details; // its numbers: what differs, or reference, length and end
};

// What a refusal shows: "FILE: message (details)".
std::string refusalText(const std::string& fileName, const SpliceResult& result);

// Why a splice does not fit the first clip, both values of each difference
// ("frame size 640x480 (first clip 320x240)"); empty when it fits.
std::string spliceMismatch(const AviHeader& first, const AviHeader& splice);

// The message for a file "Add File" took that is not an AVI file (it stays in
// the plan as a segment without frames), naming the file and the reason;
// empty for an AVI file.
std::string notAviMessage(const AviHeader& header);
// "FILE: this is not an AVI file (the file is empty)", or empty for an AVI file.
std::string notAviReason(const AviHeader& header);

// "Add Splice" for one chosen file: makes the segment, takes its reference
// from givenRef, else from the file name (spliceRefOf; none: NoReference; a
// number too large: BadReference);
// refuses a negative reference and one whose splice runs past the end of the
// plan; otherwise insertSplice (which refuses an incompatible splice). A
// refused splice leaves the plan as it was. Errors of reading the file
// propagate with the plan unchanged.
SpliceResult addSplice(SplicePlan& plan, const std::string& fileName,
                       std::optional<int32_t> givenRef);

// The message "Generate AVS" shows instead of its save dialog (no plan, no
// segment, or no segment with frames), or empty.
std::string scriptRefusal(const SplicePlan* plan);

// The exact bytes of the script file: buildScript and its one closing CR LF.
// paths: the names of the files where AviSynth runs.
std::string scriptFileText(const SplicePlan& plan, const PathMap& paths = PathMap());

// Replaces the file at path with text: written to a temporary file in the
// same folder, then renamed over path. On failure path is untouched, the
// temporary file removed, and IoError names path.
void writeFileAtomically(const std::string& path, const std::string& text);

} // namespace vidloom

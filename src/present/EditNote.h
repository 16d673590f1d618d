#pragma once
// Tells the user what became of the values typed into a panel's Start, End and
// Length cells when the plan could not take them as typed (a length past the
// file's end, text that is not a number, a start past the end), so that no
// value is corrected without a word.

#include <cstdint>
#include <string>

namespace vidloom {

// The three editable cells of a panel, as texts.
struct EditCells {
    std::string start;
    std::string end;
    std::string length;
};

// shown: the cells before the user typed; typed: as the user left them;
// result: as the plan laid them out after the edit; frames: the file's frame
// count. One note per corrected cell ("Length \"500\" became 100: more than
// the 100 frames from Start to End"), joined by "; "; empty when every typed
// value was taken.
std::string editNote(const EditCells& shown, const EditCells& typed, const EditCells& result,
                     int32_t frames);

} // namespace vidloom

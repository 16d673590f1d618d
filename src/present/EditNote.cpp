#include "present/EditNote.h"

#include "avi/TextFormat.h"
#include "plan/FileNames.h"

#include <vector>

namespace vidloom {

namespace {

enum class Cell { Start, End, Length };

int32_t valueOf(const std::string& text) {
    return textToInt32(text).value_or(0);
}

// Why the typed value of cell is not what the cell shows now.
std::string reasonFor(Cell cell, std::optional<int32_t> typed, const EditCells& result,
                      int32_t frames) {
    if (!typed) {
        return "not a whole number";
    }
    if (*typed < 0) {
        return "below 0";
    }
    const int32_t start = valueOf(result.start);
    const int32_t end = valueOf(result.end);
    if (cell != Cell::Length && *typed > frames) {
        return "past the end of the file (" + intToText(frames) + " frames)";
    }
    if (cell == Cell::End && *typed < start) {
        return "before the Start " + result.start;
    }
    if (cell == Cell::Length && int64_t(*typed) > int64_t(end) - start) {
        return "more than the " + intToText(end - start) + " frames from Start to End";
    }
    return "a changed Start keeps the End, and a changed End keeps the Start";
}

} // namespace

std::string editNote(const EditCells& shown, const EditCells& typed, const EditCells& result,
                     int32_t frames) {
    struct Row {
        Cell cell;
        const char* name;
        const std::string& shown;
        const std::string& typed;
        const std::string& result;
    };
    const Row rows[] = {{Cell::Start, "Start", shown.start, typed.start, result.start},
                        {Cell::End, "End", shown.end, typed.end, result.end},
                        {Cell::Length, "Length", shown.length, typed.length, result.length}};
    std::vector<std::string> notes;
    for (const Row& row : rows) {
        if (row.typed == row.shown) {
            continue; // not edited
        }
        const std::optional<int32_t> value = textToInt32(row.typed);
        if (value && *value == valueOf(row.result)) {
            continue; // taken
        }
        notes.push_back(std::string(row.name) + " \"" + row.typed + "\" became " + row.result +
                        ": " + reasonFor(row.cell, value, result, frames));
    }
    // A start moved past the end is taken, but the segment loses its frames.
    const std::optional<int32_t> start = textToInt32(typed.start);
    if (typed.start != shown.start && start && *start == valueOf(result.start) &&
        *start > valueOf(shown.end)) {
        notes.push_back("Start " + result.start + " is past the End " + shown.end +
                        ": the segment is now empty (End " + result.end + ", Length " +
                        result.length + ")");
    }
    std::string text;
    for (const std::string& note : notes) {
        text += (text.empty() ? "" : "; ") + note;
    }
    return text;
}

} // namespace vidloom

#pragma once
// Undo and redo of everything the user does to a plan, and whether the plan
// has changed since it was last written to or opened from a script.
//
// The history holds plans as values, never the plan itself: before a
// command, its owner (session/PlanSession.h) takes the plan's state; after
// it, keep() stores that state as one step when the plan differs. A command
// that changes nothing (a refused splice, a file that cannot be read, a click
// that only selects a panel) leaves no step.
//
// A step holds the compact state of the plan before it (PlanState: a few
// dozen bytes per segment) and the script the plan had then been written to
// or opened from, so undo and redo put back the plan and the title's script
// without reading a file, under the same segment ids; the "unsaved" mark
// follows from which plan each script last received.

#include "plan/PlanState.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

namespace vidloom {

class PlanHistory {
public:
    static constexpr size_t kDefaultSteps = 1000;

    // Keeps at most maxSteps steps to undo; the oldest go first.
    explicit PlanHistory(size_t maxSteps = kDefaultSteps) : maxSteps_(maxSteps) {}

    // `before` becomes one step when it holds another plan than `after`;
    // whether it did.
    bool keep(PlanState before, const PlanState& after);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    size_t undoCount() const { return undo_.size(); }
    size_t redoCount() const { return redo_.size(); }
    // The plan as it was before the last step (after the last undone step),
    // `now` being the plan as it is; nullopt when there is no such step.
    std::optional<PlanState> undo(PlanState now);
    std::optional<PlanState> redo(PlanState now);
    // Forgets every step (the plan stays as it is).
    void clear();

    // The plan as it is now is the one in the script at path (just written,
    // or just opened): the plan is unmodified until its next change, and an
    // undo back to this point makes it unmodified again.
    void markSaved(const std::string& scriptPath);
    // Whether the plan differs from the one last written or opened (for a
    // program that has neither, from no plan at all).
    bool isModified() const;
    // The script last written or opened; empty when there is none.
    const std::string& scriptPath() const { return scriptPath_; }

private:
    struct Step {
        PlanState state;
        uint64_t revision = 0; // which plan the state is (see revision_)
        std::string scriptPath;
    };
    Step now(PlanState state) const;
    PlanState putBack(Step step);

    size_t maxSteps_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    // Each kept step makes a new revision; undo and redo bring the revision
    // of the state they put back, so "modified" is a comparison of two numbers.
    uint64_t revision_ = 0;
    uint64_t nextRevision_ = 1;
    std::string scriptPath_;
    // The revision each script last held, written or opened ("" is no
    // script: the empty plan the program starts with).
    std::unordered_map<std::string, uint64_t> saved_{{std::string(), 0}};
};

} // namespace vidloom

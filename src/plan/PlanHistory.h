#pragma once
// Undo and redo of everything the user does to a plan, and whether the plan
// has changed since it was last written to or opened from a script.
//
// Every action that may change the plan runs through record(): it takes the
// plan's state before, runs the action, and keeps one step when the plan
// differs afterwards. An action that changes nothing (a refused splice, a file
// that cannot be read, a click that only selects a panel) leaves no step; one
// that fails part way (the third of five files cannot be read) keeps the
// step of what it did change. A new operation needs nothing more than
//     history.record([&] { plan->someOperation(...); });
// Opening a script, which replaces the whole plan, is such a step too,
// followed by markSaved with the script's path.
//
// A step holds the compact state of the plan before it (PlanState: a few
// dozen bytes per segment), so undo and redo put a plan back without reading
// a file, under the same segment ids, which lets the window reuse its panels.

#include "plan/PlanState.h"
#include "plan/SplicePlan.h"
#include "plan/WindowSeams.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace vidloom {

class PlanHistory {
public:
    static constexpr size_t kDefaultSteps = 1000;

    // The history of `plan` (null until the first file), which it changes in
    // place. `window` is what a plan made again by redo talks to, and what is
    // told when undo takes the plan away altogether. Keeps at most maxSteps
    // steps to undo; the oldest go first.
    explicit PlanHistory(std::unique_ptr<SplicePlan>& plan, WindowSeams window = {},
                         size_t maxSteps = kDefaultSteps);
    PlanHistory(const PlanHistory&) = delete;
    PlanHistory& operator=(const PlanHistory&) = delete;

    void attachWindow(const WindowSeams& window) { window_ = window; }
    // Called after every change of the history: a step kept, undo, redo,
    // markSaved, clear.
    void onChange(std::function<void()> listener) { listener_ = std::move(listener); }

    // Runs one user action as one step (see above). An error of `action`
    // propagates after the step, if any, is kept. An action recorded while
    // another runs is part of the other's step.
    void record(const std::function<void()>& action);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    size_t undoCount() const { return undo_.size(); }
    size_t redoCount() const { return redo_.size(); }
    // Puts the plan back as it was before the last step (after the last
    // undone step), writes the listing block to the log and lays the panels
    // out. False, with nothing done, when there is no such step or an
    // action is being recorded.
    bool undo();
    bool redo();
    // Forgets every step (the plan stays as it is).
    void clear();

    // The plan as it is now is the one in the script at path (just written,
    // or just opened): the plan is unmodified until its next change, and an
    // undo back to this point makes it unmodified again.
    void markSaved(const std::string& scriptPath);
    // Whether the plan differs from the one last written or opened (for a
    // program that has neither, from no plan at all).
    bool isModified() const { return revision_ != savedRevision_; }
    // The script last written or opened; empty when there is none.
    const std::string& scriptPath() const { return scriptPath_; }

private:
    struct Step {
        PlanState state;
        uint64_t revision = 0; // which plan the state is (see revision_)
    };
    PlanState currentState() const;
    void putBack(const Step& step);
    void changed();

    std::unique_ptr<SplicePlan>& plan_;
    WindowSeams window_;
    size_t maxSteps_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    // Each kept step makes a new revision; undo and redo bring the revision
    // of the state they put back, so "modified" is a comparison of two numbers.
    uint64_t revision_ = 0;
    uint64_t nextRevision_ = 1;
    uint64_t savedRevision_ = 0;
    std::string scriptPath_;
    std::function<void()> listener_;
    bool recording_ = false;
};

} // namespace vidloom

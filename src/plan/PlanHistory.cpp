#include "plan/PlanHistory.h"

#include <utility>

namespace vidloom {

bool PlanHistory::keep(PlanState before, const PlanState& after) {
    if (before.samePlan(after)) {
        return false;
    }
    undo_.push_back(now(std::move(before)));
    while (undo_.size() > maxSteps_) {
        undo_.pop_front();
    }
    redo_.clear();
    revision_ = nextRevision_++;
    return true;
}

PlanHistory::Step PlanHistory::now(PlanState state) const {
    return Step{std::move(state), revision_, scriptPath_};
}

std::optional<PlanState> PlanHistory::undo(PlanState current) {
    if (undo_.empty()) {
        return std::nullopt;
    }
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(now(std::move(current)));
    return putBack(std::move(step));
}

std::optional<PlanState> PlanHistory::redo(PlanState current) {
    if (redo_.empty()) {
        return std::nullopt;
    }
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(now(std::move(current)));
    return putBack(std::move(step));
}

PlanState PlanHistory::putBack(Step step) {
    revision_ = step.revision;
    scriptPath_ = std::move(step.scriptPath);
    return std::move(step.state);
}

void PlanHistory::clear() {
    undo_.clear();
    redo_.clear();
}

void PlanHistory::markSaved(const std::string& scriptPath) {
    scriptPath_ = scriptPath;
    saved_[scriptPath] = revision_;
}

bool PlanHistory::isModified() const {
    const auto it = saved_.find(scriptPath_);
    return it == saved_.end() || it->second != revision_;
}

} // namespace vidloom

#include "plan/PlanHistory.h"

#include <utility>

namespace vidloom {

PlanHistory::PlanHistory(std::unique_ptr<SplicePlan>& plan, WindowSeams window, size_t maxSteps)
    : plan_(plan), window_(window), maxSteps_(maxSteps) {}

PlanState PlanHistory::currentState() const {
    return plan_ ? plan_->state() : PlanState{};
}

void PlanHistory::record(const std::function<void()>& action) {
    if (recording_) {
        // An action started while another runs (an event handled inside a
        // dialog of the first) belongs to the step of the first.
        action();
        return;
    }
    recording_ = true;
    Step before{currentState(), revision_};
    auto keep = [&] {
        if (before.state.samePlan(currentState())) {
            return;
        }
        undo_.push_back(std::move(before));
        while (undo_.size() > maxSteps_) {
            undo_.pop_front();
        }
        redo_.clear();
        revision_ = nextRevision_++;
        changed();
    };
    try {
        action();
    } catch (...) {
        recording_ = false;
        keep();
        throw;
    }
    recording_ = false;
    keep();
}

bool PlanHistory::undo() {
    if (undo_.empty() || recording_) {
        return false;
    }
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(Step{currentState(), revision_});
    putBack(step);
    return true;
}

bool PlanHistory::redo() {
    if (redo_.empty() || recording_) {
        return false;
    }
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(Step{currentState(), revision_});
    putBack(step);
    return true;
}

void PlanHistory::putBack(const Step& step) {
    revision_ = step.revision;
    if (!step.state.hasPlan) {
        plan_.reset();
        if (window_.log != nullptr) {
            window_.log->clear();
        }
        if (window_.panels != nullptr) {
            window_.panels->showPanels({});
        }
    } else {
        if (plan_) {
            plan_->restore(step.state);
        } else {
            plan_ = std::make_unique<SplicePlan>(step.state, window_.progressBar, window_.log);
            plan_->attachView(window_.panels);
        }
        plan_->writeListingBlock(plan_->logView);
        plan_->layoutPanels();
    }
    changed();
}

void PlanHistory::clear() {
    undo_.clear();
    redo_.clear();
    changed();
}

void PlanHistory::markSaved(const std::string& scriptPath) {
    scriptPath_ = scriptPath;
    savedRevision_ = revision_;
    changed();
}

void PlanHistory::changed() {
    if (listener_) {
        listener_();
    }
}

} // namespace vidloom

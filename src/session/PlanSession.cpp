#include "session/PlanSession.h"

#include "avi/AviHeader.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/SplitSegment.h"
#include "present/Listing.h"
#include "present/PanelLayout.h"
#include "script/ScriptPlan.h"
#include "script/ScriptTarget.h"

#include <unordered_map>

namespace vidloom {

// What the views asked for since the last change of the plan.
struct PlanSession::Views {
    std::optional<std::vector<std::string>> listing;
    std::optional<std::vector<SpliceProblem>> problems;
    std::unordered_map<int32_t, std::vector<const SpliceProblem*>> problemsBySegment;
    std::optional<PlanPositions> positions;
    std::optional<std::unordered_map<SegmentId, int32_t>> indexes;
};

// What a command compares its end with.
struct PlanSession::Before {
    PlanState state;
    SegmentId current = kNoSegment;
    bool canUndo = false;
    bool canRedo = false;
    bool modified = false;
    std::string scriptPath;
};

PlanSession::PlanSession(size_t historySteps)
    : history_(historySteps), keepsHistory_(historySteps > 0), views_(std::make_unique<Views>()) {}

PlanSession::~PlanSession() = default;

PlanState PlanSession::state() const {
    return plan_ ? plan_->state() : PlanState{};
}

PlanSession::Before PlanSession::before() const {
    Before b;
    if (keepsHistory_) {
        b.state = state();
    }
    b.current = current();
    b.canUndo = canUndo();
    b.canRedo = canRedo();
    b.modified = isModified();
    b.scriptPath = scriptPath();
    return b;
}

void PlanSession::finish(const Before& b, Step step) {
    // Without a history every command counts as a change of the plan; there
    // is nobody to tell either. Undo and redo move through the history
    // instead of adding to it.
    bool planChanged = true;
    if (step == Step::Keep && keepsHistory_) {
        planChanged = history_.keep(b.state, state());
    } else if (step == Step::Moved) {
        planChanged = movedThroughHistory_;
    }
    movedThroughHistory_ = false;
    if (savedAs_) {
        // After the step, so the script holds the plan as the step left it.
        history_.markSaved(*savedAs_);
        savedAs_.reset();
    }
    if (planChanged) {
        forgetViews();
    }
    const bool seen = planChanged || b.current != current() || b.canUndo != canUndo() ||
                      b.canRedo != canRedo() || b.modified != isModified() ||
                      b.scriptPath != scriptPath();
    if (seen && observer_) {
        ++notifications_;
        observer_();
    }
}

template <class Body> void PlanSession::command(Body&& body, Step step) {
    if (inCommand_) {
        body(); // part of the command that runs it
        return;
    }
    inCommand_ = true;
    const Before b = before();
    try {
        body();
    } catch (...) {
        // What the command changed before it failed stays, as one step.
        inCommand_ = false;
        finish(b, step);
        throw;
    }
    inCommand_ = false;
    finish(b, step);
}

void PlanSession::forgetViews() {
    *views_ = Views{};
}

// ---- Views

const std::vector<std::string>& PlanSession::listingBlock() const {
    if (!views_->listing) {
        ++viewCounts_.listings;
        views_->listing = listingBlockOf(plan_.get());
    }
    return *views_->listing;
}

const std::vector<SpliceProblem>& PlanSession::problems() const {
    if (!views_->problems) {
        ++viewCounts_.preflights;
        views_->problems = plan_ ? preflight(plan_->segments) : std::vector<SpliceProblem>{};
        for (const SpliceProblem& problem : *views_->problems) {
            views_->problemsBySegment[problem.segment].push_back(&problem);
        }
    }
    return *views_->problems;
}

const PlanPositions& PlanSession::positions() const {
    if (!views_->positions) {
        ++viewCounts_.positions;
        views_->positions = plan_ ? PlanPositions::of(plan_->segments) : PlanPositions();
    }
    return *views_->positions;
}

PanelState PlanSession::panel(int32_t index) const {
    problems();
    static const std::vector<const SpliceProblem*> none;
    const auto it = views_->problemsBySegment.find(index);
    return panelOf(*plan_, index, positions().firstOf(index),
                   it != views_->problemsBySegment.end() ? it->second : none);
}

int32_t PlanSession::indexOf(SegmentId id) const {
    if (!plan_) {
        return -1;
    }
    if (!views_->indexes) {
        std::unordered_map<SegmentId, int32_t> indexes;
        for (int32_t i = 0; i < plan_->segments.count(); ++i) {
            indexes.emplace(plan_->segments.at(i).id(), i);
        }
        views_->indexes = std::move(indexes);
    }
    const auto it = views_->indexes->find(id);
    return it != views_->indexes->end() ? it->second : -1;
}

// ---- Commands

AddResult PlanSession::addFiles(const std::vector<std::string>& paths) {
    AddResult result;
    command([&] {
        // One moment for the whole command: each file's stamp is looked at once.
        const AviHeaderCache::StampRound oneCommand(cache_);
        for (const std::string& path : paths) {
            try {
                vidloom::addFile(plan_, path, cache_);
            } catch (const VidloomError& e) {
                result.refused.push_back(e.what());
                continue;
            }
            ++result.added;
            const Segment& added = plan_->segments.at(plan_->segments.count() - 1);
            if (std::string note = notAviMessage(*added.header); !note.empty()) {
                result.notes.push_back(std::move(note));
            }
        }
    });
    return result;
}

std::vector<SpliceResult> PlanSession::addSplices(const std::vector<SpliceRequest>& splices) {
    std::vector<SpliceResult> results;
    command([&] {
        const AviHeaderCache::StampRound oneCommand(cache_);
        for (const SpliceRequest& request : splices) {
            if (const std::string refusal = spliceRefusal(); !refusal.empty()) {
                SpliceResult refused;
                refused.file = request.file;
                refused.outcome = SpliceOutcome::Failed;
                refused.message = refusal;
                results.push_back(std::move(refused));
                continue;
            }
            try {
                results.push_back(vidloom::addSplice(*plan_, request.file, request.reference));
            } catch (const VidloomError& e) {
                SpliceResult failed;
                failed.file = request.file;
                failed.outcome = SpliceOutcome::Failed;
                failed.message = e.what();
                results.push_back(std::move(failed));
            }
        }
    });
    return results;
}

EditResult PlanSession::edit(SegmentId id, const EditCells& shown, const EditCells& typed) {
    EditResult result;
    command([&] {
        if (!plan_ || plan_->segments.indexOf(id) < 0) {
            return; // an event of a panel whose segment has left the plan
        }
        plan_->applyEdit(id, typed.start, typed.end, typed.length);
        const Segment& seg = plan_->segments.at(plan_->segments.indexOf(id));
        const EditCells after{intToText(seg.start), intToText(checkedAdd(seg.start, seg.length)),
                              intToText(seg.length)};
        result.correction = editNote(shown, typed, after, seg.header->TotalFrames);
    });
    return result;
}

void PlanSession::remove(SegmentId id) {
    command([&] {
        if (plan_) {
            plan_->remove(id);
        }
    });
}

void PlanSession::select(SegmentId id) {
    command([&] {
        if (plan_) {
            plan_->setCurrent(id);
        }
    });
}

void PlanSession::moveEarlier() {
    command([&] {
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveEarlier(plan_->currentSegment);
        }
    });
}

void PlanSession::moveLater() {
    command([&] {
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveLater(plan_->currentSegment);
        }
    });
}

std::optional<int32_t> PlanSession::snap(SegmentId id, SnapDirection direction) {
    std::optional<int32_t> old;
    command([&] {
        if (plan_) {
            old = snapStart(*plan_, id, direction);
        }
    });
    return old;
}

std::vector<PlanSession::SnapMove> PlanSession::snapAll(SnapDirection direction) {
    std::vector<SnapMove> moves;
    command([&] {
        // The plan's length is kept here, move by move, rather than summed
        // by each edit: a long plan snaps in time linear in its length.
        int32_t total = plan_ ? plan_->length() : 0;
        for (int32_t i = 0; plan_ && i < plan_->segments.count(); ++i) {
            const Segment& seg = plan_->segments.at(i);
            if (seg.length > 0 && seg.start > 0 && !seg.header->KeyFramesKnown) {
                moves.push_back({seg.fileName(), seg.start, seg.start, kCannotTellKeyFrames});
                continue;
            }
            bool onKeyFrame = true;
            try {
                onKeyFrame = seg.length <= 0 || seg.startsOnKeyFrame();
            } catch (const VidloomError&) {
            }
            if (onKeyFrame) {
                continue;
            }
            const int32_t before = seg.length;
            if (const std::optional<int32_t> old = snapStartAt(*plan_, i, direction, total)) {
                moves.push_back({seg.fileName(), *old, seg.start, {}});
                total = checkedAdd(checkedSub(total, before), seg.length);
            }
        }
    });
    return moves;
}

SegmentId PlanSession::split(SegmentId id, int32_t frame) {
    SegmentId made = kNoSegment;
    command([&] {
        if (plan_) {
            made = splitSegment(*plan_, id, frame);
        }
    });
    return made;
}

void PlanSession::openScript(const std::string& path, const ScriptPathMap& mapBack) {
    command([&] {
        // Built aside: a refusal leaves the plan as it was.
        std::unique_ptr<SplicePlan> opened =
            planFromScript(readScriptFile(path, mapBack), path, cache_);
        plan_ = std::move(opened);
        savedAs_ = path;
    });
}

std::string PlanSession::scriptText(const PathMap& paths) const {
    return plan_ ? scriptFileText(*plan_, paths) : std::string();
}

std::string PlanSession::writeRefusal(const std::string& path) const {
    if (const std::string refusal = scriptRefusal(plan_.get()); !refusal.empty()) {
        return refusal;
    }
    return scriptTargetRefusal(path, *plan_);
}

WriteResult PlanSession::writeScript(const std::string& path, const PathMap& paths) {
    WriteResult result;
    command([&] {
        result.refusal = writeRefusal(path);
        if (!result.refusal.empty()) {
            return;
        }
        writeFileAtomically(path, scriptFileText(*plan_, paths));
        savedAs_ = path;
        result.written = true;
    });
    return result;
}

bool PlanSession::undo() {
    bool done = false;
    command(
        [&] {
            if (std::optional<PlanState> back = history_.undo(state())) {
                putBack(*back);
                done = movedThroughHistory_ = true;
            }
        },
        Step::Moved);
    return done;
}

bool PlanSession::redo() {
    bool done = false;
    command(
        [&] {
            if (std::optional<PlanState> back = history_.redo(state())) {
                putBack(*back);
                done = movedThroughHistory_ = true;
            }
        },
        Step::Moved);
    return done;
}

void PlanSession::putBack(const PlanState& back) {
    if (!back.hasPlan) {
        plan_.reset();
    } else if (plan_) {
        plan_->restore(back);
    } else {
        plan_ = std::make_unique<SplicePlan>(back);
    }
}

} // namespace vidloom

#pragma once
// The one way into a plan: the header cache, the plan and its history, and
// the user's actions on them as commands. The window and vidloom-cli both
// drive a session; neither touches the plan otherwise.
//
// Each command is at most one step of the history and ends with at most one
// change notification (none when nothing the views show changed). It returns
// what the caller must tell the user (refusals, notes) as values; dialogs are
// the caller's, asked before the command runs. The views pull what they show
// (listing, preflight, panels) after a notification; each is computed once
// per change, when first asked, and a panel only when asked for.

#include "plan/KeyFrameSnap.h"
#include "plan/PlanActions.h"
#include "plan/PlanHistory.h"
#include "plan/Preflight.h"
#include "plan/SplicePlan.h"
#include "present/EditNote.h"
#include "present/PanelState.h"
#include "present/PlanPositions.h"
#include "script/PathMap.h"
#include "script/ScriptReader.h"
#include "session/AviHeaderCache.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

// What "Add File" made of the chosen files.
struct AddResult {
    int32_t added = 0;
    // Files that went in without frames (not AVI files): the note for each.
    std::vector<std::string> notes;
    // Files that could not be added: "FILE: reason" for each, in order.
    std::vector<std::string> refused;
};

struct SpliceRequest {
    std::string file;
    std::optional<int32_t> reference; // none: the digits of the file name
};

struct EditResult {
    // How typed values were corrected ("Length \"500\" became 100: ..."),
    // empty when every typed value was taken.
    std::string correction;
};

struct WriteResult {
    bool written = false;
    // Why nothing was written (a fixed text, or naming the file).
    std::string refusal;
};

class PlanSession {
public:
    // historySteps 0: no history at all (vidloom-cli keeps none).
    explicit PlanSession(size_t historySteps = PlanHistory::kDefaultSteps);
    ~PlanSession();
    PlanSession(const PlanSession&) = delete;
    PlanSession& operator=(const PlanSession&) = delete;

    // Called once at the end of each command that changed the plan, the
    // current segment or the history.
    void onChange(std::function<void()> observer) { observer_ = std::move(observer); }

    // ---- What there is
    const SplicePlan* plan() const { return plan_.get(); }
    AviHeaderCache& cache() { return cache_; }
    SegmentId current() const { return plan_ ? plan_->currentSegment : kNoSegment; }
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    bool isModified() const { return history_.isModified(); }
    const std::string& scriptPath() const { return history_.scriptPath(); }
    int64_t notifications() const { return notifications_; }

    // ---- The views' models, computed once per change
    // "Future Content of", the assembled name, an empty line, then one line
    // per segment "from-to : path"; empty without a plan.
    const std::vector<std::string>& listingBlock() const;
    // The joins AviSynth will or may refuse.
    const std::vector<SpliceProblem>& problems() const;
    const PlanPositions& positions() const;
    int32_t panelCount() const { return plan_ ? plan_->segments.count() : 0; }
    PanelState panel(int32_t index) const;
    int32_t indexOf(SegmentId id) const;
    // How many listings, preflights and position tables were computed.
    struct ViewCounts {
        int64_t listings = 0;
        int64_t preflights = 0;
        int64_t positions = 0;
        friend bool operator==(const ViewCounts&, const ViewCounts&) = default;
    };
    const ViewCounts& viewComputations() const { return viewCounts_; }

    // ---- Commands
    // "Add File": each file is tried in turn; the first makes the plan when
    // there is none. One step for all.
    AddResult addFiles(const std::vector<std::string>& paths);
    // Why "Add Splice" cannot start (no base clip), or empty.
    std::string spliceRefusal() const { return vidloom::spliceRefusal(plan_.get()); }
    // "Add Splice": each file is tried in turn, against the plan as the
    // splices before it left it. One step for all. A file that cannot be read
    // (or whose name holds a number too large) comes back as outcome Failed.
    std::vector<SpliceResult> addSplices(const std::vector<SpliceRequest>& splices);
    // Applies the cells typed into segment id's panel (shown: the cells
    // before) and makes it current.
    EditResult edit(SegmentId id, const EditCells& shown, const EditCells& typed);
    void remove(SegmentId id);
    void select(SegmentId id);
    // F5 / F6: the current segment one place earlier / later.
    void moveEarlier();
    void moveLater();
    // Moves segment id's start to the key frame before or after it; the old
    // start when it moved.
    std::optional<int32_t> snap(SegmentId id, SnapDirection direction);
    // --snap of vidloom-cli: every segment with frames whose start is not on
    // a key frame moves to the key frame before or after it (a segment whose
    // index cannot be read stays). One step; each move, in plan order.
    struct SnapMove {
        std::string file;
        int32_t from = 0;
        int32_t to = 0;
        // Why it did not move: its file's key frames cannot be told.
        std::string cannotTell;
    };
    std::vector<SnapMove> snapAll(SnapDirection direction);
    // Cuts segment id so that frame `frame` of its file starts a new, current
    // segment; the new id, or kNoSegment when there is nothing to cut.
    SegmentId split(SegmentId id, int32_t frame);
    // "Open Script": the plan the script describes replaces the plan; any
    // error (ScriptError, IoError) propagates with nothing changed.
    void openScript(const std::string& path, const ScriptPathMap& mapBack = {});
    // The script's bytes (ConversionError for a path it cannot name).
    std::string scriptText(const PathMap& paths = PathMap()) const;
    // Why no script may be written to path: no frames, a file of the plan,
    // an existing file that is not a text script; empty when it may.
    std::string writeRefusal(const std::string& path) const;
    // "Generate AVS" to path, unless writeRefusal refuses; errors of writing
    // propagate (the file at path is then untouched).
    WriteResult writeScript(const std::string& path, const PathMap& paths = PathMap());
    bool undo();
    bool redo();

private:
    struct Before;
    // Keep: the command's change is one step; Moved: undo or redo.
    enum class Step { Keep, Moved };
    // Runs a command's body as one step and tells the observer once.
    template <class Body> void command(Body&& body, Step step = Step::Keep);
    Before before() const;
    void finish(const Before& before, Step step);
    PlanState state() const;
    void putBack(const PlanState& state);
    void forgetViews();

    AviHeaderCache cache_; // outlives the plan, whose segments point into it
    std::unique_ptr<SplicePlan> plan_;
    PlanHistory history_;
    bool keepsHistory_;
    std::function<void()> observer_;
    int64_t notifications_ = 0;
    bool inCommand_ = false;
    bool movedThroughHistory_ = false;
    // The script the plan is in once the command's step is kept.
    std::optional<std::string> savedAs_;

    struct Views;
    std::unique_ptr<Views> views_;
    mutable ViewCounts viewCounts_;
};

} // namespace vidloom

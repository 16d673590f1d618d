// The main window's help towards a script AviSynth accepts: snapping the
// current segment to a key frame, the question before writing a script with
// joins AviSynth refuses, and the names of the files where AviSynth runs.

#include "plan/KeyFrameSnap.h"
#include "plan/Preflight.h"
#include "plan/SplicePlan.h"
#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/ScriptPathSettings.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/UiText.h"

#include <QAction>

namespace vidloom::ui {

void MainWindow::buildScriptControls() {
    auto snap = [this](QAction*& slot, const char* name, Qt::Key key, bool toNext) {
        slot = new QAction(QString::fromLatin1(name), this);
        slot->setObjectName(QString::fromLatin1(name));
        slot->setShortcut(QKeySequence(Qt::CTRL | key));
        slot->setShortcutContext(Qt::ApplicationShortcut);
        addAction(slot);
        connect(slot, &QAction::triggered, this, [this, toNext] { snapCommand(toNext); });
    };
    snap(snapPreviousAction, "snapPreviousAction", Qt::Key_Left, false);
    snap(snapNextAction, "snapNextAction", Qt::Key_Right, true);
    scriptPaths = new ScriptPathSettings(this, [this]() -> DialogSeam& { return dialogs(); });
}

void MainWindow::snapCommand(bool toNext) {
    // One step of the history, as an edit of the start is.
    recorded([this, toNext] {
        if (plan_ && plan_->currentSegment != kNoSegment) {
            snapStart(*plan_, plan_->currentSegment,
                      toNext ? SnapDirection::Next : SnapDirection::Previous);
            afterPlanChange();
        }
    });
}

void MainWindow::onPanelSnap(SegmentId id, bool toNext) {
    if (plan_ && id != kNoSegment) {
        plan_->setCurrent(id);
        snapCommand(toNext);
    }
}

bool MainWindow::acceptJoinProblems() {
    const std::vector<SpliceProblem> problems = preflight(plan_->segments);
    if (problems.empty()) {
        return true;
    }
    QString text = QStringLiteral("AviSynth will refuse this script:\n");
    for (const SpliceProblem& problem : problems) {
        text += QStringLiteral("\n") + toQt(problem.text());
    }
    return dialogs_->question(this, text + QStringLiteral("\n\nWrite it anyway?"));
}

} // namespace vidloom::ui

// The main window's help towards a script AviSynth accepts: snapping the
// current segment to a key frame, the question before writing a script with
// joins AviSynth refuses, and the names of the files where AviSynth runs.

#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/ScriptPathSettings.h"
#include "ui/UiText.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"

#include <QAction>

#include <algorithm>

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
    // A Start cell being typed into is applied first: the snap starts from
    // what the user sees.
    panelArea->applyFocusedPanel();
    guarded([this, toNext] { snapSegment(session_.current(), toNext); });
}

void MainWindow::snapSegment(SegmentId id, bool toNext) {
    const int32_t at = session_.indexOf(id);
    if (at < 0) {
        return;
    }
    const Segment& seg = session_.plan()->segments.at(at);
    if (!seg.header->KeyFramesKnown) {
        showStatus(toQt(seg.fileName() + ": " + kCannotTellKeyFrames));
        return;
    }
    session_.snap(id, toNext ? SnapDirection::Next : SnapDirection::Previous);
}

void MainWindow::onPanelSnap(SegmentId id, bool toNext) {
    guarded([this, id, toNext] { snapSegment(id, toNext); });
}

bool MainWindow::acceptJoinProblems() {
    const std::vector<SpliceProblem>& problems = session_.problems();
    if (problems.empty()) {
        return true;
    }
    // Only doubtful joins: AviSynth may join them or refuse them.
    const bool certain = std::any_of(problems.begin(), problems.end(),
                                     [](const SpliceProblem& p) { return p.certain; });
    QString text = certain ? QStringLiteral("AviSynth will refuse this script:\n")
                           : QStringLiteral("AviSynth may refuse this script:\n");
    for (const SpliceProblem& problem : problems) {
        text += QStringLiteral("\n") + toQt(problem.text());
    }
    return dialogs_->question(this, text + QStringLiteral("\n\nWrite it anyway?"));
}

} // namespace vidloom::ui

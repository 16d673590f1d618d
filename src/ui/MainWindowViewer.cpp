// The main window and its Viewer: F3 shows it, every change of the plan is
// shown in it, the cursor entering a segment makes it current, and the marks
// set from the shown frame become commands of the plan, one history step
// each, said on the status line.

#include "avi/TextFormat.h"
#include "plan/PlanActions.h"
#include "plan/PlanHistory.h"
#include "plan/SplicePlan.h"
#include "plan/SplitSegment.h"
#include "present/ViewerModel.h"
#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/PlanView.h"
#include "ui/UiText.h"
#include "ui/viewer/ViewerWindow.h"
#include "ui/WindowStyle.h"

#include <QAction>

namespace vidloom::ui {

namespace {

QString clipName(int32_t index) {
    return QStringLiteral("Clip #") + toQt(intToText(index));
}

QString number(int64_t n) {
    return QString::number(n);
}

} // namespace

void MainWindow::buildViewer() {
    viewer_ = std::make_unique<ViewerWindow>();
    viewerAction = new QAction(QStringLiteral("viewerAction"), this);
    viewerAction->setObjectName(QStringLiteral("viewerAction"));
    viewerAction->setShortcut(QKeySequence(Qt::Key_F3));
    viewerAction->setShortcutContext(Qt::ApplicationShortcut);
    addAction(viewerAction);
    connect(viewerAction, &QAction::triggered, this, [this] { showViewerWindow(); });
    ViewerWindow* v = viewer_.get();
    connect(v, &ViewerWindow::segmentEntered, this, &MainWindow::onViewerSegmentEntered);
    connect(v, &ViewerWindow::markStart, this, &MainWindow::markStartCommand);
    connect(v, &ViewerWindow::markEnd, this, &MainWindow::markEndCommand);
    connect(v, &ViewerWindow::splitHere, this, &MainWindow::splitHereCommand);
    connect(v, &ViewerWindow::removeHere, this, &MainWindow::removeHereCommand);
    connect(v, &ViewerWindow::spliceHere, this, &MainWindow::spliceHereCommand);
}

void MainWindow::showViewerWindow() {
    guarded([this] {
        if (viewer_->isVisible()) {
            viewer_->hide();
            return;
        }
        if (!viewerPlaced_) {
            placeBeside(viewer_.get(), {viewer_.get()}, *this);
            viewerPlaced_ = true;
        }
        viewer_->show();
        updateViewer();
        viewer_->activateWindow();
        viewer_->setFocus(Qt::OtherFocusReason);
    });
}

void MainWindow::updateViewer() {
    if (!viewer_ || !viewer_->isVisible()) {
        return; // nobody looks: computed when it is shown
    }
    if (!plan_) {
        viewer_->showPlan(PlanPositions(), Timeline(), kNoSegment, &headerCache_);
        return;
    }
    PlanPositions positions = PlanPositions::of(plan_->segments);
    Timeline timeline = timelineOf(plan_->segments, positions);
    viewer_->showPlan(std::move(positions), std::move(timeline), plan_->currentSegment,
                      &headerCache_);
}

void MainWindow::onViewerSegmentEntered(SegmentId segment) {
    guarded([this, segment] {
        if (!plan_ || plan_->currentSegment == segment) {
            return;
        }
        // Where the user looks is no change of the plan: no history step.
        plan_->setCurrent(segment);
        plan_->layoutPanels();
        keepCurrentPanelInView();
        updatePreview();
    });
}

void MainWindow::markStartCommand() {
    recorded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!plan_ || !f) {
            return;
        }
        const int32_t old = plan_->segments.at(f->segmentIndex).start;
        plan_->applyEdit(f->segment, intToText(f->frame), std::string(), std::string());
        showStatus(QStringLiteral("Start of %1: %2 -> %3")
                       .arg(clipName(f->segmentIndex), number(old), number(f->frame)));
        afterPlanChange();
    });
}

void MainWindow::markEndCommand() {
    recorded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!plan_ || !f) {
            return;
        }
        const Segment& s = plan_->segments.at(f->segmentIndex);
        const int64_t oldLast = int64_t(s.start) + s.length - 1;
        plan_->applyEdit(f->segment, std::string(), intToText(f->frame + 1), std::string());
        showStatus(QStringLiteral("Last frame of %1: %2 -> %3")
                       .arg(clipName(f->segmentIndex), number(oldLast), number(f->frame)));
        afterPlanChange();
    });
}

void MainWindow::splitHereCommand() {
    recorded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!plan_ || !f) {
            return;
        }
        if (splitSegment(*plan_, f->segment, f->frame) == kNoSegment) {
            showStatus(QStringLiteral("%1 starts at frame %2: nothing to split")
                           .arg(clipName(f->segmentIndex), number(f->frame)));
            return;
        }
        plan_->layoutPanels();
        showStatus(
            QStringLiteral("%1 split: %2 starts at frame %3")
                .arg(clipName(f->segmentIndex), clipName(f->segmentIndex + 1), number(f->frame)));
        afterPlanChange();
    });
}

void MainWindow::removeHereCommand() {
    recorded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!plan_ || !f) {
            return;
        }
        const Segment& s = plan_->segments.at(f->segmentIndex);
        const QString what =
            QStringLiteral("%1 removed (%2, frames %3 to %4)")
                .arg(clipName(f->segmentIndex),
                     toQt(s.fileName().substr(s.fileName().find_last_of("/\\") + 1)),
                     number(s.start), number(int64_t(s.start) + s.length - 1));
        plan_->remove(f->segment);
        showStatus(what);
    });
    guarded([this] { afterPlanChange(); });
}

void MainWindow::spliceHereCommand() {
    recorded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!plan_ || !f) {
            return;
        }
        const QStringList paths = dialogs_->openFiles(viewer_.get(), QStringLiteral("*.avi"),
                                                      QStringLiteral("addSplice"));
        if (paths.isEmpty()) {
            return;
        }
        int inserted = 0;
        for (const QString& path : paths) {
            const SpliceResult result =
                vidloom::addSplice(*plan_, pathBytes(path), f->position, view_->seams());
            inserted += result.outcome == SpliceOutcome::Inserted ? 1 : 0;
        }
        // The splice now at the cursor is where the user looks.
        if (const std::optional<PlanFrame> at =
                PlanPositions::of(plan_->segments).at(f->position)) {
            plan_->setCurrent(at->segment);
            plan_->layoutPanels();
        }
        showStatus(QStringLiteral("Spliced at frame %1: %2 of %3 files")
                       .arg(number(f->position), number(inserted), number(paths.size())));
        afterPlanChange();
    });
}

} // namespace vidloom::ui

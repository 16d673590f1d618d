// The main window and its Viewer: F3 shows it, every change of the plan is
// shown in it, the cursor entering a segment makes it current, and the marks
// set from the shown frame become commands of the plan, one history step
// each, said on the status line.

#include "avi/TextFormat.h"
#include "present/ViewerModel.h"
#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/UiText.h"
#include "ui/WindowStyle.h"
#include "ui/viewer/ViewerWindow.h"

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
    const SplicePlan* plan = session_.plan();
    if (plan == nullptr) {
        viewer_->showPlan(PlanPositions(), Timeline(), kNoSegment, &session_.cache());
        return;
    }
    PlanPositions positions = session_.positions();
    Timeline timeline = timelineOf(plan->segments, positions);
    viewer_->showPlan(std::move(positions), std::move(timeline), session_.current(),
                      &session_.cache());
}

void MainWindow::onViewerSegmentEntered(SegmentId segment) {
    // Where the user looks is no change of the plan: no history step.
    guarded([this, segment] { session_.select(segment); });
}

void MainWindow::markStartCommand() {
    guarded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!session_.plan() || !f) {
            return;
        }
        const int32_t old = session_.plan()->segments.at(f->segmentIndex).start;
        session_.edit(f->segment, {}, {intToText(f->frame), std::string(), std::string()});
        showStatus(QStringLiteral("Start of %1: %2 -> %3")
                       .arg(clipName(f->segmentIndex), number(old), number(f->frame)));
    });
}

void MainWindow::markEndCommand() {
    guarded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!session_.plan() || !f) {
            return;
        }
        const Segment& s = session_.plan()->segments.at(f->segmentIndex);
        const int64_t oldLast = int64_t(s.start) + s.length - 1;
        session_.edit(f->segment, {}, {std::string(), intToText(f->frame + 1), std::string()});
        showStatus(QStringLiteral("Last frame of %1: %2 -> %3")
                       .arg(clipName(f->segmentIndex), number(oldLast), number(f->frame)));
    });
}

void MainWindow::splitHereCommand() {
    guarded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!session_.plan() || !f) {
            return;
        }
        if (session_.split(f->segment, f->frame) == kNoSegment) {
            showStatus(QStringLiteral("%1 starts at frame %2: nothing to split")
                           .arg(clipName(f->segmentIndex), number(f->frame)));
            return;
        }
        showStatus(
            QStringLiteral("%1 split: %2 starts at frame %3")
                .arg(clipName(f->segmentIndex), clipName(f->segmentIndex + 1), number(f->frame)));
    });
}

void MainWindow::removeHereCommand() {
    guarded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!session_.plan() || !f) {
            return;
        }
        const Segment& s = session_.plan()->segments.at(f->segmentIndex);
        const QString what =
            QStringLiteral("%1 removed (%2, frames %3 to %4)")
                .arg(clipName(f->segmentIndex),
                     toQt(s.fileName().substr(s.fileName().find_last_of("/\\") + 1)),
                     number(s.start), number(int64_t(s.start) + s.length - 1));
        session_.remove(f->segment);
        showStatus(what);
    });
}

void MainWindow::spliceHereCommand() {
    guarded([this] {
        const std::optional<PlanFrame> f = viewer_->frameAtCursor();
        if (!session_.plan() || !f) {
            return;
        }
        const QStringList paths = dialogs_->openFiles(viewer_.get(), QStringLiteral("*.avi"),
                                                      QStringLiteral("addSplice"));
        if (paths.isEmpty()) {
            return;
        }
        std::vector<SpliceRequest> splices;
        for (const QString& path : paths) {
            splices.push_back({pathBytes(path), f->position});
        }
        const std::vector<SpliceResult> results = session_.addSplices(splices);
        int inserted = 0;
        for (const SpliceResult& result : results) {
            inserted += result.outcome == SpliceOutcome::Inserted ? 1 : 0;
        }
        tellSpliced(results);
        // The splice now at the cursor is where the user looks.
        if (const std::optional<PlanFrame> at = session_.positions().at(f->position)) {
            session_.select(at->segment);
        }
        showStatus(QStringLiteral("Spliced at frame %1: %2 of %3 files")
                       .arg(number(f->position), number(inserted), number(paths.size())));
    });
}

} // namespace vidloom::ui

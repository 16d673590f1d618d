// The main window's commands on the plan: "Add File", "Add Splice", "Generate
// AVS", the moves of the current segment, the panels' events and the refresh.
// Each command is the plan's own operation; the window only asks the dialogs
// and shows the results.

#include "avi/AviHeader.h"
#include "avi/InfoTags.h"
#include "plan/PlanActions.h"
#include "plan/PlanHistory.h"
#include "plan/SplicePlan.h"
#include "present/EditNote.h"
#include "present/PropertyFields.h"
#include "ui/CommandButton.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/PanelGrid.h"
#include "ui/PlanView.h"
#include "ui/ScriptPathSettings.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/TagWindow.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace vidloom::ui {

namespace {

const QString kOpenFilter = QStringLiteral("*.avi");
const QString kSaveFilter = QStringLiteral("*.avs");
const QString kSaveSuffix = QStringLiteral("avs");

} // namespace

SplicePlan* MainWindow::plan() const {
    return plan_.get();
}

void MainWindow::addFileCommand() {
    recorded(
        [this] { addPaths(dialogs_->openFiles(this, kOpenFilter, QStringLiteral("addFile"))); });
    // The refresh runs also when the dialog was cancelled or a file failed,
    // so the window shows what did get into the plan.
    guarded([this] { afterPlanChange(); });
}

void MainWindow::addFiles(const QStringList& paths) {
    QStringList absolute;
    for (const QString& path : paths) {
        absolute.append(QFileInfo(path).absoluteFilePath());
    }
    recorded([this, &absolute] { addPaths(absolute); });
    guarded([this] { afterPlanChange(); });
}

void MainWindow::addPaths(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    view_->progress2.start(int32_t(paths.size()));
    for (const QString& path : paths) {
        view_->progress1.start(1);
        vidloom::addFile(plan_, pathBytes(path), view_->seams(), headerCache_);
        showBrandOfFirstSegment();
        // A file that is not an AVI file still goes in, without frames; the
        // user hears why.
        const Segment& added = plan_->segments.at(plan_->segments.count() - 1);
        if (const std::string note = notAviMessage(*added.header); !note.empty()) {
            dialogs_->message(this, toQt(note));
        }
        view_->progress1.finish();
        view_->progress2.step();
    }
    view_->progress2.finish();
}

void MainWindow::showBrandOfFirstSegment() {
    // A file that is not an AVI file has no tag record, and an empty plan no
    // first segment: the columns show their headings alone.
    const bool any = plan_ && plan_->segments.count() > 0;
    brandWindow_.showTags(any ? plan_->segments.at(0).header->BrandInfo.get() : nullptr);
}

void MainWindow::afterPlanChange() {
    if (plan_) {
        // A plan that no longer matches the listing block last written gets
        // a new one, as "Add File" writes it.
        std::vector<std::string> block = plan_->listingBlock();
        if (block != listedBlock_) {
            plan_->writeListingBlock(plan_->logView);
            listedBlock_ = std::move(block);
        }
    }
    showBrandOfFirstSegment();
    refreshProperties();
    keepCurrentPanelInView();
    updateViewer();
}

void MainWindow::keepCurrentPanelInView() {
    if (!plan_) {
        return;
    }
    panelArea->ensurePanelVisible(plan_->currentSegment);
}

void MainWindow::focusCurrentPanel() {
    if (plan_) {
        panelArea->ensurePanelVisible(plan_->currentSegment);
    }
    SegmentPanel* panel = plan_ ? panelArea->panelOf(plan_->currentSegment) : nullptr;
    if (panel != nullptr) {
        panel->startEdit->setFocus(Qt::OtherFocusReason);
    } else {
        // No panel left: the keyboard stays with the window, not a button.
        setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::addSpliceCommand() {
    recorded([this] {
        const std::string refusal = spliceRefusal(plan_.get());
        if (!refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
            return;
        }
        const QStringList paths =
            dialogs_->openFiles(this, kOpenFilter, QStringLiteral("addSplice"));
        if (paths.isEmpty()) {
            return;
        }
        view_->progress2.start(int32_t(paths.size()));
        for (const QString& path : paths) {
            view_->progress1.start(1);
            vidloom::addSplice(*plan_, pathBytes(path), std::nullopt, view_->seams());
            view_->progress1.finish();
            view_->progress2.step();
        }
        view_->progress2.finish();
        // A splice at frame 0 makes a new first segment.
        afterPlanChange();
    });
}

bool MainWindow::readyToWrite() {
    const std::string refusal = scriptRefusal(plan_.get());
    if (!refusal.empty()) {
        dialogs_->message(this, toQt(refusal));
        return false;
    }
    return acceptJoinProblems();
}

void MainWindow::generateCommand() {
    guarded([this] {
        if (!readyToWrite()) {
            return;
        }
        const std::optional<QString> path = dialogs_->saveFile(
            this, kSaveFilter, kSaveSuffix, QStringLiteral("generate"), suggestedScriptPath());
        if (!path) {
            return;
        }
        if (QFileInfo::exists(*path) &&
            !dialogs_->question(this, *path + QStringLiteral(" already exists. Replace it?"))) {
            return;
        }
        writeScript(*path);
    });
}

QString MainWindow::suggestedScriptPath() const {
    // The script last written or opened, else one named after the base clip.
    if (!history_->scriptPath().empty()) {
        return toQt(history_->scriptPath());
    }
    const QFileInfo base(toQt(plan_->baseList.at(0).fileName()));
    return QDir(base.absolutePath()).filePath(base.completeBaseName() + QStringLiteral(".avs"));
}

void MainWindow::writeScript(const QString& path) {
    view_->progress1.start(plan_->segments.count());
    try {
        if (generateAvs(*plan_, pathBytes(path), view_.get(), scriptPaths->pathMap())) {
            history_->markSaved(pathBytes(path));
        }
    } catch (const std::exception& e) {
        // The log says how its "Creating" ended; the error box follows.
        view_->log.appendLine(std::string("Failed: ") + e.what());
        throw;
    }
    view_->progress1.finish();
    showStatus(QStringLiteral("Script written to ") + path);
}

void MainWindow::moveEarlierCommand() {
    recorded([this] {
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveEarlier(plan_->currentSegment);
            afterPlanChange();
        }
    });
}

void MainWindow::moveLaterCommand() {
    recorded([this] {
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveLater(plan_->currentSegment);
            afterPlanChange();
        }
    });
}

void MainWindow::onPanelEdit(SegmentId id, const EditCells& shown, const EditCells& typed) {
    recorded([this, id, &shown, &typed] {
        if (!plan_ || id == kNoSegment) {
            return;
        }
        plan_->applyEdit(id, typed.start, typed.end, typed.length);
        const int32_t at = plan_->segments.indexOf(id);
        if (at >= 0) {
            const PanelState after = view_->panelAt(at);
            tellCorrection(editNote(shown, typed,
                                    {after.internalStart, after.internalEnd, after.internalLength},
                                    plan_->segments.at(at).header->TotalFrames));
        }
        afterPlanChange();
    });
}

void MainWindow::tellCorrection(const std::string& note) {
    if (!note.empty()) {
        showStatus(QStringLiteral("Corrected: ") + toQt(note));
        statusIsCorrection_ = true;
    } else if (statusIsCorrection_) {
        showStatus(QString());
    }
}

void MainWindow::onPanelDelete(SegmentId id) {
    recorded([this, id] {
        if (plan_ && id != kNoSegment) {
            plan_->remove(id);
        }
    });
    guarded([this] {
        afterPlanChange();
        focusCurrentPanel();
    });
}

void MainWindow::refreshProperties() {
    QWidget::update();
    updatePreview();
    const PropertyFields f = propertyFieldsOf(plan_.get());
    const QString tip = tipText(f.report);
    for (auto [edit, text] :
         {std::pair{fourCCEdit, &f.fourCC}, std::pair{codecEdit, &f.codec},
          std::pair{frameSizeEdit, &f.frameSize}, std::pair{frameRateEdit, &f.frameRate}}) {
        setFieldText(edit, toQt(*text));
        edit->setToolTip(tip);
        edit->setVisible(f.videoShown);
    }
    for (auto [edit, text] :
         {std::pair{audioFormatEdit, &f.audioFormat}, std::pair{audioBitRateEdit, &f.audioBitRate},
          std::pair{sampleRateEdit, &f.sampleRate}, std::pair{channelsEdit, &f.channels}}) {
        setFieldText(edit, toQt(*text));
        edit->setVisible(f.audioShown);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{moveEarlierFrame, moveEarlierButton,
                                                      moveLaterFrame, moveLaterButton}) {
        w->setVisible(f.navigationShown);
    }
}

} // namespace vidloom::ui

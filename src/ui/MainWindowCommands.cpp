// The main window's commands on the plan: "Add File", "Add Splice", "Generate
// AVS", the moves of the current segment, the panels' events and the refresh.
// Each command is one of the session's; the window only asks the dialogs
// before it and shows what it returns.

#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "plan/FileNames.h"
#include "present/EditNote.h"
#include "present/PropertyFields.h"
#include "ui/CommandButton.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgressView.h"
#include "ui/ScriptPathSettings.h"
#include "ui/TagWindow.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"

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

void MainWindow::addFileCommand() {
    guarded(
        [this] { addPaths(dialogs_->openFiles(this, kOpenFilter, QStringLiteral("addFile"))); });
}

void MainWindow::addFiles(const QStringList& paths) {
    QStringList absolute;
    for (const QString& path : paths) {
        absolute.append(QFileInfo(path).absoluteFilePath());
    }
    guarded([this, &absolute] { addPaths(absolute); });
}

void MainWindow::addPaths(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    std::vector<std::string> files;
    for (const QString& path : paths) {
        files.push_back(pathBytes(path));
    }
    progress2_->start(int32_t(paths.size()));
    relist_ = true;
    const AddResult result = session_.addFiles(files);
    relist_ = false;
    progress1_->finish();
    progress2_->finish();
    tellAdded(result);
}

void MainWindow::tellAdded(const AddResult& result) {
    // A file that is not an AVI file still goes in, without frames; the user
    // hears why.
    for (const std::string& note : result.notes) {
        dialogs_->message(this, toQt(note));
    }
    // Every file was tried; those that could not be added are named at the
    // end, each with its reason.
    if (!result.refused.empty()) {
        QString text;
        for (const std::string& line : result.refused) {
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + toQt(line);
        }
        dialogs_->error(this, text);
    }
}

void MainWindow::showBrandOfFirstSegment() {
    // A file that is not an AVI file has no tag record, and an empty plan no
    // first segment: the columns show their headings alone.
    const SplicePlan* plan = session_.plan();
    const bool any = plan != nullptr && plan->segments.count() > 0;
    brandWindow_.showTags(any ? plan->segments.at(0).header->BrandInfo.get() : nullptr);
}

void MainWindow::afterPlanChange() {
    // The log shows the listing block of the plan as it is. Adding files,
    // splices, opening a script, undo and redo write it anew; after an edit
    // a block that did not change is not written again (the script's
    // "Creating" lines stay).
    const std::vector<std::string>& block = session_.listingBlock();
    if (block != listedBlock_ || relist_) {
        relist_ = false;
        logWindow_.logText->clear();
        for (const std::string& line : block) {
            logWindow_.logText->addText(line);
        }
        // The joins AviSynth will refuse follow the listing they belong to.
        for (const SpliceProblem& problem : session_.problems()) {
            logWindow_.logText->addText(kWarningPrefix + problem.text());
        }
        listedBlock_ = block;
    }
    if (statusIsWrittenScript_ && session_.isModified()) {
        showStatus(QString()); // the plan is no longer the script written
    }
    showBrandOfFirstSegment();
    panelArea->refresh();
    refreshProperties();
    keepCurrentPanelInView();
    updateViewer();
    showHistoryState();
}

void MainWindow::keepCurrentPanelInView() {
    if (session_.current() != kNoSegment) {
        panelArea->ensurePanelVisible(session_.current());
    }
}

void MainWindow::focusCurrentPanel() {
    keepCurrentPanelInView();
    SegmentPanel* panel =
        session_.current() != kNoSegment ? panelArea->panelOf(session_.current()) : nullptr;
    if (panel != nullptr) {
        panel->startEdit->setFocus(Qt::OtherFocusReason);
    } else {
        // No panel left: the keyboard stays with the window, not a button.
        setFocus(Qt::OtherFocusReason);
    }
}

std::optional<int32_t> MainWindow::askReference(const QString& path) {
    QString reason;
    for (;;) {
        const std::optional<QString> typed = dialogs_->askNumber(
            this, QStringLiteral("SpliceRef of ") + path,
            reason + QStringLiteral("Enter the reference position"), QStringLiteral("0"));
        if (!typed) {
            return std::nullopt; // Cancel and Esc drop this splice
        }
        if (const std::optional<int32_t> value = textToInt32(pathBytes(*typed))) {
            return value;
        }
        reason =
            QStringLiteral("\"") + *typed + QStringLiteral("\" is not a whole number of frames.\n");
    }
}

void MainWindow::addSpliceCommand() {
    guarded([this] {
        const std::string refusal = session_.spliceRefusal();
        if (!refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
            return;
        }
        const QStringList paths =
            dialogs_->openFiles(this, kOpenFilter, QStringLiteral("addSplice"));
        std::vector<SpliceRequest> splices;
        for (const QString& path : paths) {
            SpliceRequest request{pathBytes(path), std::nullopt};
            // The name's digits are the reference; a name without any asks.
            bool noDigits = false;
            try {
                noDigits = spliceRefOf(request.file) == -1;
            } catch (const ConversionError&) {
                // The session refuses it with the reason.
            }
            if (noDigits) {
                request.reference = askReference(path);
                if (!request.reference) {
                    continue;
                }
            }
            splices.push_back(std::move(request));
        }
        if (splices.empty()) {
            return;
        }
        progress2_->start(int32_t(splices.size()));
        relist_ = true;
        const std::vector<SpliceResult> results = session_.addSplices(splices);
        relist_ = false;
        progress1_->finish();
        progress2_->finish();
        tellSpliced(results);
    });
}

void MainWindow::tellSpliced(const std::vector<SpliceResult>& results) {
    for (const SpliceResult& result : results) {
        if (result.outcome == SpliceOutcome::Failed ||
            result.outcome == SpliceOutcome::BadReference) {
            dialogs_->error(this, toQt(result.message));
        } else if (result.outcome != SpliceOutcome::Inserted) {
            dialogs_->message(this, toQt(refusalText(result.file, result)));
        }
    }
}

bool MainWindow::readyToWrite() {
    const std::string refusal = scriptRefusal(session_.plan());
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
        // Never over a video or another file of the plan, whatever the
        // answer to "Replace it?" would be.
        if (const std::string refusal = session_.writeRefusal(pathBytes(*path)); !refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
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
    if (!session_.scriptPath().empty()) {
        return toQt(session_.scriptPath());
    }
    const QFileInfo base(toQt(session_.plan()->baseList.at(0).fileName()));
    return QDir(base.absolutePath()).filePath(base.completeBaseName() + QStringLiteral(".avs"));
}

void MainWindow::writeScript(const QString& path) {
    const PathMap paths = scriptPaths->pathMap();
    // A file the script cannot name is refused before anything is logged.
    (void)session_.scriptText(paths);
    progress1_->start(session_.panelCount());
    logWindow_.logText->addText("Creating " + pathBytes(path));
    WriteResult result;
    try {
        result = session_.writeScript(pathBytes(path), paths);
    } catch (const std::exception& e) {
        // The log says how its "Creating" ended; the error box follows.
        logWindow_.logText->addText(std::string("Failed: ") + e.what());
        throw;
    }
    if (!result.written) {
        logWindow_.logText->addText("Failed: " + result.refusal);
        dialogs_->message(this, toQt(result.refusal));
        return;
    }
    logWindow_.logText->addText("Done");
    progress1_->finish();
    showStatus(QStringLiteral("Script written to ") + path);
    statusIsWrittenScript_ = true;
}

void MainWindow::moveEarlierCommand() {
    guarded([this] { session_.moveEarlier(); });
}

void MainWindow::moveLaterCommand() {
    guarded([this] { session_.moveLater(); });
}

void MainWindow::onPanelEdit(SegmentId id, const EditCells& shown, const EditCells& typed) {
    guarded([this, id, &shown, &typed] {
        if (id == kNoSegment) {
            return;
        }
        const int64_t before = session_.notifications();
        tellCorrection(session_.edit(id, shown, typed).correction);
        const bool typedOther =
            typed.start != shown.start || typed.end != shown.end || typed.length != shown.length;
        if (session_.notifications() == before && typedOther) {
            // Nothing changed ("x" typed as a start): the cells show the
            // plan's values again.
            panelArea->redrawApplied();
        }
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
    guarded([this, id] {
        if (id != kNoSegment) {
            session_.remove(id);
        }
        focusCurrentPanel();
    });
}

void MainWindow::refreshProperties() {
    QWidget::update();
    updatePreview();
    const PropertyFields f = propertyFieldsOf(session_.plan());
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

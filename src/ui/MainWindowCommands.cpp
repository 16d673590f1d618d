// The main window's commands on the plan: "Add File", "Add Splice", "Generate
// AVS", the moves of the current segment, the panels' events and the refresh.
// Each command is the plan's own operation; the window only asks the dialogs
// and shows the results.

#include "avi/AviHeader.h"
#include "avi/CodecNames.h"
#include "avi/InfoTags.h"
#include "splice/PlanActions.h"
#include "splice/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/PanelCell.h"
#include "ui/PanelScrollArea.h"
#include "ui/PlanView.h"
#include "ui/SegmentPanel.h"
#include "ui/TagWindow.h"
#include "ui/UiText.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

namespace vidloom::ui {

namespace {

const QString kOpenFilter = QStringLiteral("*.avi");
const QString kSaveFilter = QStringLiteral("*.avs");
const QString kSaveSuffix = QStringLiteral("avs");

std::string decimal(int32_t n) {
    return std::to_string(n);
}

} // namespace

SplicePlan* MainWindow::plan() const {
    return plan_.get();
}

void MainWindow::addFileCommand() {
    guarded([this] {
        deleteHiddenPanels();
        addPaths(dialogs_->openFiles(this, kOpenFilter));
    });
    // The refresh runs also when the dialog was cancelled or a file failed,
    // so the fields show what did get into the plan.
    guarded([this] { refreshProperties(); });
}

void MainWindow::addFiles(const QStringList& paths) {
    QStringList absolute;
    for (const QString& path : paths) {
        absolute.append(QFileInfo(path).absoluteFilePath());
    }
    guarded([this, &absolute] {
        deleteHiddenPanels();
        addPaths(absolute);
    });
    guarded([this] { refreshProperties(); });
}

void MainWindow::addPaths(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    view_->progress2.start(int32_t(paths.size()));
    for (const QString& path : paths) {
        view_->progress1.start(1);
        vidloom::addFile(plan_, pathBytes(path), view_->seams());
        showBrandOfBaseClip();
        view_->progress1.finish();
        view_->progress2.step();
    }
    view_->progress2.finish();
}

void MainWindow::showBrandOfBaseClip() {
    const InfoTags* brand = plan_->baseList.at(0).header->BrandInfo.get();
    if (brand == nullptr) {
        // A base clip that is not an AVI file has no tag record: the columns
        // show their headings alone.
        brandWindow_.showColumns("InfoTag", "Contents");
        return;
    }
    brandWindow_.showColumns(brand->idColumn(), brand->toString());
}

void MainWindow::addSpliceCommand() {
    guarded([this] {
        deleteHiddenPanels();
        const std::string refusal = spliceRefusal(plan_.get());
        if (!refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
            return;
        }
        const QStringList paths = dialogs_->openFiles(this, kOpenFilter);
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
        // No refresh here: the fields and the navigation buttons keep their
        // state until the next "Add File" or panel deletion.
    });
}

void MainWindow::generateCommand() {
    guarded([this] {
        deleteHiddenPanels();
        const std::string refusal = scriptRefusal(plan_.get());
        if (!refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
            return;
        }
        const std::optional<QString> path = dialogs_->saveFile(this, kSaveFilter, kSaveSuffix);
        if (!path) {
            return;
        }
        view_->progress1.start(plan_->segments.count());
        generateAvs(*plan_, pathBytes(*path), view_.get());
        view_->progress1.finish();
    });
}

void MainWindow::moveEarlierCommand() {
    guarded([this] {
        deleteHiddenPanels();
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveEarlier(plan_->currentSegment);
        }
    });
}

void MainWindow::moveLaterCommand() {
    guarded([this] {
        deleteHiddenPanels();
        if (plan_ && plan_->currentSegment != kNoSegment) {
            plan_->moveLater(plan_->currentSegment);
        }
    });
}

SegmentPanel* MainWindow::createPanel(SegmentId segment) {
    auto* panel = new SegmentPanel(panelArea->contents(), segment);
    panel->setObjectName(QStringLiteral("InfoClipBox"));
    connect(panel, &SegmentPanel::selected, this, &MainWindow::onPanelSelected);
    connect(panel, &SegmentPanel::deleteRequested, this, &MainWindow::onPanelDelete);
    return panel;
}

void MainWindow::onPanelSelected(SegmentPanel* panel) {
    guarded([this, panel] {
        if (plan_ && panel->segmentId() != kNoSegment) {
            plan_->applyEdit(panel->segmentId(), panel->startEdit->text().toStdString(),
                             panel->endEdit->text().toStdString(),
                             panel->lengthEdit->text().toStdString());
        }
    });
}

void MainWindow::onPanelDelete(SegmentPanel* panel) {
    guarded([this, panel] {
        if (plan_ && panel->segmentId() != kNoSegment) {
            plan_->remove(panel->segmentId());
        }
    });
    guarded([this] { refreshProperties(); });
}

void MainWindow::refreshProperties() {
    QWidget::update();
    updatePreview();
    for (QWidget* w : std::initializer_list<QWidget*>{
             fourCCEdit, codecEdit, frameSizeEdit, frameRateEdit, audioFormatEdit, audioBitRateEdit,
             sampleRateEdit, channelsEdit, moveEarlierButton, moveEarlierFrame, moveLaterButton,
             moveLaterFrame}) {
        w->hide();
    }
    if (!plan_ || plan_->segments.count() == 0) {
        return;
    }
    const AviHeader& info = *plan_->segments.at(0).header;
    const QString tip = tipText(info.Report);
    setFieldText(fourCCEdit, toQt(info.VideoFourCC));
    setFieldText(codecEdit, toQt(videoCodecNames().nameOf(info.VideoFourCC)));
    setFieldText(frameSizeEdit, toQt(decimal(info.Width) + "x" + decimal(info.Height)));
    setFieldText(frameRateEdit, toQt(decimal(info.FpsInteger) + "." +
                                     thousandthsText(info.FpsThousandths) + " fps"));
    for (QLineEdit* video : {fourCCEdit, codecEdit, frameSizeEdit, frameRateEdit}) {
        video->setToolTip(tip);
        video->show();
    }
    if (!info.NoAudio) {
        setFieldText(audioFormatEdit, toQt(audioFormatNames().nameOf(info.AudioFormatTag)));
        setFieldText(audioBitRateEdit, toQt(decimal(info.AudioBytesPerSec / 125) + " kbps"));
        setFieldText(sampleRateEdit, toQt(decimal(info.AudioSampleRate) + "Hz"));
        setFieldText(channelsEdit,
                     info.AudioChannels == 2 ? QStringLiteral("Stereo") : QStringLiteral("Mono"));
        for (QLineEdit* audio : {audioFormatEdit, audioBitRateEdit, sampleRateEdit, channelsEdit}) {
            audio->show();
        }
    }
    if (plan_->segments.count() > 1) {
        for (QWidget* w : std::initializer_list<QWidget*>{moveEarlierFrame, moveEarlierButton,
                                                          moveLaterFrame, moveLaterButton}) {
            w->show();
        }
    }
}

} // namespace vidloom::ui

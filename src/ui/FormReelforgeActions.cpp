// The main window's commands on the plan: "Add File", "Add Splice", "Generate
// AVS", the moves of the current segment, the panels' events and the refresh.
// Each command is the plan's own operation; the window only asks the dialogs
// and shows the results.

#include "avi/UAVTag.h"
#include "avi/UAviInfo.h"
#include "brand/USealmarkInfo.h"
#include "splice/PlanActions.h"
#include "splice/USplicer.h"
#include "ui/DialogSeam.h"
#include "ui/FormBrandInfo.h"
#include "ui/FormReelforge.h"
#include "ui/InfoClipBox.h"
#include "ui/PlanView.h"
#include "ui/Shapes.h"
#include "ui/TScrollBox.h"
#include "ui/TmodEdit.h"
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

TClip* TForm1::SplicePlan() const {
    return plan_.get();
}

void TForm1::AddFileExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        addPaths(dialogs_->openFiles(this, kOpenFilter));
    });
    // The refresh runs also when the dialog was cancelled or a file failed,
    // so the fields show what did get into the plan.
    guarded([this] { Update(); });
}

void TForm1::addFiles(const QStringList& paths) {
    QStringList absolute;
    for (const QString& path : paths) {
        absolute.append(QFileInfo(path).absoluteFilePath());
    }
    guarded([this, &absolute] {
        FreeDeletedBoxes();
        addPaths(absolute);
    });
    guarded([this] { Update(); });
}

void TForm1::addPaths(const QStringList& paths) {
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

void TForm1::showBrandOfBaseClip() {
    const TbrandInfo* brand = plan_->BaseList.getSegment(0).AviInfo->BrandInfo.get();
    if (brand == nullptr) {
        // A base clip that is not an AVI file has no tag record: the columns
        // show their headings alone.
        brandWindow_.showColumns("InfoTag", "Contents");
        return;
    }
    brandWindow_.showColumns(brand->HeadertoString(), brand->toString());
}

void TForm1::AddSpliceExecute() {
    guarded([this] {
        FreeDeletedBoxes();
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

void TForm1::GoExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        const std::string refusal = scriptRefusal(plan_.get());
        if (!refusal.empty()) {
            dialogs_->message(this, toQt(refusal));
            return;
        }
        const std::optional<QString> path = dialogs_->saveFile(this, kSaveFilter, kSaveSuffix);
        if (!path) {
            return;
        }
        view_->progress1.start(plan_->Segments.count());
        generateAvs(*plan_, pathBytes(*path), CheckBox1->isChecked(), view_.get());
        view_->progress1.finish();
    });
}

void TForm1::prevExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        if (plan_ && plan_->CurrentBox != kNoSegment) {
            plan_->prev(plan_->CurrentBox);
        }
    });
}

void TForm1::nextExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        if (plan_ && plan_->CurrentBox != kNoSegment) {
            plan_->next(plan_->CurrentBox);
        }
    });
}

TInfoClipBox* TForm1::createPanel(SegmentId segment) {
    auto* panel = new TInfoClipBox(ScrollBox1->contents(), segment);
    panel->setObjectName(QStringLiteral("InfoClipBox"));
    connect(panel, &TInfoClipBox::selected, this, &TForm1::onPanelSelected);
    connect(panel, &TInfoClipBox::deleteRequested, this, &TForm1::onPanelDelete);
    return panel;
}

void TForm1::onPanelSelected(TInfoClipBox* panel) {
    guarded([this, panel] {
        if (plan_ && panel->ClipSplice() != kNoSegment) {
            plan_->onSelected(panel->ClipSplice(), panel->Flabel42->text().toStdString(),
                              panel->Flabel43->text().toStdString(),
                              panel->Flabel44->text().toStdString());
        }
    });
}

void TForm1::onPanelDelete(TInfoClipBox* panel) {
    guarded([this, panel] {
        if (plan_ && panel->ClipSplice() != kNoSegment) {
            plan_->del(panel->ClipSplice());
        }
    });
    guarded([this] { Update(); });
}

void TForm1::Update() {
    QWidget::update();
    for (QWidget* w :
         std::initializer_list<QWidget*>{Edit0, Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7,
                                         BtnPrev, BtnPrevShape, BtnNext, BtnNextShape}) {
        w->hide();
    }
    if (!plan_ || plan_->Segments.count() == 0) {
        return;
    }
    const TAviInfo& info = *plan_->Segments.getSegment(0).AviInfo;
    const QString tip = tipText(info.Report);
    setFieldText(Edit0, toQt(info.VideoFourCC));
    setFieldText(Edit1, toQt(VideoFCCTable().getFCCInfo(info.VideoFourCC)));
    setFieldText(Edit2, toQt(decimal(info.Width) + "x" + decimal(info.Height)));
    setFieldText(Edit3, toQt(decimal(info.FpsInteger) + "." + thousandthsText(info.FpsThousandths) +
                             " fps"));
    for (QLineEdit* video : {Edit0, Edit1, Edit2, Edit3}) {
        video->setToolTip(tip);
        video->show();
    }
    if (!info.NoAudio) {
        setFieldText(Edit4, toQt(AudioTagTable().getInfoTag(info.AudioFormatTag)));
        setFieldText(Edit5, toQt(decimal(info.AudioBytesPerSec / 125) + " kbps"));
        setFieldText(Edit6, toQt(decimal(info.AudioSampleRate) + "Hz"));
        setFieldText(Edit7,
                     info.AudioChannels == 2 ? QStringLiteral("Stereo") : QStringLiteral("Mono"));
        for (QLineEdit* audio : {Edit4, Edit5, Edit6, Edit7}) {
            audio->show();
        }
    }
    if (plan_->Segments.count() > 1) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{BtnPrevShape, BtnPrev, BtnNextShape, BtnNext}) {
            w->show();
        }
    }
}

} // namespace vidloom::ui

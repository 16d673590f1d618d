// The main window's controls, its refresh and its resize rule. The actions
// that work on the plan are in FormReelforgeActions.cpp.

#include "ui/FormReelforge.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "splice/USplicer.h"
#include "ui/DialogSeam.h"
#include "ui/FormBrandInfo.h"
#include "ui/FormLogInfo.h"
#include "ui/FormStyle.h"
#include "ui/InfoClipBox.h"
#include "ui/PlanView.h"
#include "ui/Shapes.h"
#include "ui/TScrollBox.h"
#include "ui/UiText.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace vidloom::ui {

namespace {

const QColor kFontColor = rgb(17, 66, 119);
const QColor kShapeBorder = rgb(220, 234, 250);
const QColor kNavigationFill = rgb(130, 222, 238);

void setTextColor(QWidget* widget, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(role, kFontColor);
    widget->setPalette(palette);
}

QProgressBar* progressBar(QWidget* parent, const char* name, int left, int top, int width,
                          int height) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(left, top, width, height);
    return bar;
}

bool isAviPath(const QString& path) {
    return path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive);
}

} // namespace

TForm1::TForm1(TForm2& brandWindow, TForm3& logWindow)
    : QWidget(nullptr), brandWindow_(brandWindow), logWindow_(logWindow),
      ownDialogs_(std::make_unique<QtDialogSeam>()), dialogs_(ownDialogs_.get()) {
    setObjectName(QStringLiteral("Form1"));
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, 228, 134, 700, 600);
    setAcceptDrops(true);
    buildControls();
    buildActions();
    view_ = std::make_unique<PlanView>(*this, *logWindow_.Memo1);
}

TForm1::~TForm1() {
    // The panels refer to segments of the plan: they go before the plan does.
    const QList<TInfoClipBox*> all = panels();
    for (TInfoClipBox* panel : all) {
        panel->detach();
        delete panel;
    }
}

void TForm1::setDialogs(DialogSeam* dialogs) {
    dialogs_ = dialogs != nullptr ? dialogs : ownDialogs_.get();
}

void TForm1::buildControls() {
    ProgressBar1 = progressBar(this, "ProgressBar1", 8, 6, 457, 21);
    ProgressBar2 = progressBar(this, "ProgressBar2", 472, 6, 201, 21);

    // Each command button lies over a shape of exactly its bounds, which
    // gives the flat button its frame.
    auto command = [this](TShape*& shape, TSpeedButton*& button, const char* name,
                          const QString& caption, const QString& hint, QRect bounds) {
        shape = new TShape(this);
        shape->setObjectName(QStringLiteral("Shape") + QString::fromLatin1(name).right(1));
        shape->setPenColor(kShapeBorder);
        shape->setGeometry(bounds);
        button = new TSpeedButton(this, caption, hint);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(bounds);
        setTextColor(button, QPalette::ButtonText);
    };
    command(Shape1, SpeedButton1, "SpeedButton1", QStringLiteral("Add File"), QStringLiteral("F1"),
            QRect(8, 32, 201, 25));
    command(Shape2, SpeedButton2, "SpeedButton2", QStringLiteral("Show BrandInfo"),
            QStringLiteral("F7"), QRect(8, 64, 201, 25));
    command(Shape3, SpeedButton3, "SpeedButton3", QStringLiteral("Add Splice"),
            QStringLiteral("F2"), QRect(256, 32, 201, 25));
    command(Shape4, SpeedButton4, "SpeedButton4", QStringLiteral("Generate AVS"),
            QStringLiteral("F9"), QRect(472, 32, 209, 25));
    command(Shape5, SpeedButton5, "SpeedButton5", QStringLiteral("Show LogInfo"),
            QStringLiteral("F8"), QRect(472, 64, 105, 25));

    CheckBox1 = new QCheckBox(QStringLiteral("Debug Info"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(584, 68, 97, 17);
    CheckBox1->setToolTip(QStringLiteral("Ctrl F8"));
    CheckBox1->setChecked(false);
    setTextColor(CheckBox1, QPalette::WindowText);

    ScrollBox1 = new TScrollBox(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(8, 104, 675, 460);
    QWidget* box = ScrollBox1->contents();

    auto field = [box](const char* name, int left, int top, int width, int height) {
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setGeometry(left, top, width, height);
        setTextColor(edit, QPalette::Text);
        return edit;
    };
    Edit0 = field("Edit0", 8, 8, 49, 21);
    Edit1 = field("Edit1", 64, 8, 145, 21);
    Edit2 = field("Edit2", 8, 32, 49, 21);
    Edit3 = field("Edit3", 64, 32, 57, 21);
    Edit4 = field("Edit4", 496, 8, 169, 21);
    Edit5 = field("Edit5", 496, 32, 57, 21);
    Edit6 = field("Edit6", 560, 32, 57, 21);
    Edit7 = field("Edit7", 624, 32, 41, 21);

    auto navigation = [box](TShape*& shape, TSpeedButton*& button, const char* name,
                            const QString& caption, const QString& hint, QRect bounds) {
        shape = new TShape(box);
        shape->setObjectName(QString::fromLatin1(name) + QStringLiteral("Shape"));
        shape->setBrushColor(kNavigationFill);
        shape->setGeometry(bounds);
        button = new TSpeedButton(box, caption, hint);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(bounds);
        setTextColor(button, QPalette::ButtonText);
    };
    navigation(BtnPrevShape, BtnPrev, "BtnPrev", QStringLiteral("<<"), QStringLiteral("F5 - Prev"),
               QRect(240, 48, 73, 25));
    navigation(BtnNextShape, BtnNext, "BtnNext", QStringLiteral(">>"), QStringLiteral("F6 - Next"),
               QRect(376, 48, 73, 25));
}

void TForm1::buildActions() {
    auto action = [this](QAction*& slot, const char* name, QKeySequence key,
                         void (TForm1::*handler)()) {
        slot = new QAction(QString::fromLatin1(name), this);
        slot->setObjectName(QString::fromLatin1(name));
        slot->setShortcut(key);
        // The keys work from the tool windows too, as they belong to the
        // program rather than to one window; a modal dialog still blocks them.
        slot->setShortcutContext(Qt::ApplicationShortcut);
        addAction(slot);
        connect(slot, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    action(AddFile, "AddFile", QKeySequence(Qt::Key_F1), &TForm1::AddFileExecute);
    action(AddSplice, "AddSplice", QKeySequence(Qt::Key_F2), &TForm1::AddSpliceExecute);
    action(Go, "Go", QKeySequence(Qt::Key_F9), &TForm1::GoExecute);
    action(ShowBrandInfo, "ShowBrandInfo", QKeySequence(Qt::Key_F7), &TForm1::ShowBrandInfoExecute);
    action(ShowLogInfo, "ShowLogInfo", QKeySequence(Qt::Key_F8), &TForm1::ShowLogInfoExecute);
    action(DebugInfo, "DebugInfo", QKeySequence(Qt::CTRL | Qt::Key_F8), &TForm1::DebugInfoExecute);
    action(prev, "prev", QKeySequence(Qt::Key_F5), &TForm1::prevExecute);
    action(next, "next", QKeySequence(Qt::Key_F6), &TForm1::nextExecute);

    // A key and its button behave identically.
    connect(SpeedButton1, &QPushButton::clicked, AddFile, &QAction::trigger);
    connect(SpeedButton2, &QPushButton::clicked, ShowBrandInfo, &QAction::trigger);
    connect(SpeedButton3, &QPushButton::clicked, AddSplice, &QAction::trigger);
    connect(SpeedButton4, &QPushButton::clicked, Go, &QAction::trigger);
    connect(SpeedButton5, &QPushButton::clicked, ShowLogInfo, &QAction::trigger);
    connect(BtnPrev, &QPushButton::clicked, prev, &QAction::trigger);
    connect(BtnNext, &QPushButton::clicked, next, &QAction::trigger);
}

void TForm1::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_->error(this, toQt(e.what()));
    } catch (...) {
        dialogs_->error(this, QStringLiteral("An unexpected error ended the command."));
    }
}

QList<TInfoClipBox*> TForm1::panels() const {
    return ScrollBox1->contents()->findChildren<TInfoClipBox*>(QString(),
                                                               Qt::FindDirectChildrenOnly);
}

void TForm1::FreeDeletedBoxes() {
    // The list is taken first, so destroying a panel cannot disturb the scan.
    const QList<TInfoClipBox*> all = panels();
    for (TInfoClipBox* panel : all) {
        if (panel->isHidden() && panel->ClipSplice() == kNoSegment) {
            delete panel;
        }
    }
}

void TForm1::FormResize() {
    const int32_t w = checkedSub(int32_t(width()), 25);
    const int32_t h = checkedSub(int32_t(height()), 140);
    ScrollBox1->resize(std::max(w, 0), std::max(h, 0));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::ShowBrandInfoExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        brandWindow_.setVisible(!brandWindow_.isVisible());
    });
}

void TForm1::ShowLogInfoExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        logWindow_.setVisible(!logWindow_.isVisible());
    });
}

void TForm1::DebugInfoExecute() {
    guarded([this] {
        FreeDeletedBoxes();
        CheckBox1->setChecked(!CheckBox1->isChecked());
    });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) {
            return url.isLocalFile() && isAviPath(url.toLocalFile());
        })) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && isAviPath(url.toLocalFile())) {
            paths.append(url.toLocalFile());
        }
    }
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        addFiles(paths);
    }
}

} // namespace vidloom::ui

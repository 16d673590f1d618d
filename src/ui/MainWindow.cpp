// The main window's controls, its refresh and its resize rule. The actions
// that work on the plan are in MainWindowCommands.cpp.

#include "ui/MainWindow.h"

#include "avi/Version.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "present/JoinFrames.h"
#include "ui/CommandButton.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/ProgressView.h"
#include "ui/TagWindow.h"
#include "ui/UiText.h"
#include "ui/WindowStyle.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/panels/SessionPanels.h"
#include "ui/viewer/PreviewStrip.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QUrl>

#include <algorithm>
#include <exception>
#include <tuple>

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

QProgressBar* makeProgressBar(QWidget* parent, const char* name, int left, int top, int width,
                              int height) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(left, top, width, height);
    return bar;
}

// The room the preview strip takes under the panels.
constexpr int kPreviewSpace = PreviewStrip::kHeight + 8;
// The "Preview strip" check box beside the status line.
constexpr int kPreviewBoxWidth = 100;

// A flat command button over a frame of exactly its bounds (the frame first,
// so the button lies on top of it); the caller colours and names the frame.
void placeFramedButton(QWidget* parent, ButtonFrame*& shape, CommandButton*& button,
                       const char* name, const QString& caption, const QString& hint,
                       QRect bounds) {
    shape = new ButtonFrame(parent);
    shape->setGeometry(bounds);
    button = new CommandButton(parent, caption, hint);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(bounds);
    setTextColor(button, QPalette::ButtonText);
}

bool isAviPath(const QString& path) {
    return path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive);
}

// What a drop brings that the window opens: AVI files and scripts.
bool opensOnDrop(const QUrl& url) {
    return url.isLocalFile() &&
           (isAviPath(url.toLocalFile()) || MainWindow::isScriptPath(url.toLocalFile()));
}

} // namespace

MainWindow::MainWindow(TagWindow& brandWindow, LogWindow& logWindow)
    : QWidget(nullptr), brandWindow_(brandWindow), logWindow_(logWindow),
      ownDialogs_(std::make_unique<QtDialogSeam>()), dialogs_(ownDialogs_.get()) {
    setObjectName(QStringLiteral("mainWindow"));
    applyFormFont(this);
    applyFormBackground(this);
    // The designed window, and under its panels the preview strip.
    placeWindow(this, 228, 134, 700, 600 + kPreviewSpace);
    setAcceptDrops(true);
    buildControls();
    buildActions();
    buildScriptControls();
    progress1_ = std::make_unique<ProgressView>(*progressBar);
    progress2_ = std::make_unique<ProgressView>(*secondProgressBar);
    panelSource_ = std::make_unique<SessionPanels>(session_);
    panelArea->setSource(panelSource_.get());
    // The one way the widgets learn of a change: once per command.
    session_.onChange([this] { guarded([this] { afterPlanChange(); }); });
    connect(panelArea, &PanelGrid::editRequested, this, &MainWindow::onPanelEdit);
    connect(panelArea, &PanelGrid::deleteRequested, this, &MainWindow::onPanelDelete);
    connect(panelArea, &PanelGrid::snapRequested, this, &MainWindow::onPanelSnap);
    buildHistory(); // also sets the title
    buildViewer();
    refreshProperties();
}

MainWindow::~MainWindow() {
    // The grid outlives the source that feeds it.
    panelArea->setSource(nullptr);
    session_.onChange({});
}

void MainWindow::setDialogs(DialogSeam* dialogs) {
    dialogs_ = dialogs != nullptr ? dialogs : ownDialogs_.get();
}

void MainWindow::buildControls() {
    progressBar = makeProgressBar(this, "progressBar", 8, 6, 457, 21);
    secondProgressBar = makeProgressBar(this, "secondProgressBar", 472, 6, 201, 21);
    buildCommandButtons();
    buildDebugBox();

    statusLine = new QLabel(this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusLine->setGeometry(8, 89, 675 - kPreviewBoxWidth - 8, 15);
    setTextColor(statusLine, QPalette::WindowText);

    panelArea = new PanelGrid(this);
    panelArea->setObjectName(QStringLiteral("panelArea"));
    panelArea->setGeometry(8, 104, 675, 460);
    buildPreview();
    buildNavigation();
    buildPropertyFields();
    // Every control of the top rows stays within reach, with a few rows of
    // panels below them.
    setMinimumSize(generateButton->geometry().right() + 1 + 8 + 2, 300);
}

void MainWindow::buildCommandButtons() {
    // Each command button lies over a shape of exactly its bounds, which
    // gives the flat button its frame.
    auto command = [this](ButtonFrame*& shape, CommandButton*& button, const char* name,
                          const QString& caption, const QString& hint, QRect bounds) {
        placeFramedButton(this, shape, button, name, caption, hint, bounds);
        shape->setObjectName(QStringLiteral("Shape") + QString::fromLatin1(name).right(1));
        shape->setPenColor(kShapeBorder);
    };
    command(addFileFrame, addFileButton, "addFileButton", QStringLiteral("Add File"),
            QStringLiteral("F1"), QRect(8, 32, 201, 25));
    command(showTagsFrame, showTagsButton, "showTagsButton", QStringLiteral("Show BrandInfo"),
            QStringLiteral("F7"), QRect(8, 64, 201, 25));
    command(addSpliceFrame, addSpliceButton, "addSpliceButton", QStringLiteral("Add Splice"),
            QStringLiteral("F2"), QRect(256, 32, 201, 25));
    command(generateFrame, generateButton, "generateButton", QStringLiteral("Generate AVS"),
            QStringLiteral("F9"), QRect(472, 32, 209, 25));
    command(showLogFrame, showLogButton, "showLogButton", QStringLiteral("Show LogInfo"),
            QStringLiteral("F8"), QRect(472, 64, 105, 25));
}

void MainWindow::buildDebugBox() {
    debugInfoBox = new QCheckBox(QStringLiteral("Debug Info"), this);
    debugInfoBox->setObjectName(QStringLiteral("debugInfoBox"));
    debugInfoBox->setGeometry(584, 68, 97, 17);
    debugInfoBox->setToolTip(QStringLiteral("Ctrl F8"));
    debugInfoBox->setChecked(false);
    setTextColor(debugInfoBox, QPalette::WindowText);
}

void MainWindow::buildPreview() {
    previewBox = new QCheckBox(QStringLiteral("Preview strip"), this);
    previewBox->setObjectName(QStringLiteral("previewBox"));
    // At the right end of the status line's row, so it stays where it is
    // whether the strip is shown or not.
    previewBox->setGeometry(8 + 675 - kPreviewBoxWidth, 87, kPreviewBoxWidth, 17);
    previewBox->setToolTip(QStringLiteral("F4"));
    previewBox->setChecked(previewShown_);
    setTextColor(previewBox, QPalette::WindowText);
    connect(previewBox, &QCheckBox::clicked, this,
            [this](bool checked) { setPreviewShown(checked); });
    previewStrip = new PreviewStrip(this);
    previewStrip->setGeometry(8, 104 + 460 + 8, 675, PreviewStrip::kHeight);
}

void MainWindow::buildPropertyFields() {
    QWidget* box = panelArea->contents();
    auto field = [box](const char* name) {
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QString::fromLatin1(name));
        setTextColor(edit, QPalette::Text);
        return edit;
    };
    fourCCEdit = field("fourCCEdit");
    codecEdit = field("codecEdit");
    frameSizeEdit = field("frameSizeEdit");
    frameRateEdit = field("frameRateEdit");
    audioFormatEdit = field("audioFormatEdit");
    audioBitRateEdit = field("audioBitRateEdit");
    sampleRateEdit = field("sampleRateEdit");
    channelsEdit = field("channelsEdit");
    placePropertyFields();
}

void MainWindow::placePropertyFields() {
    // Each field is as wide as designed or as its longest usual text needs at
    // the window's font, whichever is more; the fields of a row follow each
    // other. The video rows start at the left; the audio rows end at the
    // designed right edge, the second one beside the ">>" button.
    auto widthFor = [](QLineEdit* edit, int designed, const char* longest) {
        const int chrome = edit->width() - textRoomOf(edit);
        const int text = edit->fontMetrics().horizontalAdvance(QString::fromLatin1(longest));
        return std::max(designed, text + chrome + 1);
    };
    const int gap = 7;
    const int row1 = 8;
    const int row2 = 32;
    const int height = 21;
    const int fourCC = widthFor(fourCCEdit, 49, "WWWW");
    fourCCEdit->setGeometry(8, row1, fourCC, height);
    codecEdit->setGeometry(8 + fourCC + gap, row1,
                           widthFor(codecEdit, 145, "Raw, uncompressed YUV 4:2:0"), height);
    const int size = widthFor(frameSizeEdit, 49, "88888x88888");
    frameSizeEdit->setGeometry(8, row2, size, height);
    frameRateEdit->setGeometry(8 + size + gap, row2, widthFor(frameRateEdit, 57, "888.888 fps"),
                               height);

    const int right = 665;
    const int format = widthFor(audioFormatEdit, 169, "Unknown Audio Tag: 88888");
    audioFormatEdit->setGeometry(right - format, row1, format, height);
    // The second audio row ends at the same edge unless its texts need more
    // room than there is beside the ">>" button; then it runs further right.
    const std::tuple<QLineEdit*, int, const char*> row[] = {{audioBitRateEdit, 57, "8888 kbps"},
                                                            {sampleRateEdit, 57, "888888Hz"},
                                                            {channelsEdit, 41, "8 channels"}};
    const int tightGap = 4;
    int total = -tightGap;
    for (const auto& [edit, designed, longest] : row) {
        total += widthFor(edit, designed, longest) + tightGap;
    }
    int left = std::max(right - total, moveLaterButton->geometry().right() + 1 + gap);
    for (const auto& [edit, designed, longest] : row) {
        const int w = widthFor(edit, designed, longest);
        edit->setGeometry(left, row2, w, height);
        left += w + tightGap;
    }
}

void MainWindow::buildNavigation() {
    QWidget* box = panelArea->contents();
    auto navigation = [box](ButtonFrame*& shape, CommandButton*& button, const char* name,
                            const QString& caption, const QString& hint, QRect bounds) {
        placeFramedButton(box, shape, button, name, caption, hint, bounds);
        shape->setObjectName(QString::fromLatin1(name) + QStringLiteral("Shape"));
        shape->setBrushColor(kNavigationFill);
    };
    navigation(moveEarlierFrame, moveEarlierButton, "moveEarlierButton", QStringLiteral("<<"),
               QStringLiteral("F5 - Prev"), QRect(240, 48, 73, 25));
    navigation(moveLaterFrame, moveLaterButton, "moveLaterButton", QStringLiteral(">>"),
               QStringLiteral("F6 - Next"), QRect(376, 48, 73, 25));
}

void MainWindow::buildActions() {
    auto action = [this](QAction*& slot, const char* name, QKeySequence key,
                         void (MainWindow::*handler)()) {
        slot = new QAction(QString::fromLatin1(name), this);
        slot->setObjectName(QString::fromLatin1(name));
        slot->setShortcut(key);
        // The keys work from the tool windows too, as they belong to the
        // program rather than to one window; a modal dialog still blocks them.
        slot->setShortcutContext(Qt::ApplicationShortcut);
        addAction(slot);
        connect(slot, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    action(addFileAction, "addFileAction", QKeySequence(Qt::Key_F1), &MainWindow::addFileCommand);
    action(addSpliceAction, "addSpliceAction", QKeySequence(Qt::Key_F2),
           &MainWindow::addSpliceCommand);
    action(generateAction, "generateAction", QKeySequence(Qt::Key_F9),
           &MainWindow::generateCommand);
    action(showTagsAction, "showTagsAction", QKeySequence(Qt::Key_F7), &MainWindow::showTagWindow);
    action(showLogAction, "showLogAction", QKeySequence(Qt::Key_F8), &MainWindow::showLogWindow);
    action(debugInfoAction, "debugInfoAction", QKeySequence(Qt::CTRL | Qt::Key_F8),
           &MainWindow::toggleDebugInfo);
    action(moveEarlierAction, "moveEarlierAction", QKeySequence(Qt::Key_F5),
           &MainWindow::moveEarlierCommand);
    action(moveLaterAction, "moveLaterAction", QKeySequence(Qt::Key_F6),
           &MainWindow::moveLaterCommand);
    action(openScriptAction, "openScriptAction", QKeySequence(Qt::CTRL | Qt::Key_O),
           &MainWindow::openScriptCommand);
    action(previewAction, "previewAction", QKeySequence(Qt::Key_F4), &MainWindow::togglePreview);

    // A key and its button behave identically.
    connect(addFileButton, &QPushButton::clicked, addFileAction, &QAction::trigger);
    connect(showTagsButton, &QPushButton::clicked, showTagsAction, &QAction::trigger);
    connect(addSpliceButton, &QPushButton::clicked, addSpliceAction, &QAction::trigger);
    connect(generateButton, &QPushButton::clicked, generateAction, &QAction::trigger);
    connect(showLogButton, &QPushButton::clicked, showLogAction, &QAction::trigger);
    connect(moveEarlierButton, &QPushButton::clicked, moveEarlierAction, &QAction::trigger);
    connect(moveLaterButton, &QPushButton::clicked, moveLaterAction, &QAction::trigger);
}

void MainWindow::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_->error(this, toQt(e.what()));
    } catch (...) {
        dialogs_->error(this, QStringLiteral("An unexpected error ended the command."));
    }
}

QList<SegmentPanel*> MainWindow::panels() const {
    const std::vector<SegmentPanel*> shown = panelArea->shownPanels();
    return QList<SegmentPanel*>(shown.begin(), shown.end());
}

void MainWindow::fitPanelArea() {
    const int32_t w = checkedSub(int32_t(width()), 25);
    const int32_t h =
        checkedSub(checkedSub(int32_t(height()), 140), previewShown_ ? kPreviewSpace : 0);
    panelArea->resize(std::max(w, 0), std::max(h, 0));
    previewStrip->setGeometry(8, 104 + std::max(h, 0) + 8, std::max(w, 0), PreviewStrip::kHeight);
    statusLine->resize(std::max(w - kPreviewBoxWidth - 8, 0), statusLine->height());
    previewBox->move(8 + std::max(w - kPreviewBoxWidth, 0), previewBox->y());
    fitStatusLine();
}

void MainWindow::togglePreview() {
    setPreviewShown(!previewShown_);
}

void MainWindow::setPreviewShown(bool shown) {
    previewBox->setChecked(shown);
    if (shown == previewShown_) {
        return;
    }
    previewShown_ = shown;
    previewStrip->setVisible(shown);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        resize(width(), height() + (shown ? kPreviewSpace : -kPreviewSpace));
    }
    fitPanelArea();
    updatePreview();
}

void MainWindow::updatePreview() {
    if (previewShown_) {
        previewStrip->showFrames(joinFramesOf(session_.plan()));
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitPanelArea();
}

void MainWindow::showTagWindow() {
    guarded([this] { showToolWindow(brandWindow_, brandPlaced_); });
}

void MainWindow::showLogWindow() {
    guarded([this] { showToolWindow(logWindow_, logPlaced_); });
}

void MainWindow::showToolWindow(QWidget& tool, bool& placed) {
    if (tool.isVisible()) {
        tool.hide();
        return;
    }
    if (!placed) {
        // The brand window above the log window, beside this one.
        placeBeside(&tool, {&brandWindow_, &logWindow_}, *this);
        placed = true;
    }
    tool.show();
}

void MainWindow::openOnScreen() {
    keepOnScreen(this);
    show();
}

void MainWindow::showStatus(const QString& text) {
    statusText_ = text;
    statusIsCorrection_ = false;
    statusIsWrittenScript_ = false;
    fitStatusLine();
}

void MainWindow::fitStatusLine() {
    // A long path loses its middle, not its file name; the tool tip has it all.
    statusLine->setText(
        statusLine->fontMetrics().elidedText(statusText_, Qt::ElideMiddle, statusLine->width()));
    statusLine->setToolTip(statusText_);
}

void MainWindow::toggleDebugInfo() {
    guarded([this] { debugInfoBox->setChecked(!debugInfoBox->isChecked()); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), opensOnDrop)) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (opensOnDrop(url)) {
            paths.append(url.toLocalFile());
        }
    }
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        openPaths(paths);
    }
}

} // namespace vidloom::ui

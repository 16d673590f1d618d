#include "ui/panels/SegmentPanel.h"

#include "ui/UiText.h"
#include "ui/panels/PanelCell.h"

#include <QMouseEvent>
#include <QPushButton>

namespace vidloom::ui {

namespace {

// The grid: cells 19 high on rows 21 apart from top 32, columns 60 apart from
// left 2, one column 58 wide.
constexpr int kCellHeight = 19;
constexpr int rowTop(int row) {
    return 32 + row * 21;
}
constexpr int columnLeft(int column) {
    return 2 + column * 60;
}
constexpr int kOneColumn = 58;

} // namespace

SegmentPanel::SegmentPanel(QWidget* owner, SegmentId segment)
    : QGroupBox(owner), segment_(segment) {
    hide();
    setGeometry(8, 16, 244, 155);
    setTitle(QStringLiteral("GroupBox"));
    setEnabled(true);
    setAutoFillBackground(true);

    deleteButton = new QPushButton(QStringLiteral("del"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    deleteButton->setGeometry(80, 12, 28, 17);

    auto cell = [this](int width, int row, int column, const char* name) {
        auto* edit = new PanelCell(this, width, kCellHeight, columnLeft(column), rowTop(row));
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    fileNameLabel = cell(kOneColumn, 0, 0, "fileNameLabel");
    directoryCell = cell(178, 0, 1, "directoryCell");
    fileNameCell = cell(238, 1, 0, "fileNameCell");
    cornerCell = cell(kOneColumn, 2, 0, "cornerCell");
    startHeader = cell(kOneColumn, 2, 1, "startHeader");
    endHeader = cell(kOneColumn, 2, 2, "endHeader");
    lengthHeader = cell(kOneColumn, 2, 3, "lengthHeader");
    internalLabel = cell(kOneColumn, 3, 0, "internalLabel");
    startEdit = cell(kOneColumn, 3, 1, "startEdit");
    endEdit = cell(kOneColumn, 3, 2, "endEdit");
    lengthEdit = cell(kOneColumn, 3, 3, "lengthEdit");
    inClipLabel = cell(kOneColumn, 4, 0, "inClipLabel");
    clipStartCell = cell(kOneColumn, 4, 1, "clipStartCell");
    clipEndCell = cell(kOneColumn, 4, 2, "clipEndCell");
    clipLengthCell = cell(kOneColumn, 4, 3, "clipLengthCell");

    fileNameLabel->setText(QStringLiteral("FileName"));
    startHeader->setText(QStringLiteral("Start"));
    endHeader->setText(QStringLiteral("End"));
    lengthHeader->setText(QStringLiteral("Length"));
    internalLabel->setText(QStringLiteral("Internal"));
    inClipLabel->setText(QStringLiteral("In Clip"));

    for (PanelCell* c : cells()) {
        c->setEnabled(c == startEdit || c == endEdit || c == lengthEdit);
        // Grey text that stays readable on the current panel's colour.
        QPalette p = c->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
        c->setPalette(p);
    }

    buildHints();
    connect(deleteButton, &QPushButton::clicked, this, &SegmentPanel::remove);
    for (PanelCell* c : {startEdit, endEdit, lengthEdit}) {
        connect(c, &PanelCell::clicked, this, &SegmentPanel::applyEdit);
        connect(c, &PanelCell::focusLost, this, &SegmentPanel::applyEdit);
        connect(c, &PanelCell::keyDown, this, &SegmentPanel::onKeyEnter);
    }
}

// The cells are destroyed after the panel's own part; a cell that loses the
// focus on its way out must not reach a half-destroyed panel.
SegmentPanel::~SegmentPanel() {
    detach();
    disconnect(deleteButton, nullptr, this, nullptr);
    for (PanelCell* c : {startEdit, endEdit, lengthEdit}) {
        disconnect(c, nullptr, this, nullptr);
    }
}

void SegmentPanel::detach() {
    segment_ = kNoSegment;
}

void SegmentPanel::apply(const PanelState& state) {
    segment_ = state.id;
    shown_ = state;
    setTitle(toQt(state.caption));
    setFieldText(fileNameCell, toQt(state.fileName));
    setFieldText(directoryCell, toQt(state.directory));
    setFieldText(startEdit, toQt(state.internalStart));
    setFieldText(endEdit, toQt(state.internalEnd));
    setFieldText(lengthEdit, toQt(state.internalLength));
    setFieldText(clipStartCell, toQt(state.clipStart));
    setFieldText(clipEndCell, toQt(state.clipEnd));
    setFieldText(clipLengthCell, toQt(state.clipLength));
    setColor(toQColor(state.cellColor));
    setBoxColor(toQColor(state.groupColor));
    // The file's report, and first why its key-frame test failed if it did.
    std::string tip = state.report;
    if (!state.keyFrameError.empty()) {
        tip = state.keyFrameError + "\r\n\r\n" + tip;
    }
    setToolTip(tipText(tip));
    showHints(state);
    show();
}

std::array<PanelCell*, 15> SegmentPanel::cells() const {
    return {fileNameLabel, directoryCell, fileNameCell,  cornerCell,  startHeader,
            endHeader,     lengthHeader,  internalLabel, startEdit,   endEdit,
            lengthEdit,    inClipLabel,   clipStartCell, clipEndCell, clipLengthCell};
}

void SegmentPanel::setColor(const QColor& color) {
    setBoxColor(color);
    for (PanelCell* c : cells()) {
        QPalette p = c->palette();
        p.setColor(QPalette::Base, color);
        c->setPalette(p);
    }
}

void SegmentPanel::setBoxColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor SegmentPanel::boxColor() const {
    return palette().color(QPalette::Window);
}

void SegmentPanel::onKeyEnter(PanelCell*, int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        applyEdit();
    }
}

void SegmentPanel::applyEdit() {
    if (segment_ != kNoSegment) {
        emit applyRequested(this);
    }
}

void SegmentPanel::remove() {
    if (segment_ != kNoSegment) {
        emit deleteRequested(this);
    }
}

void SegmentPanel::mouseReleaseEvent(QMouseEvent* event) {
    QGroupBox::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        applyEdit();
    }
}

} // namespace vidloom::ui

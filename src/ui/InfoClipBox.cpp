#include "ui/InfoClipBox.h"

#include "ui/TmodEdit.h"
#include "ui/UiText.h"

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

TInfoClipBox::TInfoClipBox(QWidget* owner, SegmentId segment)
    : QGroupBox(owner), clipSplice_(segment) {
    hide();
    setGeometry(8, 16, 244, 155);
    setTitle(QStringLiteral("GroupBox"));
    setEnabled(true);
    setAutoFillBackground(true);

    btnDelete = new QPushButton(QStringLiteral("del"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnDelete->setGeometry(80, 12, 28, 17);

    auto cell = [this](int width, int row, int column, const char* name) {
        auto* edit = new TmodEdit(this, width, kCellHeight, columnLeft(column), rowTop(row));
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    Flabel11 = cell(kOneColumn, 0, 0, "Flabel11");
    Flabel12 = cell(178, 0, 1, "Flabel12");
    Flabel2 = cell(238, 1, 0, "Flabel2");
    Flabel31 = cell(kOneColumn, 2, 0, "Flabel31");
    Flabel32 = cell(kOneColumn, 2, 1, "Flabel32");
    Flabel33 = cell(kOneColumn, 2, 2, "Flabel33");
    Flabel34 = cell(kOneColumn, 2, 3, "Flabel34");
    Flabel41 = cell(kOneColumn, 3, 0, "Flabel41");
    Flabel42 = cell(kOneColumn, 3, 1, "Flabel42");
    Flabel43 = cell(kOneColumn, 3, 2, "Flabel43");
    Flabel44 = cell(kOneColumn, 3, 3, "Flabel44");
    Flabel51 = cell(kOneColumn, 4, 0, "Flabel51");
    Flabel52 = cell(kOneColumn, 4, 1, "Flabel52");
    Flabel53 = cell(kOneColumn, 4, 2, "Flabel53");
    Flabel54 = cell(kOneColumn, 4, 3, "Flabel54");

    Flabel11->setText(QStringLiteral("FileName"));
    Flabel32->setText(QStringLiteral("Start"));
    Flabel33->setText(QStringLiteral("End"));
    Flabel34->setText(QStringLiteral("Length"));
    Flabel41->setText(QStringLiteral("Internal"));
    Flabel51->setText(QStringLiteral("In Clip"));

    for (TmodEdit* c : cells()) {
        c->setEnabled(c == Flabel42 || c == Flabel43 || c == Flabel44);
        // Grey text that stays readable on the current panel's colour.
        QPalette p = c->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
        c->setPalette(p);
    }

    connect(btnDelete, &QPushButton::clicked, this, &TInfoClipBox::del);
    for (TmodEdit* c : {Flabel42, Flabel43, Flabel44}) {
        connect(c, &TmodEdit::clicked, this, &TInfoClipBox::onSelected);
        connect(c, &TmodEdit::focusLost, this, &TInfoClipBox::onSelected);
        connect(c, &TmodEdit::keyDown, this, &TInfoClipBox::onKeyEnter);
    }
}

// The cells are destroyed after the panel's own part; a cell that loses the
// focus on its way out must not reach a half-destroyed panel.
TInfoClipBox::~TInfoClipBox() {
    detach();
    disconnect(btnDelete, nullptr, this, nullptr);
    for (TmodEdit* c : {Flabel42, Flabel43, Flabel44}) {
        disconnect(c, nullptr, this, nullptr);
    }
}

void TInfoClipBox::detach() {
    clipSplice_ = kNoSegment;
}

void TInfoClipBox::apply(const PanelState& state) {
    setTitle(toQt(state.caption));
    setFieldText(Flabel2, toQt(state.fileName));
    setFieldText(Flabel12, toQt(state.directory));
    setFieldText(Flabel42, toQt(state.internalStart));
    setFieldText(Flabel43, toQt(state.internalEnd));
    setFieldText(Flabel44, toQt(state.internalLength));
    setFieldText(Flabel52, toQt(state.clipStart));
    setFieldText(Flabel53, toQt(state.clipEnd));
    setFieldText(Flabel54, toQt(state.clipLength));
    move(state.left, state.top);
    setColor(toQColor(state.cellColor));
    setBoxColor(toQColor(state.groupColor));
    // The file's report, and first why its key-frame test failed if it did.
    std::string tip = state.report;
    if (!state.keyFrameError.empty()) {
        tip = state.keyFrameError + "\r\n\r\n" + tip;
    }
    setToolTip(tipText(tip));
    show();
}

std::array<TmodEdit*, 15> TInfoClipBox::cells() const {
    return {Flabel11, Flabel12, Flabel2,  Flabel31, Flabel32, Flabel33, Flabel34, Flabel41,
            Flabel42, Flabel43, Flabel44, Flabel51, Flabel52, Flabel53, Flabel54};
}

void TInfoClipBox::setColor(const QColor& color) {
    setBoxColor(color);
    for (TmodEdit* c : cells()) {
        QPalette p = c->palette();
        p.setColor(QPalette::Base, color);
        c->setPalette(p);
    }
}

void TInfoClipBox::setBoxColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor TInfoClipBox::boxColor() const {
    return palette().color(QPalette::Window);
}

void TInfoClipBox::onKeyEnter(TmodEdit*, int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        onSelected();
    }
}

void TInfoClipBox::onSelected() {
    if (clipSplice_ != kNoSegment) {
        emit selected(this);
    }
}

void TInfoClipBox::del() {
    if (clipSplice_ != kNoSegment) {
        emit deleteRequested(this);
    }
}

void TInfoClipBox::mouseReleaseEvent(QMouseEvent* event) {
    QGroupBox::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        onSelected();
    }
}

} // namespace vidloom::ui

#include "ui/CommandButton.h"

#include <QPainter>

namespace vidloom::ui {

ButtonFrame::ButtonFrame(QWidget* parent) : QWidget(parent) {}

void ButtonFrame::setPenColor(const QColor& color) {
    pen_ = color;
    update();
}

void ButtonFrame::setBrushColor(const QColor& color) {
    brush_ = color;
    update();
}

void ButtonFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(pen_);
    painter.setBrush(brush_);
    // A one-pixel border inside the bounds, as a rectangle shape draws it.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

CommandButton::CommandButton(QWidget* parent, const QString& caption, const QString& hint)
    : QPushButton(caption, parent) {
    setFlat(true);
    setToolTip(hint);
    // A speed button never takes the keyboard focus away from the fields.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

} // namespace vidloom::ui

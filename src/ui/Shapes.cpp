#include "ui/Shapes.h"

#include <QPainter>

namespace vidloom::ui {

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::setPenColor(const QColor& color) {
    pen_ = color;
    update();
}

void TShape::setBrushColor(const QColor& color) {
    brush_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(pen_);
    painter.setBrush(brush_);
    // A one-pixel border inside the bounds, as a rectangle shape draws it.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TSpeedButton::TSpeedButton(QWidget* parent, const QString& caption, const QString& hint)
    : QPushButton(caption, parent) {
    setFlat(true);
    setToolTip(hint);
    // A speed button never takes the keyboard focus away from the fields.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

} // namespace vidloom::ui

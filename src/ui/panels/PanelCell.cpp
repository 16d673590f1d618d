#include "ui/panels/PanelCell.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vidloom::ui {

PanelCell::PanelCell(QWidget* owner, int width, int height, int left, int top) : QLineEdit(owner) {
    setFrame(true);
    setGeometry(left, top, width, height);
    // Small cells: the text needs every pixel of the 19-pixel height.
    setTextMargins(0, 0, 0, 0);
}

void PanelCell::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked(this);
    }
}

void PanelCell::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        emit focusLost(this);
    }
}

void PanelCell::keyPressEvent(QKeyEvent* event) {
    emit keyDown(this, event->key(), event->modifiers());
    QLineEdit::keyPressEvent(event);
}

} // namespace vidloom::ui

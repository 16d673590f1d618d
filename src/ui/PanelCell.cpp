#include "ui/PanelCell.h"

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

bool PanelCell::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            event->ignore(); // left to the window's shortcuts
            return true;
        }
    }
    return QLineEdit::event(event);
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

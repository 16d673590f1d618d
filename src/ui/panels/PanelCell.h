#pragma once
// One cell of a segment panel: a single-line field with a sunken border and no
// bevels, placed by its constructor. It reports clicks, the loss of the
// keyboard focus and key presses to its panel.

#include <QLineEdit>

namespace vidloom::ui {

class PanelCell : public QLineEdit {
    Q_OBJECT
public:
    // The owner is also the parent.
    PanelCell(QWidget* owner, int width, int height, int left, int top);

signals:
    void clicked(PanelCell* sender);
    // The focus moved to another control of the same window. Switching to
    // another window or opening a dialog is not a loss of focus here, so a
    // message box never re-applies a panel's edits behind the user's back.
    void focusLost(PanelCell* sender);
    // Sent before the field handles the key, which it then does unchanged.
    void keyDown(PanelCell* sender, int key, Qt::KeyboardModifiers shift);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vidloom::ui

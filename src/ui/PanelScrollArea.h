#pragma once
// The main window's scrolling container: a white area whose children are
// placed by absolute position and which scrolls to reach every shown child,
// as the panels of a long plan run far past its visible part.

#include <QScrollArea>

namespace vidloom::ui {

class PanelScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit PanelScrollArea(QWidget* parent);

    // The widget that holds (and owns) the children: the property fields, the
    // navigation buttons and the panels.
    QWidget* contents() const { return contents_; }
    // Grows or shrinks the scrolled area to the shown children (never below
    // the visible part); runs by itself whenever a child moves, resizes,
    // shows or hides.
    void fitContents();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* contents_;
};

} // namespace vidloom::ui

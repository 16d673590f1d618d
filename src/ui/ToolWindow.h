#pragma once
// What the two tool windows (brand and log) share: a window of its own beside
// the main window, with the program's font and background, whose close box
// only hides it, and one content widget that grows and shrinks with it.

#include <QWidget>

namespace vidloom::ui {

class ToolWindow : public QWidget {
    Q_OBJECT
public:
    // A hidden tool window of the designed size, at the designed place.
    ToolWindow(const QString& objectName, const QString& title, const QRect& designed);

    // Keeps content at its designed bounds' distance from the four edges.
    void fitContent();

protected:
    // content, a child of this window, at its designed bounds.
    void setContent(QWidget* content, const QRect& designedBounds);
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* content_ = nullptr;
    QMargins margins_;
};

} // namespace vidloom::ui

#pragma once
// The log window: the plan-listing block after each change and the progress
// of script writing. It has no commands; its close box only hides it. Only the
// main window writes to it.

#include <QWidget>

namespace vidloom::ui {

class TextLines;

class LogWindow : public QWidget {
    Q_OBJECT
public:
    LogWindow();

    // Keeps the text area sized to the window: 20 narrower and 40 lower than
    // the window.
    void fitPanelArea();

    TextLines* logText = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace vidloom::ui

#pragma once
// The log window: the plan-listing block after each change and the progress
// of script writing. It has no commands; its close box only hides it. Only the
// main window writes to it.

#include <QWidget>

namespace vidloom::ui {

class TMemo;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3();

    // Keeps the text area sized to the window: 20 narrower and 40 lower than
    // the window.
    void FormResize();

    TMemo* Memo1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace vidloom::ui

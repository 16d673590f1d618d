#pragma once
// The log window: the plan-listing block after each change and the progress
// of script writing. It has no commands; its close box only hides it. Only the
// main window writes to it.

#include "ui/ToolWindow.h"

namespace vidloom::ui {

class TextLines;

class LogWindow : public ToolWindow {
    Q_OBJECT
public:
    LogWindow();

    TextLines* logText = nullptr;
};

} // namespace vidloom::ui

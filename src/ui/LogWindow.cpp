#include "ui/LogWindow.h"

#include "ui/TextLines.h"

namespace vidloom::ui {

LogWindow::LogWindow()
    : ToolWindow(QStringLiteral("logWindow"), QStringLiteral("Log"), QRect(200, 100, 440, 300)) {
    logText = new TextLines(this);
    logText->setObjectName(QStringLiteral("logText"));
    // A long plan's listing runs past the window.
    logText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setContent(logText, QRect(8, 8, 420, 260));
}

} // namespace vidloom::ui

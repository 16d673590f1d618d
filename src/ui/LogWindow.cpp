#include "ui/LogWindow.h"

#include "avi/CheckedInt.h"
#include "ui/TextLines.h"
#include "ui/WindowStyle.h"

#include <algorithm>

namespace vidloom::ui {

LogWindow::LogWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(QStringLiteral("Log"));
    setAttribute(Qt::WA_QuitOnClose, false);
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, 200, 100, 440, 300);

    logText = new TextLines(this);
    logText->setObjectName(QStringLiteral("logText"));
    logText->setGeometry(8, 8, 420, 260);
}

void LogWindow::fitPanelArea() {
    const int32_t w = checkedSub(int32_t(width()), 20);
    const int32_t h = checkedSub(int32_t(height()), 40);
    logText->resize(std::max(w, 0), std::max(h, 0));
}

void LogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitPanelArea();
}

} // namespace vidloom::ui

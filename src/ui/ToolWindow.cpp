#include "ui/ToolWindow.h"

#include "ui/WindowStyle.h"

#include <algorithm>

namespace vidloom::ui {

ToolWindow::ToolWindow(const QString& objectName, const QString& title, const QRect& designed)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(objectName);
    setWindowTitle(title);
    // Closing only hides it, and it never keeps the program running once the
    // main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, designed.left(), designed.top(), designed.width(), designed.height());
}

void ToolWindow::setContent(QWidget* content, const QRect& designedBounds) {
    content_ = content;
    margins_ =
        QMargins(designedBounds.left(), designedBounds.top(), width() - designedBounds.right() - 1,
                 height() - designedBounds.bottom() - 1);
    fitContent();
}

void ToolWindow::fitContent() {
    if (content_ != nullptr) {
        const QRect area = rect().marginsRemoved(margins_);
        content_->setGeometry(area.left(), area.top(), std::max(area.width(), 0),
                              std::max(area.height(), 0));
    }
}

void ToolWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitContent();
}

} // namespace vidloom::ui

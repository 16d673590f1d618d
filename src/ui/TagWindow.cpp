#include "ui/TagWindow.h"

#include "ui/TextLines.h"
#include "ui/WindowStyle.h"

namespace vidloom::ui {

TagWindow::TagWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("tagWindow"));
    setWindowTitle(QStringLiteral("BrandInfo"));
    // A tool window: closing it only hides it, and it never keeps the program
    // running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, 200, 100, 493, 149);

    tagIds = new TextLines(this);
    tagIds->setObjectName(QStringLiteral("tagIds"));
    tagIds->setGeometry(8, 5, 49, 113);
    tagValues = new TextLines(this);
    tagValues->setObjectName(QStringLiteral("tagValues"));
    tagValues->setGeometry(63, 5, 417, 113);
}

void TagWindow::showColumns(const std::string& ids, const std::string& values) {
    tagIds->clear();
    tagIds->addText(ids);
    tagValues->clear();
    tagValues->addText(values);
}

} // namespace vidloom::ui

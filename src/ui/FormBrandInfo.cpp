#include "ui/FormBrandInfo.h"

#include "ui/FormStyle.h"
#include "ui/TMemo.h"

namespace vidloom::ui {

TForm2::TForm2()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("BrandInfo"));
    // A tool window: closing it only hides it, and it never keeps the program
    // running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, 200, 100, 493, 149);

    Memo3 = new TMemo(this);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->setGeometry(8, 5, 49, 113);
    Memo4 = new TMemo(this);
    Memo4->setObjectName(QStringLiteral("Memo4"));
    Memo4->setGeometry(63, 5, 417, 113);
}

void TForm2::showColumns(const std::string& ids, const std::string& values) {
    Memo3->clear();
    Memo3->addText(ids);
    Memo4->clear();
    Memo4->addText(values);
}

} // namespace vidloom::ui

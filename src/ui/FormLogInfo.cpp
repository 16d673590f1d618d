#include "ui/FormLogInfo.h"

#include "avi/CheckedInt.h"
#include "ui/FormStyle.h"
#include "ui/TMemo.h"

#include <algorithm>

namespace vidloom::ui {

TForm3::TForm3()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Log"));
    setAttribute(Qt::WA_QuitOnClose, false);
    applyFormFont(this);
    applyFormBackground(this);
    placeWindow(this, 200, 100, 440, 300);

    Memo1 = new TMemo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 420, 260);
}

void TForm3::FormResize() {
    const int32_t w = checkedSub(int32_t(width()), 20);
    const int32_t h = checkedSub(int32_t(height()), 40);
    Memo1->resize(std::max(w, 0), std::max(h, 0));
}

void TForm3::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

} // namespace vidloom::ui

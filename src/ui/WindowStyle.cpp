#include "ui/WindowStyle.h"

#include "ui/UiText.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace vidloom::ui {

void applyFormFont(QWidget* window) {
    // The nearest faces by width come first: without them fontconfig would
    // pick a wider face whose texts overflow the designed fields.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                    QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    window->setFont(font);
}

void applyFormBackground(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, rgb(255, 247, 225));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void placeWindow(QWidget* window, int left, int top, int width, int height) {
    window->move(left, top);
    window->resize(width, height);
}

} // namespace vidloom::ui

#include "ui/WindowStyle.h"

#include "ui/UiText.h"

#include <QFont>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

namespace {
// The window's frame around its own area; an estimate before it is shown.
QMargins frameOf(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame == inner) {
        return QMargins(4, 30, 4, 4);
    }
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom());
}
} // namespace

void keepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    // pos() and move() of a window count its frame; size() does not.
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QSize room(area.width() - frame.left() - frame.right(),
                     area.height() - frame.top() - frame.bottom());
    const QSize size = window->size().boundedTo(room).expandedTo(window->minimumSize());
    if (size != window->size()) {
        window->resize(size);
    }
    const int outerWidth = size.width() + frame.left() + frame.right();
    const int outerHeight = size.height() + frame.top() + frame.bottom();
    const int left = std::max(area.left(), std::min(window->x(), area.right() + 1 - outerWidth));
    const int top = std::max(area.top(), std::min(window->y(), area.bottom() + 1 - outerHeight));
    window->move(left, top);
}

void placeBeside(QWidget* tool, const QList<const QWidget*>& column, const QWidget& main) {
    const QMargins frame = frameOf(&main);
    const QScreen* screen = main.screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : main.frameGeometry();
    const int gap = 6;
    // The column starts level with the main window, higher if it would
    // otherwise run off the bottom of the screen.
    int height = -gap;
    int above = 0;
    for (const QWidget* window : column) {
        if (window == tool) {
            above = height + gap;
        }
        height += window->height() + frame.top() + frame.bottom() + gap;
    }
    const int top = std::max(area.top(), std::min(main.y(), area.bottom() + 1 - height));
    const int outerWidth = tool->width() + frame.left() + frame.right();
    int left = main.x() + main.width() + frame.left() + frame.right() + gap;
    if (left + outerWidth > area.right() + 1) {
        left = main.x() - gap - outerWidth;
    }
    tool->move(left, top + above);
    keepOnScreen(tool);
}

} // namespace vidloom::ui

#pragma once
// What the three windows share: their font, background and placement.

#include <QList>

class QWidget;

namespace vidloom::ui {

// "MS Sans Serif" at 11 pixels; where the font is missing Qt falls back to
// the nearest sans-serif face.
void applyFormFont(QWidget* window);
// The cream background of all three windows, RGB(255,247,225).
void applyFormBackground(QWidget* window);
// Places a top-level window at its designed position and size. The size is
// that of the window's own area, inside whatever frame the window manager
// draws: the frame is unknown before the window is shown and differs between
// desktops, and the resize rules work from the same size, so the designed
// window gives the designed controls everywhere.
void placeWindow(QWidget* window, int left, int top, int width, int height);

// Moves (and if need be shrinks, down to its minimum size) a top-level window
// so that it lies inside the available area of its screen, whatever the
// screen's size and scale factor.
void keepOnScreen(QWidget* window);
// Places a tool window beside the main window, to its right, else to its
// left, in a column of tool windows one above the other (tool is one of
// column) that starts level with the main window and fits the screen.
void placeBeside(QWidget* tool, const QList<const QWidget*>& column, const QWidget& main);

} // namespace vidloom::ui

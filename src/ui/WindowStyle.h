#pragma once
// What the three windows share: their font, background and placement.

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

} // namespace vidloom::ui

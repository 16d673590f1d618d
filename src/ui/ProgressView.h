#pragma once
// A progress bar as the window's commands drive it. A range without room
// (maximum not above minimum) would make Qt's bar spin as if busy; it is shown
// as an empty bar instead.

#include <cstdint>

class QProgressBar;

namespace vidloom::ui {

class ProgressView {
public:
    explicit ProgressView(QProgressBar& bar) : bar_(bar) {}
    // Starts a piece of work of `steps` steps.
    void start(int32_t steps);
    void step();
    // The work ended: the bar shows full.
    void finish();

private:
    QProgressBar& bar_;
};

} // namespace vidloom::ui

#include "ui/ProgressView.h"

#include <QProgressBar>

namespace vidloom::ui {

void ProgressView::start(int32_t steps) {
    if (steps <= 0) {
        bar_.setRange(0, 1);
        bar_.setValue(0);
        return;
    }
    bar_.setRange(0, steps);
    bar_.setValue(bar_.minimum());
}

void ProgressView::step() {
    if (bar_.value() < bar_.maximum()) {
        bar_.setValue(bar_.value() + 1);
    }
}

void ProgressView::finish() {
    bar_.setValue(bar_.maximum());
}

} // namespace vidloom::ui

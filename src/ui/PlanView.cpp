#include "ui/PlanView.h"

#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"

#include <QProgressBar>

namespace vidloom::ui {

void ProgressView::setRange(int32_t minimum, int32_t maximum) {
    if (maximum <= minimum) {
        bar_.setRange(0, 1);
        bar_.setValue(0);
        return;
    }
    bar_.setRange(minimum, maximum);
}

void ProgressView::setValue(int32_t value) {
    bar_.setValue(value);
}

void ProgressView::start(int32_t steps) {
    setRange(0, steps);
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

void LogView::clear() {
    memo_.clear();
}

void LogView::appendLine(const std::string& line) {
    memo_.addText(line);
}

PlanView::PlanView(MainWindow& form, TextLines& logMemo)
    : progress1(*form.progressBar), progress2(*form.secondProgressBar), log(logMemo), form_(form) {}

WindowSeams PlanView::seams() {
    WindowSeams seams;
    seams.progressBar = &progress1;
    seams.log = &log;
    seams.panels = this;
    seams.messages = this;
    seams.prompt = this;
    return seams;
}

void PlanView::showPanels(const std::vector<PanelState>& states) {
    panels_ = states;
    indexes_.clear();
    for (const PanelState& state : panels_) {
        indexes_.emplace(state.id, state.index);
    }
    // Only the panels in view become widgets.
    form_.panelArea->refresh();
    form_.updatePreview();
}

PanelState PlanView::panelAt(int32_t index) const {
    return panels_.at(size_t(index));
}

int32_t PlanView::indexOf(SegmentId segment) const {
    const auto it = indexes_.find(segment);
    return it != indexes_.end() ? it->second : -1;
}

void PlanView::showMessage(const std::string& text) {
    form_.dialogs().message(&form_, toQt(text));
}

std::optional<std::string> PlanView::askText(const std::string& caption, const std::string& prompt,
                                             const std::string& defaultText) {
    return form_.dialogs()
        .inputBox(&form_, toQt(caption), toQt(prompt), toQt(defaultText))
        .toStdString();
}

} // namespace vidloom::ui

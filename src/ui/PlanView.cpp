#include "ui/PlanView.h"

#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/PanelScrollArea.h"
#include "ui/SegmentPanel.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"

#include <QProgressBar>

#include <unordered_set>

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
    std::unordered_set<SegmentId> present;
    for (const PanelState& state : states) {
        present.insert(state.id);
    }
    // Panels of segments that left the plan hide at once; the window destroys
    // them before its next command.
    for (auto it = panels_.begin(); it != panels_.end();) {
        if (present.count(it->first) == 0) {
            if (SegmentPanel* gone = it->second) {
                gone->detach();
                gone->hide();
            }
            it = panels_.erase(it);
        } else {
            ++it;
        }
    }
    for (const PanelState& state : states) {
        QPointer<SegmentPanel>& panel = panels_[state.id];
        if (panel.isNull()) {
            panel = form_.createPanel(state.id);
        }
        panel->apply(state);
    }
    form_.updatePreview();
}

SegmentPanel* PlanView::panelOf(SegmentId segment) const {
    const auto it = panels_.find(segment);
    return it != panels_.end() ? it->second.data() : nullptr;
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

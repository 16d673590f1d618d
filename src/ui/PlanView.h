#pragma once
// The main window as the splice plan sees it: the log window's text area, the
// first progress bar, the scroll box of panels, the message box and the
// reference prompt, each behind the plan's own small interface.

#include "plan/WindowSeams.h"
#include "ui/panels/PanelGrid.h"

#include <unordered_map>

class QProgressBar;

namespace vidloom::ui {

class MainWindow;
class SegmentPanel;
class TextLines;

// A progress bar as the plan and the window's commands drive it. A range
// without room (maximum not above minimum) would make Qt's bar spin as if
// busy; it is shown as an empty bar instead.
class ProgressView : public IProgressBar {
public:
    explicit ProgressView(QProgressBar& bar) : bar_(bar) {}
    void setRange(int32_t minimum, int32_t maximum) override;
    void setValue(int32_t value) override;
    // Starts a piece of work of `steps` steps.
    void start(int32_t steps);
    void step();
    // The work ended: the bar shows full.
    void finish();

private:
    QProgressBar& bar_;
};

class LogView : public ILogView {
public:
    explicit LogView(TextLines& memo) : memo_(memo) {}
    void clear() override;
    void appendLine(const std::string& line) override;

private:
    TextLines& memo_;
};

class PlanView : public PanelViewSink,
                 public PanelSource,
                 public IMessageBox,
                 public ISpliceRefPrompt {
public:
    PlanView(MainWindow& form, TextLines& logMemo);

    // All the seams of one command.
    WindowSeams seams();

    // The plan's panels as its last layout gave them; the grid asks for
    // those it shows.
    void showPanels(const std::vector<PanelState>& panels) override;
    int32_t panelCount() const override { return int32_t(panels_.size()); }
    PanelState panelAt(int32_t index) const override;
    int32_t indexOf(SegmentId segment) const override;
    void showMessage(const std::string& text) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;

    ProgressView progress1;
    ProgressView progress2;
    LogView log;

private:
    MainWindow& form_;
    std::vector<PanelState> panels_;
    std::unordered_map<SegmentId, int32_t> indexes_;
};

} // namespace vidloom::ui

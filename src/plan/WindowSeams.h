#pragma once
// The window objects the splice plan talks to, as small interfaces. The desktop
// window (src/ui) implements them; vidloom-cli and the core tests pass null,
// which means "no window": every operation of the plan works without one.

#include "present/PanelState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

// The log window's text area.
class ILogView {
public:
    virtual ~ILogView() = default;
    virtual void clear() = 0;
    virtual void appendLine(const std::string& line) = 0;
};

// A progress bar; the plan only ever sets its range (the script writer gives
// it the plan's length as its maximum).
class IProgressBar {
public:
    virtual ~IProgressBar() = default;
    virtual void setRange(int32_t minimum, int32_t maximum) = 0;
    virtual void setValue(int32_t value) = 0;
};

// A modal message box with one of the plan's fixed texts.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void showMessage(const std::string& text) = 0;
};

// The modal input box that asks for a splice reference when the file name
// holds no digit. Returns the typed text, or nullopt when the user cancelled
// (which counts as the default text).
class ISpliceRefPrompt {
public:
    virtual ~ISpliceRefPrompt() = default;
    virtual std::optional<std::string> askText(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& defaultText) = 0;
};

// The scroll box of segment panels. Every layoutPanels hands it the complete
// view model, one PanelState per segment in plan order; the window creates a
// panel for an id it has not seen, updates the panels of known ids, and hides
// (later destroys) the panels whose ids are no longer in the list.
class PanelViewSink {
public:
    virtual ~PanelViewSink() = default;
    virtual void showPanels(const std::vector<PanelState>& panels) = 0;
};

// The window objects of one command; any of them may be null.
struct WindowSeams {
    IProgressBar* progressBar = nullptr;
    ILogView* log = nullptr;
    PanelViewSink* panels = nullptr;
    IMessageBox* messages = nullptr;
    ISpliceRefPrompt* prompt = nullptr;
};

} // namespace vidloom

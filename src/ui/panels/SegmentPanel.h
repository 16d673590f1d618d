#pragma once
// The panel of one segment of the plan: where its frames come from (directory
// and file name), which frames of its file it uses ("Internal": start, end,
// length, the three editable cells) and where they land in the assembled
// video ("In Clip"). The plan's layout decides every text, place and colour;
// the panel only shows them and reports the user's edits, clicks and its
// delete button.

#include "present/PanelState.h"

#include <QGroupBox>

#include <array>

class QAction;
class QLabel;
class QPushButton;

namespace vidloom::ui {

class PanelCell;

class SegmentPanel : public QGroupBox {
    Q_OBJECT
public:
    // owner: the content of the main window's scroll box, which owns the
    // panel; the panel is shown only once the layout has placed it.
    SegmentPanel(QWidget* owner, SegmentId segment);
    ~SegmentPanel() override;

    // The segment shown; kNoSegment once the segment has left the plan (the
    // panel is then hidden and waits for the main window to destroy it), so
    // that a late event of a cell cannot reach the plan.
    SegmentId segmentId() const { return segment_; }
    void detach();

    // Draws what the plan's layout computed for a segment and shows it; the
    // panel shows that segment from now on (a grid hands one widget to
    // another segment as the view scrolls).
    void apply(const PanelState& state);
    // What the last apply drew.
    const PanelState& shownState() const { return shown_; }

    // Colour of the group box and of all fifteen cells; the delete button
    // keeps its own.
    void setColor(const QColor& color);
    // Colour of the group box alone (the key-frame warning).
    void setBoxColor(const QColor& color);
    QColor boxColor() const;

    // Enter (key code 13, either Return key) applies the edits, as a click
    // would; the key itself goes on to the cell unchanged.
    void onKeyEnter(PanelCell* sender, int key, Qt::KeyboardModifiers shift);
    // Makes this panel current and applies its edited start, end and length.
    void applyEdit();
    // The delete button.
    void remove();

    QPushButton* deleteButton = nullptr;
    PanelCell* fileNameLabel = nullptr;
    PanelCell* directoryCell = nullptr;
    PanelCell* fileNameCell = nullptr;
    PanelCell* cornerCell = nullptr;
    PanelCell* startHeader = nullptr;
    PanelCell* endHeader = nullptr;
    PanelCell* lengthHeader = nullptr;
    PanelCell* internalLabel = nullptr;
    PanelCell* startEdit = nullptr;
    PanelCell* endEdit = nullptr;
    PanelCell* lengthEdit = nullptr;
    PanelCell* inClipLabel = nullptr;
    PanelCell* clipStartCell = nullptr;
    PanelCell* clipEndCell = nullptr;
    PanelCell* clipLengthCell = nullptr;

    // The fifteen cells in field order (also their tab order).
    std::array<PanelCell*, 15> cells() const;

    // The bar that marks a join AviSynth will (or may) refuse, hidden otherwise.
    QLabel* joinMarkBar = nullptr;
    // The panel's context menu: move the start to the key frame before or after.
    QAction* snapPreviousAction = nullptr;
    QAction* snapNextAction = nullptr;

signals:
    // The window applies the edits through the plan and lays the panels out.
    void applyRequested(SegmentPanel* panel);
    // The window removes the segment from the plan and refreshes itself.
    void deleteRequested(SegmentPanel* panel);
    // The window snaps the segment's start to the previous or next key frame.
    void snapRequested(SegmentPanel* panel, bool toNext);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The join mark, the snap actions and the key-frame and join texts of the
    // tool tip (SegmentPanelHints.cpp).
    void buildHints();
    void showHints(const PanelState& state);
    SegmentId segment_;
    PanelState shown_;
};

} // namespace vidloom::ui

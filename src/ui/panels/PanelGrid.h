#pragma once
// The main window's scrolling area of segment panels. A plan can hold tens of
// thousands of segments, but only a few rows of panels fit the window: the
// grid makes panel widgets for the slots in view only, asks its source for
// just those panels when the plan changes or the view scrolls, and hands a
// panel that scrolls out of view to a slot that scrolls in. The scrolled area
// still spans every slot, so the scroll bars and the places are those of one
// panel per segment. The same area also holds the window's property fields
// and move buttons above the first row, which scroll with the panels.

#include "present/EditNote.h"
#include "present/PanelState.h"

#include <QRect>
#include <QScrollArea>

#include <unordered_map>
#include <vector>

namespace vidloom::ui {

class SegmentPanel;

// What the grid shows: the panels of the plan, asked for one at a time.
class PanelSource {
public:
    virtual ~PanelSource() = default;
    virtual int32_t panelCount() const = 0;
    // The panel at a position of the plan, 0 <= index < panelCount().
    virtual PanelState panelAt(int32_t index) const = 0;
    // Where a segment's panel is, or -1 when the segment is not in the plan.
    virtual int32_t indexOf(SegmentId segment) const = 0;
};

class PanelGrid : public QScrollArea {
    Q_OBJECT
public:
    explicit PanelGrid(QWidget* parent);
    ~PanelGrid() override;

    // The widget that holds (and owns) the children: the property fields, the
    // move buttons and the panels.
    QWidget* contents() const { return contents_; }

    // Not owned; null shows no panels. The grid asks it nothing until refresh.
    void setSource(const PanelSource* source);
    // The plan changed: the panels in view are asked for again and redrawn
    // where they changed. A panel that did not change keeps its widget, the
    // keyboard focus and whatever is being typed into its cells; the panel
    // holding the focus keeps its widget even when it is out of view.
    void refresh();
    // The panel with the keyboard applies what its cells hold when it
    // differs from what it shows (before a command that starts from it).
    void applyFocusedPanel();
    // The panel whose cells were just applied draws what the plan holds
    // again, when the plan took nothing of them (no change to refresh for).
    void redrawApplied();
    // Scrolls the least needed to show the whole panel of a segment (as the
    // scroll area shows a child widget, 8 pixels of room around it).
    void ensurePanelVisible(SegmentId segment);

    // The panel widget showing a segment, or null when none does (out of view
    // or not in the plan).
    SegmentPanel* panelOf(SegmentId segment) const;
    // The panel widgets now showing a segment, in plan order.
    std::vector<SegmentPanel*> shownPanels() const;
    // Where the panel at a plan position sits in the contents: four to a row,
    // below the property fields.
    static QRect slotRect(int32_t index);

    // Grows or shrinks the scrolled area to its other children and every
    // slot of the plan (never below the visible part); runs by itself when
    // one of the other children moves, resizes, shows or hides.
    void fitContents();

signals:
    // A click on a panel, Enter in one of its editable cells, or the focus
    // leaving one: the window makes the segment current and applies what the
    // cells hold (shown: what the panel last drew; typed: the cells now).
    void editRequested(SegmentId segment, const vidloom::EditCells& shown,
                       const vidloom::EditCells& typed);
    // The panel's "del" button.
    void deleteRequested(SegmentId segment);
    // The panel's context menu: the start to the key frame before or after.
    void snapRequested(SegmentId segment, bool toNext);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Binds a widget to each slot in view (and to the panel with the focus),
    // asking the source for every one of them when the plan changed, or only
    // for the slots that had none when the view scrolled.
    void bindPanels(bool planChanged);
    // The plan positions whose slots meet the visible part, [first, last).
    std::pair<int32_t, int32_t> slotsInView(int32_t count) const;
    SegmentPanel* focusedPanel() const;
    void apply(SegmentPanel* panel);
    SegmentPanel* takeFreePanel();
    void release(SegmentPanel* panel);
    void draw(SegmentPanel* panel, const PanelState& state, int32_t index);
    // The grid's own part of the scrolled area for `count` panels.
    static QRect slotsBounds(int32_t count);

    QWidget* contents_;
    const PanelSource* source_ = nullptr;
    // Every panel widget made so far; those not bound wait hidden.
    std::vector<SegmentPanel*> pool_;
    std::vector<SegmentPanel*> free_;
    // The bound panels by the plan position they show.
    std::unordered_map<int32_t, SegmentPanel*> byIndex_;
    int32_t count_ = 0;
    // The segment whose panel last asked for its cells to be applied.
    SegmentId applied_ = kNoSegment;
    bool binding_ = false;
};

} // namespace vidloom::ui

// The panel grid on its own: widgets only for the slots in view, re-bound as
// the view scrolls, events that name the segment a widget shows now, and the
// focus and typing of a panel that a refresh does not change.

#include "ui/panels/PanelGrid.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

using namespace vidloom;
using namespace vidloom::ui;

namespace {

class VectorSource : public PanelSource {
public:
    std::vector<PanelState> panels;
    mutable int asked = 0;

    int32_t panelCount() const override { return int32_t(panels.size()); }
    PanelState panelAt(int32_t index) const override {
        ++asked;
        PanelState state = panels.at(size_t(index));
        state.index = index;
        state.caption = "Clip #" + std::to_string(index);
        return state;
    }
    int32_t indexOf(SegmentId segment) const override {
        for (size_t i = 0; i < panels.size(); ++i) {
            if (panels[i].id == segment) {
                return int32_t(i);
            }
        }
        return -1;
    }
};

VectorSource plan(int count) {
    VectorSource source;
    for (int i = 0; i < count; ++i) {
        PanelState state;
        state.id = SegmentId(1000 + i);
        state.internalStart = std::to_string(i);
        state.fileName = "f" + std::to_string(i) + ".avi";
        state.canSnapNext = true;
        source.panels.push_back(state);
    }
    return source;
}

// Exactly the slots that meet the view have a widget, and each widget sits in
// its slot and draws its own segment.
void checkShown(const PanelGrid& grid, const VectorSource& source, SegmentId pinned = 0) {
    const QRect view(grid.horizontalScrollBar()->value(), grid.verticalScrollBar()->value(),
                     grid.viewport()->width(), grid.viewport()->height());
    for (int32_t i = 0; i < source.panelCount(); ++i) {
        const SegmentId id = source.panels[size_t(i)].id;
        SegmentPanel* panel = grid.panelOf(id);
        const bool inRow = PanelGrid::slotRect(i).top() <= view.bottom() &&
                           PanelGrid::slotRect(i).bottom() >= view.top();
        QCOMPARE(panel != nullptr, inRow || id == pinned);
        if (panel != nullptr) {
            QVERIFY(panel->isVisible() || !inRow);
            QCOMPARE(panel->geometry(), PanelGrid::slotRect(i));
            QCOMPARE(panel->title(), QStringLiteral("Clip #%1").arg(i));
            QCOMPARE(panel->startEdit->text(),
                     QString::fromStdString(source.panels[size_t(i)].internalStart));
        }
    }
}

} // namespace

class PanelGridTest : public QObject {
    Q_OBJECT
private slots:
    void onlyPanelsInViewAreWidgetsAndScrollingRebindsThem() {
        PanelGrid grid(nullptr);
        grid.resize(675, 460);
        VectorSource source = plan(1000);
        grid.setSource(&source);
        grid.show();
        grid.refresh();
        checkShown(grid, source);
        auto made = [&grid] { return grid.contents()->findChildren<SegmentPanel*>().size(); };
        QVERIFY(made() > 4 && made() < 40);
        QCOMPARE(source.asked, int(grid.shownPanels().size()));
        size_t mostShown = grid.shownPanels().size();
        // The area spans every slot, so the last one can be scrolled to.
        QCOMPARE(grid.contents()->height(), PanelGrid::slotRect(999).bottom() + 1);

        for (int value : {grid.verticalScrollBar()->maximum() / 2, 1234, 0,
                          grid.verticalScrollBar()->maximum()}) {
            const int askedBefore = source.asked;
            std::vector<std::pair<SegmentId, SegmentPanel*>> before;
            for (SegmentPanel* panel : grid.shownPanels()) {
                before.emplace_back(panel->segmentId(), panel);
            }
            grid.verticalScrollBar()->setValue(value);
            checkShown(grid, source);
            // Widgets are reused: no more of them than were ever in view at once.
            mostShown = std::max(mostShown, grid.shownPanels().size());
            QCOMPARE(size_t(made()), mostShown);
            // Only the slots that came into view were asked for.
            int kept = 0;
            for (const auto& [id, panel] : before) {
                kept += grid.panelOf(id) == panel ? 1 : 0;
            }
            QCOMPARE(source.asked - askedBefore, int(grid.shownPanels().size()) - kept);
        }

        // Fewer segments: the area shrinks with them and the rest renumber.
        source.panels.erase(source.panels.begin(), source.panels.begin() + 990);
        grid.refresh();
        checkShown(grid, source);
        QCOMPARE(grid.shownPanels().size(), size_t(10));
        grid.ensurePanelVisible(source.panels[9].id);
        checkShown(grid, source);
    }

    void eventsNameTheSegmentAndFocusSurvivesARefresh() {
        QWidget window;
        window.resize(700, 500);
        PanelGrid grid(&window);
        grid.setGeometry(8, 8, 675, 460);
        VectorSource source = plan(400);
        grid.setSource(&source);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid.refresh();
        grid.verticalScrollBar()->setValue(5000);

        std::vector<std::pair<SegmentId, EditCells>> edits;
        std::vector<SegmentId> deletes;
        std::vector<std::pair<SegmentId, bool>> snaps;
        connect(&grid, &PanelGrid::editRequested, this,
                [&](SegmentId id, const EditCells&, const EditCells& typed) {
                    edits.emplace_back(id, typed);
                });
        connect(&grid, &PanelGrid::deleteRequested, this,
                [&](SegmentId id) { deletes.push_back(id); });
        connect(&grid, &PanelGrid::snapRequested, this,
                [&](SegmentId id, bool toNext) { snaps.emplace_back(id, toNext); });

        // A widget that was re-bound by scrolling reports its new segment.
        const std::vector<SegmentPanel*> shown = grid.shownPanels();
        SegmentPanel* panel = shown.at(5);
        const SegmentId id = panel->segmentId();
        QCOMPARE(grid.panelOf(id), panel);
        QVERIFY(source.indexOf(id) > 20);
        panel->startEdit->setFocus();
        panel->startEdit->selectAll();
        QTest::keyClicks(panel->startEdit, QStringLiteral("123"));
        QTest::keyClick(panel->startEdit, Qt::Key_Return);
        QCOMPARE(edits.size(), size_t(1));
        QCOMPARE(edits[0].first, id);
        QCOMPARE(edits[0].second.start, std::string("123"));
        QTest::mouseClick(panel->deleteButton, Qt::LeftButton);
        panel->snapNextAction->trigger();
        QCOMPARE(deletes, std::vector<SegmentId>{id});
        QCOMPARE(snaps, (std::vector<std::pair<SegmentId, bool>>{{id, true}}));

        // Typing in a panel that a refresh leaves as it was goes on; the
        // panels around it follow the plan.
        // The window answers an edit with a refresh: the cells show the plan's
        // values again.
        grid.refresh();
        QCOMPARE(panel->startEdit->text(),
                 QString::fromStdString(source.panels[size_t(source.indexOf(id))].internalStart));
        panel->startEdit->setFocus();
        panel->startEdit->selectAll();
        QTest::keyClicks(panel->startEdit, QStringLiteral("1234"));
        for (size_t i = 0; i < source.panels.size(); ++i) {
            if (source.panels[i].id != id) {
                source.panels[i].internalStart += "0";
            }
        }
        grid.refresh();
        QCOMPARE(grid.panelOf(id), panel);
        QVERIFY(panel->startEdit->hasFocus());
        QCOMPARE(panel->startEdit->text(), QStringLiteral("1234"));
        source.panels[size_t(source.indexOf(id))].internalStart = "1234";
        checkShown(grid, source);

        // Out of view the panel with the focus keeps its widget; the view
        // comes back to it when asked.
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QCOMPARE(grid.panelOf(id), panel);
        QVERIFY(panel->startEdit->hasFocus());
        checkShown(grid, source, id);
        grid.ensurePanelVisible(id);
        QVERIFY(grid.viewport()->rect().contains(
            QRect(panel->mapTo(grid.viewport(), QPoint(0, 0)), panel->size())));
        checkShown(grid, source);

        // Its segment leaves the plan: the widget goes quietly.
        const size_t editsBefore = edits.size();
        source.panels.erase(source.panels.begin() + source.indexOf(id));
        grid.refresh();
        QVERIFY(grid.panelOf(id) == nullptr);
        QCOMPARE(edits.size(), editsBefore);
        checkShown(grid, source);
    }
};

#include "UiTestSupport.h"
VIDLOOM_UI_TEST(PanelGridTest);

#include "PanelGridTest.moc"

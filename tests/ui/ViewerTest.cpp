// The Viewer: each mark key is one step of the plan's history, said on the
// status line and undone by Ctrl+Z with the cursor back on its frame; the
// cursor follows the window and moves by the keys; the picture shown is the
// frame of the file the cursor is on.

#include "UiTestSupport.h"

#include "plan/SplicePlan.h"
#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/viewer/PictureView.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QLabel>
#include <QTest>

using namespace vidloom;
using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

// "a(0,100) b(0,40)": each segment's file (its name's first letter), start
// and length.
QString shape(const SplicePlan& plan) {
    QStringList parts;
    for (int32_t i = 0; i < plan.segments.count(); ++i) {
        const Segment& s = plan.segments.at(i);
        const std::string name = s.fileName().substr(s.fileName().rfind('/') + 1);
        parts << QStringLiteral("%1(%2,%3)").arg(QChar(name[0])).arg(s.start).arg(s.length);
    }
    return parts.join(' ');
}

ViewerWindow& openViewer(App& app) {
    app.main.viewerAction->trigger();
    ViewerWindow& viewer = app.main.viewerWindow();
    viewer.activateWindow();
    return viewer;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
private slots:
    void eachMarkIsOneStepOfTheHistory() {
        App app;
        app.addFiles({xvidFile("a-view.avi", 100, 10), xvidFile("b-view.avi", 40, 10)});
        const QString splice = xvidFile("s-view.avi", 20);
        ViewerWindow& viewer = openViewer(app);
        const SplicePlan& plan = *app.main.session().plan();
        const QString before = shape(plan);
        QCOMPARE(before, QStringLiteral("a(0,100) b(0,40)"));

        struct Mark {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QString after;
            QString status;
        };
        const Mark marks[] = {
            {Qt::Key_I, {}, "a(37,63) b(0,40)", "Start of Clip #0: 0 -> 37"},
            {Qt::Key_O, {}, "a(0,38) b(0,40)", "Last frame of Clip #0: 99 -> 37"},
            {Qt::Key_S,
             {},
             "a(0,37) a(37,63) b(0,40)",
             "Clip #0 split: Clip #1 starts at frame 37"},
            {Qt::Key_Delete, {}, "b(0,40)", "Clip #0 removed (a-view.avi, frames 0 to 99)"},
            {Qt::Key_F2, Qt::ControlModifier, "a(0,37) s(0,20) a(57,43) b(0,40)",
             "Spliced at frame 37: 1 of 1 files"},
        };
        for (const Mark& mark : marks) {
            viewer.moveTo(37);
            QCOMPARE(plan.currentSegment, plan.segments.at(0).id());
            if (mark.key == Qt::Key_F2) {
                app.dialogs.openAnswers.push_back({splice});
            }
            QTest::keyClick(&viewer, mark.key, mark.modifiers);
            QCOMPARE(shape(plan), mark.after);
            QCOMPARE(app.main.statusLine->text(), mark.status);
            const std::optional<PlanFrame> shown = viewer.frameAtCursor();
            QVERIFY(shown);
            if (mark.key != Qt::Key_Delete) {
                // The cursor stays on what it showed, in whatever segment
                // shows it now (the splice's first frame at its reference).
                QCOMPARE(shown->position, mark.key == Qt::Key_I ? 0 : 37);
                QCOMPARE(plan.currentSegment, shown->segment);
            }
            app.main.undoCommand();
            QCOMPARE(shape(plan), before);
            QCOMPARE(viewer.frameAtCursor()->frame, 37);
        }
        QVERIFY(app.dialogs.unexpected.isEmpty());
    }

    void theCursorMovesByTheKeysAndFollowsThePanels() {
        App app;
        app.addFiles({xvidFile("k-view.avi", 100, 10), xvidFile("m-view.avi", 40, 25)});
        ViewerWindow& viewer = openViewer(app);
        const SplicePlan& plan = *app.main.session().plan();
        const auto press = [&viewer](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(&viewer, key, modifiers);
            return viewer.position();
        };
        // Selecting a panel puts the cursor on its segment's first frame.
        QTest::mouseClick(app.shownPanels()[0], Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(app.shownPanels()[1], Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(viewer.position(), 100);
        QCOMPARE(press(Qt::Key_Home), 0);
        QCOMPARE(plan.currentSegment, plan.segments.at(0).id());
        QCOMPARE(press(Qt::Key_Right), 1);
        QCOMPARE(press(Qt::Key_Right, Qt::ShiftModifier), 10);
        QCOMPARE(press(Qt::Key_Left, Qt::ShiftModifier), 0);
        QCOMPARE(press(Qt::Key_Down), 100); // the join
        QCOMPARE(plan.currentSegment, plan.segments.at(1).id());
        QCOMPARE(press(Qt::Key_Right, Qt::ShiftModifier), 125);
        QCOMPARE(press(Qt::Key_End), 139);
        QCOMPARE(press(Qt::Key_Up), 100);
        QCOMPARE(press(Qt::Key_Left), 99);
        QCOMPARE(plan.currentSegment, plan.segments.at(0).id());
        QVERIFY(viewer.caption().startsWith(QStringLiteral("99 / 140 \u00B7 k-view.avi frame 99")));
    }

    void thePictureIsTheFilesFrame() {
        if (!preview::previewsBuiltIn()) {
            QSKIP("previews are not built in");
        }
        App app;
        app.addFiles({fixture("preview/bframes.avi"), fixture("preview/dropped.avi")});
        ViewerWindow& viewer = openViewer(app);
        preview::FrameReader reader;
        for (const int32_t p : {0, 11, 29, 30, 31, 35, 59, 36}) {
            viewer.moveTo(p);
            QTRY_VERIFY(viewer.upToDate());
            const std::optional<PlanFrame> f = viewer.frameAtCursor();
            const auto expected = reader.frame(f->fileName(), f->frame);
            QVERIFY(viewer.picture->picture());
            QVERIFY2(viewer.picture->picture()->rgb == expected->rgb, qPrintable(viewer.caption()));
        }
        // Frame 1 of dropped.avi is a zero-size entry: the caption says so.
        viewer.moveTo(31);
        QVERIFY(viewer.caption().contains(QStringLiteral("dropped.avi frame 1 \u00B7 dropped")));
    }
};

VIDLOOM_UI_TEST(ViewerTest);
#include "ViewerTest.moc"

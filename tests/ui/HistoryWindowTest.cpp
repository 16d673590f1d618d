// Undo and redo from the keyboard, the title and the question before a changed
// plan is closed, and what the next run remembers.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "splice/PlanHistory.h"
#include "splice/SplicePlan.h"
#include "ui/PanelCell.h"
#include "ui/SegmentPanel.h"
#include "ui/TextLines.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

// What the window shows of the plan: each panel's texts, which one is
// current, the fields, the tag window and the log.
QStringList shown(App& app) {
    QStringList all;
    for (SegmentPanel* p : app.shownPanels()) {
        all << p->title() + " " + p->fileNameCell->text() + " " + p->startEdit->text() + " " +
                   p->lengthEdit->text() + " " + p->clipStartCell->text() +
                   (p->segmentId() == app.main.plan()->currentSegment ? " current" : "");
    }
    all << (app.main.fourCCEdit->isVisible() ? app.main.fourCCEdit->text() : "no fields");
    all << tagColumn(app.brand, 1).join("|") << app.log.logText->lines().join("|");
    return all;
}

void reopen(App& app) {
    app.main.show();
    app.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app.main));
}

void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    target->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(target->window()));
    QTest::keyClick(target, key, modifiers);
}

} // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoKeysFromEveryWindow() {
        App app;
        app.addFiles({fixture("tagged_pcm.avi")});
        const QStringList one = shown(app);
        app.addFiles({xvidFile("hist-a.avi", 60, 10), xvidFile("hist-b.avi", 20)});
        const QStringList three = shown(app);
        QCOMPARE(app.shownPanels().size(), 3);
        SegmentPanel* second = app.shownPanels()[1];
        second->setFocus(); // selecting alone is no step
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
        const QStringList selected = shown(app);

        app.log.show();
        press(&app.log, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown(app), one);
        press(&app.log, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(app.main.plan() == nullptr);
        QVERIFY(app.shownPanels().isEmpty());
        QVERIFY(!app.main.undoAction->isEnabled());

        press(&app.main, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(shown(app), one);
        press(&app.main, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shown(app), selected);
        QVERIFY(shown(app) != three); // the current panel is the one selected then

        // From a panel's cell the keys undo the plan, not the cell's text.
        PanelCell* cell = app.shownPanels()[2]->lengthEdit;
        cell->setFocus();
        cell->selectAll();
        QTest::keyClicks(cell, "5");
        QTest::keyClick(cell, Qt::Key_Return);
        QCOMPARE(app.shownPanels()[2]->lengthEdit->text(), QStringLiteral("5"));
        press(cell, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(app.shownPanels()[2]->lengthEdit->text(), QStringLiteral("20"));
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void closingAChangedPlanAsksFirst() {
        App app;
        QVERIFY(app.main.close()); // nothing to lose: no question
        QVERIFY(app.dialogs.asked.isEmpty());
        reopen(app);

        app.addFiles({xvidFile("close-base.avi", 30, 10)});
        QVERIFY(app.main.isWindowModified());
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Cancel};
        QVERIFY(!app.main.close());
        QVERIFY(app.main.isVisible());

        // Write, but the save dialog is cancelled, then the write fails.
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Write, UnsavedAnswer::Write};
        app.dialogs.saveAnswers = {std::nullopt,
                                   QDir::tempPath() + "/vidloom-no-such-folder/plan.avs"};
        QVERIFY(!app.main.close());
        QVERIFY(!app.main.close());
        QCOMPARE(app.dialogs.errors.size(), 1);

        const QString script = tempFile("close-plan.avs", "");
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Write};
        app.dialogs.saveAnswers = {script};
        app.dialogs.questionAnswers = {true}; // replace the empty file
        QVERIFY(app.main.close());
        QVERIFY(!vidloom::kit::readAll(script.toStdString()).empty());
        QVERIFY(!app.main.isWindowModified());
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("close-plan.avs[*] - Vidloom ")));

        // Changed again: "Write" goes straight to the same script; undoing
        // back to it leaves nothing to ask; Discard closes.
        reopen(app);
        app.addFiles({xvidFile("close-more.avi", 5)});
        QVERIFY(app.main.isWindowModified());
        press(&app.main, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!app.main.isWindowModified());
        press(&app.main, Qt::Key_Y, Qt::ControlModifier);
        const size_t before = vidloom::kit::readAll(script.toStdString()).size();
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Write};
        QVERIFY(app.main.close());
        QVERIFY(vidloom::kit::readAll(script.toStdString()).size() > before);

        reopen(app);
        app.addFiles({xvidFile("close-more.avi", 5)});
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Discard};
        QVERIFY(app.main.close());
        QVERIFY(app.dialogs.unexpected.isEmpty());
    }

    void anOpenedScriptIsOneStepWithNothingUnsaved() {
        App app;
        app.addFiles({xvidFile("before-open.avi", 10)});
        const QStringList before = shown(app);
        const QString script =
            tempFile("opened.avs", "src = aviSource(\"" + xvidFile("opened.avi", 20).toStdString() +
                                       "\")\r\nreturn src\r\n");
        app.main.openPaths({script});
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("opened.avs[*] - ")));
        QVERIFY(!app.main.isWindowModified());
        QVERIFY(app.main.close()); // nothing to ask
        reopen(app);
        press(&app.main, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown(app), before);
        QVERIFY(app.main.isWindowModified());
        QVERIFY(app.dialogs.asked.size() == 1 && app.dialogs.errors.isEmpty());
    }

    void theNextRunFindsTheWindowsAsLeft() {
        {
            App app;
            app.main.move(300, 200);
            app.log.show();
            app.main.debugInfoBox->setChecked(true);
            QVERIFY(app.main.close());
        }
        App next;
        QVERIFY(next.log.isHidden()); // restored only when asked, as main() does
        next.main.restoreSettings();
        QCOMPARE(next.main.pos(), QPoint(300, 200));
        QVERIFY(next.log.isVisible());
        QVERIFY(next.brand.isHidden());
        QVERIFY(next.main.debugInfoBox->isChecked());
        QSettings().clear();
    }
};

VIDLOOM_UI_TEST(HistoryWindowTest);

#include "HistoryWindowTest.moc"

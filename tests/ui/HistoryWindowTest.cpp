// Undo and redo from the keyboard, the title and the question before a changed
// plan is closed, and what the next run remembers.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/TextLines.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

// What the window shows: each panel's texts and which one is current, the
// fields, the tag window and the log.
QStringList shown(App& app) {
    QStringList all;
    for (SegmentPanel* p : app.shownPanels()) {
        all << p->title() + p->fileNameCell->text() + p->startEdit->text() + p->lengthEdit->text() +
                   p->clipStartCell->text() +
                   (p->segmentId() == app.main.session().plan()->currentSegment ? " current" : "");
    }
    all << (app.main.fourCCEdit->isVisible() ? app.main.fourCCEdit->text() : "no fields")
        << tagColumn(app.brand, 1).join("|") << app.log.logText->lines().join("|");
    return all;
}

// Shows the window again (after a close) and makes it the active one.
void activate(QWidget* target) {
    target->window()->show();
    target->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(target->window()));
}

void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    activate(target);
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
        QTest::mouseClick(app.shownPanels()[1], Qt::LeftButton, {}, QPoint(5, 5)); // no step
        const QStringList selected = shown(app);

        app.log.logText->setFocus(); // a text area with an undo of its own
        press(app.log.logText, Qt::Key_Z);
        QCOMPARE(shown(app), one);
        press(&app.log, Qt::Key_Z);
        QVERIFY(app.main.session().plan() == nullptr && app.shownPanels().isEmpty());
        QVERIFY(!app.main.undoAction->isEnabled());
        press(&app.main, Qt::Key_Y);
        QCOMPARE(shown(app), one);
        press(&app.main, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shown(app), selected);

        PanelCell* cell = app.shownPanels()[2]->lengthEdit;
        cell->setFocus();
        cell->selectAll();
        QTest::keyClicks(cell, "5");
        QTest::keyClick(cell, Qt::Key_Return);
        press(cell, Qt::Key_Z);
        QCOMPARE(shown(app), selected);
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void closingAChangedPlanAsksFirst() {
        App app;
        QVERIFY(app.main.close()); // nothing to lose: no question
        QVERIFY(app.dialogs.asked.isEmpty());
        activate(&app.main);
        app.addFiles({xvidFile("close-base.avi", 30, 10)});
        QVERIFY(app.main.isWindowModified());
        // Cancel; Write with the save dialog cancelled; Write that fails.
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Cancel, UnsavedAnswer::Write,
                                      UnsavedAnswer::Write};
        app.dialogs.saveAnswers = {std::nullopt, QDir::tempPath() + "/vidloom-no-such/plan.avs"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!app.main.close());
        }
        QCOMPARE(app.dialogs.errors.size(), 1);

        const QString script = tempFile("close-plan.avs", "");
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Write};
        app.dialogs.saveAnswers = {script};
        app.dialogs.questionAnswers = {true}; // replace the empty file
        QVERIFY(app.main.close());
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("close-plan.avs[*] - Vidloom ")));
        QVERIFY(!app.main.isWindowModified());

        // Changed again: undoing back leaves nothing to ask; "Write" goes
        // straight to the script. Opening a script is a step that leaves
        // nothing unsaved; undone, Discard closes.
        activate(&app.main);
        app.addFiles({xvidFile("close-more.avi", 5)});
        const QStringList more = shown(app);
        press(&app.main, Qt::Key_Z);
        QVERIFY(!app.main.isWindowModified());
        press(&app.main, Qt::Key_Y);
        app.dialogs.unsavedAnswers = {UnsavedAnswer::Write, UnsavedAnswer::Discard};
        QVERIFY(app.main.close());
        const std::string written = vidloom::kit::readAll(script.toStdString());
        QVERIFY(written.find("close-more.avi") != std::string::npos);
        app.main.openPaths({tempFile("opened.avs", written)});
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("opened.avs[*] - ")));
        QVERIFY(!app.main.isWindowModified());
        press(&app.main, Qt::Key_Z);
        QCOMPARE(shown(app), more);
        QVERIFY(app.main.close());
        QVERIFY(app.dialogs.unexpected.isEmpty() && app.dialogs.errors.size() == 1);
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
        QVERIFY(next.log.isVisible() && next.brand.isHidden() &&
                next.main.debugInfoBox->isChecked());
        QSettings().clear();
    }
};

VIDLOOM_UI_TEST(HistoryWindowTest);

#include "HistoryWindowTest.moc"

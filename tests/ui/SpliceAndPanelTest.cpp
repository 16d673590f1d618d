// "Add Splice" and the panels: what the window shows after the plan's
// operations, the reference prompt and messages, edits typed into the cells,
// selection, deletion and moves.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/TextLines.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

const QColor kCurrent(130, 222, 238);
const QColor kPlain(213, 255, 253);
const QColor kRed(248, 78, 78);

QStringList row(const SegmentPanel* p) {
    return {p->title(),
            p->fileNameCell->text(),
            p->startEdit->text(),
            p->endEdit->text(),
            p->lengthEdit->text(),
            p->clipStartCell->text(),
            p->clipEndCell->text(),
            p->clipLengthCell->text()};
}

QString smallFile(const std::string& name) {
    vidloom::kit::AviBuilder avi;
    avi.width = 176;
    avi.height = 144;
    avi.addFrames(10);
    return tempFile(name, avi.build());
}

} // namespace

class SpliceAndPanelTest : public QObject {
    Q_OBJECT
private slots:
    void spliceIsCutIntoThePlan() {
        App app;
        const QString base = xvidFile("base.avi", 100, 10);
        const QString splice = xvidFile("ins35.avi", 20, 10);
        app.addFiles({base});
        app.addSplices({splice});
        QVERIFY(app.dialogs.messages.isEmpty());
        const QList<SegmentPanel*> panels = app.shownPanels();
        QCOMPARE(panels.size(), 3);
        QCOMPARE(row(panels[0]),
                 (QStringList{"Clip #0", "base.avi", "0", "35", "35", "0", "35", "35"}));
        QCOMPARE(row(panels[1]),
                 (QStringList{"Clip #1", "ins35.avi", "0", "20", "20", "35", "55", "20"}));
        QCOMPARE(row(panels[2]),
                 (QStringList{"Clip #2", "base.avi", "55", "100", "45", "55", "100", "45"}));
        // The newest panel is current; frame 55 is no key frame, so its box is red.
        QCOMPARE(panels[2]->boxColor(), kRed);
        QCOMPARE(panels[2]->startEdit->palette().color(QPalette::Base), kCurrent);
        QCOMPARE(panels[1]->boxColor(), kPlain);
        QCOMPARE(panels[0]->boxColor(), kPlain);
        QCOMPARE(app.log.logText->lines().mid(3),
                 (QStringList{"0-35 : " + base, "35-55 : " + splice, "55-100 : " + base}));
        // The window follows the plan at once: three segments can be moved.
        QVERIFY(app.main.moveEarlierButton->isVisible());
        QCOMPARE(app.main.secondProgressBar->value(), app.main.secondProgressBar->maximum());
    }

    void referencePromptAsksUntilANumberOrACancel() {
        // A text that is not a number asks again with the reason; a cancel
        // drops that file and the other chosen files go on.
        App app;
        app.addFiles({xvidFile("base.avi", 100)});
        const QString intro = xvidFile("intro.avi", 10);
        const QString outro = xvidFile("outro.avi", 10);
        app.dialogs.inputAnswers = {QStringLiteral("abc"), QStringLiteral("40"), std::nullopt};
        app.addSplices({intro, outro});
        const QString ask = "input SpliceRef of " + intro + "|";
        QCOMPARE(app.dialogs.asked.mid(app.dialogs.asked.size() - 3),
                 (QStringList{ask + "Enter the reference position|0",
                              ask + "\"abc\" is not a whole number of frames.\n"
                                    "Enter the reference position|0",
                              "input SpliceRef of " + outro + "|Enter the reference position|0"}));
        QVERIFY(app.dialogs.messages.isEmpty());
        QCOMPARE(app.main.session().plan()->segments.count(), 3);
        QVERIFY(app.log.logText->lines().contains(QStringLiteral("40-50 : ") + intro));
        QVERIFY(!app.log.logText->lines().join(QString()).contains(outro));
    }

    void refusedSplicesLeaveThePlanAlone() {
        App app;
        const QString base = xvidFile("base.avi", 100, 10);
        app.addFiles({base});
        const QStringList before = app.log.logText->lines();
        // Past the end: refused with its message, the file and the numbers
        // (reference, length, end, the plan's end); the next file still goes in.
        const QString s90 = xvidFile("s90.avi", 20);
        app.addSplices({s90, xvidFile("s80.avi", 20)});
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].startsWith(
            s90 + ": You cannot splice when the splice is exceeding the end of your clip..."));
        for (const char* number : {"90", "20", "110", "100"}) {
            QVERIFY2(app.dialogs.messages[0].contains(QString::fromLatin1(number)), number);
        }
        const QString s80 =
            QString::fromStdString(app.main.session().plan()->segments.at(1).fileName());
        QVERIFY(s80.endsWith(QStringLiteral("s80.avi")));
        QVERIFY(app.log.logText->lines().contains("80-100 : " + s80));
        QCOMPARE(app.shownPanels().size(), 3); // with the empty rest of the base clip
        // A different frame size is discarded, and the message says so with
        // both sizes.
        const QString small = smallFile("small10.avi");
        app.addSplices({small});
        QCOMPARE(app.dialogs.messages.size(), 2);
        QVERIFY(app.dialogs.messages[1].startsWith(small + ": The splice does not match"));
        QVERIFY2(app.dialogs.messages[1].contains(QStringLiteral("176x144")) &&
                     app.dialogs.messages[1].contains(QStringLiteral("320x240")),
                 qPrintable(app.dialogs.messages[1]));
        QCOMPARE(app.shownPanels().size(), 3);
        QVERIFY(before != app.log.logText->lines());
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void typedEditsApplyOnEnterAndOnLeaving() {
        App app;
        app.addFiles({xvidFile("base.avi", 100, 10)});
        SegmentPanel* panel = app.shownPanels().first();
        type(panel->endEdit, "60");
        QCOMPARE(row(panel).mid(2), (QStringList{"0", "60", "60", "0", "60", "60"}));
        type(panel->startEdit, "15");
        QCOMPARE(row(panel).mid(2), (QStringList{"15", "60", "45", "0", "45", "45"}));
        QCOMPARE(panel->boxColor(), kRed);
        type(panel->startEdit, "x");
        QCOMPARE(panel->startEdit->text(), QStringLiteral("15"));
        // Leaving the cell for another applies what was typed.
        panel->lengthEdit->setFocus();
        panel->lengthEdit->selectAll();
        QTest::keyClicks(panel->lengthEdit, "5");
        QTest::keyClick(panel->lengthEdit, Qt::Key_Tab);
        QCOMPARE(panel->endEdit->text(), QStringLiteral("20"));
        QCOMPARE(app.main.session().plan()->segments.at(0).length, 5);

        // A double click selects the number; the click's own layout must not
        // undo that selection, so typing replaces the number.
        QTest::mouseDClick(panel->endEdit, Qt::LeftButton, {}, QPoint(10, 9));
        QTest::mouseRelease(panel->endEdit, Qt::LeftButton, {}, QPoint(10, 9));
        QCOMPARE(panel->endEdit->selectedText(), QStringLiteral("20"));
        QTest::keyClicks(panel->endEdit, "30");
        QTest::keyClick(panel->endEdit, Qt::Key_Return);
        QCOMPARE(panel->endEdit->text(), QStringLiteral("30"));
    }

    void brokenIndexMarksItsPanelWithTheReason() {
        App app;
        const QString path = xvidFile("changing.avi", 20);
        app.addFiles({path, xvidFile("steady.avi", 20)});
        // The file loses its index behind the program's back.
        vidloom::kit::AviBuilder avi;
        avi.writeIndex = false;
        avi.addFrames(20);
        tempFile("changing.avi", avi.build());
        // The next change shows it: the click that makes the first panel current.
        QList<SegmentPanel*> panels = app.shownPanels();
        QTest::mouseClick(panels[0], Qt::LeftButton, {}, QPoint(5, 148));
        QVERIFY(app.dialogs.errors.isEmpty());
        QCOMPARE(panels[0]->boxColor(), kRed);
        QVERIFY2(panels[0]->toolTip().startsWith(path + ": "), qPrintable(panels[0]->toolTip()));
        QCOMPARE(panels[1]->boxColor(), kPlain);
        QVERIFY(!panels[1]->toolTip().contains(QStringLiteral("unexpected")));
    }

    void clickingAPanelMakesItCurrent() {
        App app;
        app.addFiles({xvidFile("a.avi", 20), xvidFile("b.avi", 20)});
        QList<SegmentPanel*> panels = app.shownPanels();
        QCOMPARE(panels[1]->boxColor(), kCurrent);
        QTest::mouseClick(panels[0], Qt::LeftButton, {}, QPoint(5, 148));
        QCOMPARE(panels[0]->boxColor(), kCurrent);
        QCOMPARE(panels[1]->boxColor(), kPlain);
        QCOMPARE(panels[1]->fileNameCell->palette().color(QPalette::Base), kPlain);
        // F6 now moves the first segment behind the second; the panel goes along.
        QTest::keyClick(&app.main, Qt::Key_F6);
        QCOMPARE(panels[0]->title(), QStringLiteral("Clip #1"));
        QCOMPARE(panels[0]->pos(), QPoint(275, 92));
        QCOMPARE(panels[0]->clipStartCell->text(), QStringLiteral("20"));
        QTest::mouseClick(app.main.moveEarlierButton, Qt::LeftButton);
        QCOMPARE(panels[0]->title(), QStringLiteral("Clip #0"));
    }

    void deletingRenumbersAndRefreshes() {
        App app;
        app.addFiles({xvidFile("a.avi", 20), xvidFile("b30.avi", 30), xvidFile("c.avi", 40)});
        QList<SegmentPanel*> panels = app.shownPanels();
        QTest::mouseClick(panels[1]->deleteButton, Qt::LeftButton);
        QVERIFY(panels[1]->isHidden());
        QCOMPARE(app.shownPanels(), (QList<SegmentPanel*>{panels[0], panels[2]}));
        QCOMPARE(row(panels[2]),
                 (QStringList{"Clip #1", "c.avi", "0", "40", "40", "20", "60", "40"}));
        QCOMPARE(panels[2]->pos(), QPoint(275, 92));
        // The panel that moved into the deleted one's place is current.
        QCOMPARE(panels[2]->boxColor(), kCurrent);
        QVERIFY(app.main.moveEarlierButton->isVisible());
        QCOMPARE(app.main.panels().size(), 2);

        QTest::mouseClick(panels[2]->deleteButton, Qt::LeftButton);
        QVERIFY(app.main.moveEarlierButton->isHidden()); // one segment left
        QCOMPARE(panels[0]->boxColor(), kCurrent);
        QTest::mouseClick(panels[0]->deleteButton, Qt::LeftButton);
        QVERIFY(app.main.fourCCEdit->isHidden());
        QTest::keyClick(&app.main, Qt::Key_F5); // no current panel: nothing happens
        QTest::keyClick(&app.main, Qt::Key_F2);
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.messages,
                 (QStringList{"Cannot add splice(s) without a base clip to modify...",
                              "You must have at least one video clip..."}));
        QVERIFY(app.main.panels().isEmpty());
        // "Add File" appends to the same, now empty, plan.
        app.addFiles({xvidFile("d.avi", 10)});
        QCOMPARE(app.shownPanels().size(), 1);
        QCOMPARE(app.shownPanels().first()->title(), QStringLiteral("Clip #0"));
        QVERIFY(app.dialogs.errors.isEmpty());
    }
};

VIDLOOM_UI_TEST(SpliceAndPanelTest);

#include "SpliceAndPanelTest.moc"

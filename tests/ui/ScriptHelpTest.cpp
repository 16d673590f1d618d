// The window's help towards a script AviSynth accepts: the log's warnings and
// the panel's mark for a join AviSynth refuses, the question before writing
// it, the key frames in a panel's tool tip and the snap keys, and the Wine
// paths kept in the settings.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/ScriptPathSettings.h"
#include "ui/TextLines.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

class ScriptHelpTest : public QObject {
    Q_OBJECT
private slots:
    void aRefusedJoinIsMarkedLoggedAndAskedAbout() {
        App app;
        app.addFiles({fixture("divx_adpcm.avi"), fixture("mjpeg_silent.avi")});
        const QStringList warnings = app.log.logText->lines().filter(QStringLiteral("warning: "));
        QVERIFY(warnings.size() > 1); // every difference, AviSynth's refusal first
        QVERIFY(warnings[0].contains(QStringLiteral("one clip has audio")));
        const QList<SegmentPanel*> panels = app.shownPanels();
        QVERIFY(panels[0]->joinMarkBar->isHidden());
        QVERIFY(!panels[1]->joinMarkBar->isHidden());

        app.dialogs.questionAnswers = {false, true};
        app.dialogs.saveAnswers = {std::nullopt};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.questions.size(), 1);
        QVERIFY(app.dialogs.questions[0].startsWith(
            QStringLiteral("AviSynth will refuse this script:")));
        QVERIFY(app.dialogs.questions[0].endsWith(QStringLiteral("Write it anyway?")));
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.asked.last(), QStringLiteral("save *.avs avs"));
        QVERIFY(app.dialogs.unexpected.isEmpty());
    }

    void snapKeysAndTheContextMenuMoveTheStartToAKeyFrame() {
        App app;
        app.addFiles({xvidFile("snap-base.avi", 100, 10)});
        app.addSplices({xvidFile("snap25.avi", 10)}); // the tail starts at 35, and is current
        SegmentPanel* tail = app.shownPanels()[2];
        QVERIFY(tail->toolTip().startsWith(QStringLiteral("key frames: 30 (-5), 40 (+5)")));

        QTest::keyClick(&app.main, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(tail->startEdit->text(), QStringLiteral("30"));
        QCOMPARE(tail->endEdit->text(), QStringLiteral("100"));
        QTest::keyClick(&app.main, Qt::Key_Z, Qt::ControlModifier); // a snap is one step
        QCOMPARE(tail->startEdit->text(), QStringLiteral("35"));

        SegmentPanel* head = app.shownPanels()[0];
        QVERIFY(!head->snapPreviousAction->isEnabled()); // no key frame before frame 0
        head->snapNextAction->trigger();
        QCOMPARE(head->startEdit->text(), QStringLiteral("10"));
        QCOMPARE(app.main.session().plan()->currentSegment, head->segmentId());
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void pathSettingsAreRemembered() {
        {
            App app;
            app.main.scriptPaths->wineBox->setChecked(true);
            // A wrong line is named, the good one kept, and the editor comes
            // back with what was typed.
            app.dialogs.editAnswers = {QStringLiteral("/a=B:\\\nno mapping"),
                                       QStringLiteral("/mnt/video=V:\\\n\n")};
            app.main.scriptPaths->mappingsButton->click();
            QCOMPARE(app.dialogs.messages.size(), 1);
            QVERIFY(app.dialogs.messages[0].startsWith(QStringLiteral("Line 2 ")));
            QVERIFY(app.dialogs.asked.last().endsWith(QStringLiteral("/a=B:\\\nno mapping")));
        }
        App again;
        QVERIFY(again.main.scriptPaths->wineBox->isChecked());
        QCOMPARE(again.main.scriptPaths->mappings(),
                 QStringList{QStringLiteral("/mnt/video=V:\\")});
        QCOMPARE(again.main.scriptPaths->pathMap().toScript("/mnt/video/a.avi"), "V:\\a.avi");
        QCOMPARE(again.main.scriptPaths->pathMap().toScript("/home/a.avi"), "Z:\\home\\a.avi");
        again.main.scriptPaths->wineBox->setChecked(false);
    }
};

VIDLOOM_UI_TEST(ScriptHelpTest);

#include "ScriptHelpTest.moc"

// The main window as designed: its controls, keys, refresh groups, resize
// rule and the two tool windows.

#include "UiTestSupport.h"

#include "avi/Version.h"
#include "plan/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/TextLines.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"
#include "ui/viewer/PreviewStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

QColor fontColor() {
    return QColor(17, 66, 119);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTitleAndNothingShown() {
        App app;
        QCOMPARE(app.main.windowTitle(), QString::fromStdString(vidloom::titleLine()) + "[*]");
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("Vidloom ")));
        QCOMPARE(app.main.pos(), QPoint(228, 134));
        // The designed 700 x 600, and under the panels the preview strip.
        QCOMPARE(app.main.size(), QSize(700, 600 + 184));
        QCOMPARE(app.main.palette().color(QPalette::Window), QColor(255, 247, 225));
        QCOMPARE(app.main.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(app.main.font().pixelSize(), 11);
        QVERIFY(app.brand.isHidden());
        QVERIFY(app.log.isHidden());
        QVERIFY(app.main.session().plan() == nullptr);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 app.main.fourCCEdit, app.main.frameRateEdit, app.main.audioFormatEdit,
                 app.main.channelsEdit, app.main.moveEarlierButton, app.main.moveLaterButton,
                 app.main.moveEarlierFrame, app.main.moveLaterFrame}) {
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
        }
        QVERIFY(app.main.panels().isEmpty());
        QVERIFY(app.dialogs.asked.isEmpty());
    }

    void controlsSitWhereDesigned() {
        App app;
        MainWindow& f = app.main;
        QCOMPARE(f.progressBar->geometry(), QRect(8, 6, 457, 21));
        QCOMPARE(f.secondProgressBar->geometry(), QRect(472, 6, 201, 21));
        QCOMPARE(f.progressBar->maximum(), 100);
        struct Command {
            CommandButton* button;
            ButtonFrame* shape;
            QRect bounds;
            const char* caption;
            const char* hint;
        };
        const Command commands[] = {
            {f.addFileButton, f.addFileFrame, {8, 32, 201, 25}, "Add File", "F1"},
            {f.showTagsButton, f.showTagsFrame, {8, 64, 201, 25}, "Show BrandInfo", "F7"},
            {f.addSpliceButton, f.addSpliceFrame, {256, 32, 201, 25}, "Add Splice", "F2"},
            {f.generateButton, f.generateFrame, {472, 32, 209, 25}, "Generate AVS", "F9"},
            {f.showLogButton, f.showLogFrame, {472, 64, 105, 25}, "Show LogInfo", "F8"},
        };
        for (const Command& c : commands) {
            QCOMPARE(c.button->geometry(), c.bounds);
            QCOMPARE(c.shape->geometry(), c.bounds);
            QCOMPARE(c.button->text(), QString::fromLatin1(c.caption));
            QCOMPARE(c.button->toolTip(), QString::fromLatin1(c.hint));
            QCOMPARE(c.shape->penColor(), QColor(220, 234, 250));
            QCOMPARE(c.button->palette().color(QPalette::ButtonText), fontColor());
            QVERIFY(c.button->isFlat());
        }
        QCOMPARE(f.debugInfoBox->geometry(), QRect(584, 68, 97, 17));
        QCOMPARE(f.debugInfoBox->text(), QStringLiteral("Debug Info"));
        QCOMPARE(f.debugInfoBox->toolTip(), QStringLiteral("Ctrl F8"));
        QVERIFY(!f.debugInfoBox->isChecked());
        QCOMPARE(f.panelArea->geometry(), QRect(8, 104, 675, 460));
        QCOMPARE(f.panelArea->contents()->palette().color(QPalette::Window), QColor(Qt::white));

        // The fields are at least as wide as designed, as wide as their texts
        // need, on their two rows, clear of each other and of the move buttons.
        const std::pair<QLineEdit*, QRect> fields[] = {
            {f.fourCCEdit, {8, 8, 49, 21}},         {f.codecEdit, {64, 8, 145, 21}},
            {f.frameSizeEdit, {8, 32, 49, 21}},     {f.frameRateEdit, {64, 32, 57, 21}},
            {f.audioFormatEdit, {496, 8, 169, 21}}, {f.audioBitRateEdit, {496, 32, 57, 21}},
            {f.sampleRateEdit, {560, 32, 57, 21}},  {f.channelsEdit, {624, 32, 41, 21}},
        };
        QList<QRect> taken{f.moveEarlierButton->geometry(), f.moveLaterButton->geometry()};
        for (const auto& [edit, designed] : fields) {
            QCOMPARE(edit->parentWidget(), f.panelArea->contents());
            QCOMPARE(edit->y(), designed.y());
            QCOMPARE(edit->height(), designed.height());
            QVERIFY(edit->width() >= designed.width());
            QVERIFY(edit->geometry().right() < f.panelArea->width());
            for (const QRect& other : taken) {
                QVERIFY2(!edit->geometry().intersects(other),
                         qPrintable(edit->objectName() + QStringLiteral(" %1,%2 %3")
                                                             .arg(edit->x())
                                                             .arg(edit->width())
                                                             .arg(other.right())));
            }
            taken.append(edit->geometry());
            QCOMPARE(edit->palette().color(QPalette::Text), fontColor());
        }
        QCOMPARE(f.moveEarlierButton->geometry(), QRect(240, 48, 73, 25));
        QCOMPARE(f.moveLaterButton->geometry(), QRect(376, 48, 73, 25));
        QCOMPARE(f.moveEarlierFrame->geometry(), QRect(240, 48, 73, 25));
        QCOMPARE(f.moveLaterFrame->brushColor(), QColor(130, 222, 238));
        QCOMPARE(f.moveEarlierButton->text(), QStringLiteral("<<"));
        QCOMPARE(f.moveLaterButton->text(), QStringLiteral(">>"));
        QCOMPARE(f.moveEarlierButton->toolTip(), QStringLiteral("F5 - Prev"));
        QCOMPARE(f.moveLaterButton->toolTip(), QStringLiteral("F6 - Next"));
    }

    void keysReachTheirActions() {
        App app;
        QTest::keyClick(&app.main, Qt::Key_F1); // no answer queued: cancelled
        QCOMPARE(app.dialogs.asked, QStringList{QStringLiteral("open *.avi")});

        QTest::keyClick(&app.main, Qt::Key_F2);
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(
            app.dialogs.messages,
            (QStringList{QStringLiteral("Cannot add splice(s) without a base clip to modify..."),
                         QStringLiteral("You must have at least one video clip...")}));
        QCOMPARE(app.dialogs.asked.size(), 1); // neither opened a dialog

        QTest::keyClick(&app.main, Qt::Key_F7);
        QVERIFY(app.brand.isVisible());
        QTest::keyClick(&app.main, Qt::Key_F8);
        QVERIFY(app.log.isVisible());
        QTest::keyClick(&app.main, Qt::Key_F8, Qt::ControlModifier);
        QVERIFY(app.main.debugInfoBox->isChecked());
        QVERIFY(app.log.isVisible());
        QTest::keyClick(&app.main, Qt::Key_F8, Qt::ControlModifier);
        QVERIFY(!app.main.debugInfoBox->isChecked());
        QTest::keyClick(&app.main, Qt::Key_F7);
        QVERIFY(app.brand.isHidden());

        // F5 and F6 move the current segment: the last file added is current.
        app.addFiles({fixture("xvid_mp3.avi"), fixture("mjpeg_silent.avi")});
        auto& segments = app.main.session().plan()->segments;
        QVERIFY(segments.at(1).fileName().ends_with("mjpeg_silent.avi"));
        QTest::keyClick(&app.main, Qt::Key_F5);
        QVERIFY(segments.at(0).fileName().ends_with("mjpeg_silent.avi"));
        QTest::keyClick(&app.main, Qt::Key_F6);
        QVERIFY(segments.at(1).fileName().ends_with("mjpeg_silent.avi"));
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void toolWindowsCloseOnlyByHiding() {
        App app;
        app.addFiles({fixture("xvid_mp3.avi")});
        QTest::keyClick(&app.main, Qt::Key_F8);
        const QStringList before = app.log.logText->lines();
        QVERIFY(app.log.close());
        QVERIFY(app.log.isHidden());
        QTest::keyClick(&app.main, Qt::Key_F8);
        QVERIFY(app.log.isVisible());
        QCOMPARE(app.log.logText->lines(), before);
        // The keys belong to the program, so they work from a tool window too.
        app.log.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app.log));
        QTest::keyClick(&app.log, Qt::Key_F8);
        QVERIFY(app.log.isHidden());
    }

    void resizeRulesFollowTheWindow() {
        App app;
        QCOMPARE(app.main.panelArea->size(), QSize(675, 460));
        QCOMPARE(app.main.previewStrip->geometry(), QRect(8, 572, 675, 176));
        app.main.resize(800, 700);
        QCOMPARE(app.main.panelArea->size(), QSize(775, 376));
        QCOMPARE(app.main.previewStrip->geometry(), QRect(8, 488, 775, 176));
        // Without the strip (F4) the window is as designed.
        QTest::keyClick(&app.main, Qt::Key_F4);
        QVERIFY(app.main.previewStrip->isHidden());
        QVERIFY(!app.main.previewBox->isChecked());
        QCOMPARE(app.main.size(), QSize(800, 700 - 184));
        app.main.resize(800, 700);
        QCOMPARE(app.main.panelArea->size(), QSize(775, 560));
        app.main.resize(700, 600);
        QCOMPARE(app.main.panelArea->size(), QSize(675, 460));

        app.log.show();
        app.log.resize(500, 400);
        QCOMPARE(app.log.logText->size(), QSize(480, 360));
        QCOMPARE(app.log.logText->pos(), QPoint(8, 8));

        // The tag table grows with its window.
        app.brand.show();
        const QSize table = app.brand.table->size();
        app.brand.resize(app.brand.size() + QSize(207, 351));
        QCOMPARE(app.brand.table->size(), table + QSize(207, 351));
    }

    void toolWindowsAsDesigned() {
        App app;
        QCOMPARE(app.brand.windowTitle(), QStringLiteral("BrandInfo"));
        QCOMPARE(app.log.windowTitle(), QStringLiteral("Log"));
        QCOMPARE(app.brand.pos(), QPoint(200, 100));
        QCOMPARE(app.brand.size(), QSize(493, 149));
        QCOMPARE(app.log.size(), QSize(440, 300));
        QCOMPARE(app.log.logText->geometry(), QRect(8, 8, 420, 260));
        for (QWidget* w : std::initializer_list<QWidget*>{&app.brand, &app.log}) {
            QCOMPARE(w->palette().color(QPalette::Window), QColor(255, 247, 225));
            QCOMPARE(w->font().pixelSize(), 11);
            QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
            QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
            QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        }
        QVERIFY(!app.log.logText->isReadOnly());
        QCOMPARE(app.log.logText->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(app.brand.table->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
};

VIDLOOM_UI_TEST(MainWindowTest);

#include "MainWindowTest.moc"

// The main window as designed: its controls, keys, refresh groups, resize
// rule and the two tool windows.

#include "UiTestSupport.h"

#include "avi/Version.h"
#include "splice/USplicer.h"
#include "ui/InfoClipBox.h"
#include "ui/Shapes.h"
#include "ui/TMemo.h"
#include "ui/TScrollBox.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
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
        QCOMPARE(app.main.windowTitle(), QString::fromStdString(vidloom::titleLine()));
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("Vidloom ")));
        QCOMPARE(app.main.pos(), QPoint(228, 134));
        QCOMPARE(app.main.size(), QSize(700, 600));
        QCOMPARE(app.main.palette().color(QPalette::Window), QColor(255, 247, 225));
        QCOMPARE(app.main.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(app.main.font().pixelSize(), 11);
        QVERIFY(app.brand.isHidden());
        QVERIFY(app.log.isHidden());
        QVERIFY(app.main.SplicePlan() == nullptr);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 app.main.Edit0, app.main.Edit3, app.main.Edit4, app.main.Edit7, app.main.BtnPrev,
                 app.main.BtnNext, app.main.BtnPrevShape, app.main.BtnNextShape}) {
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
        }
        QVERIFY(app.main.panels().isEmpty());
        QVERIFY(app.dialogs.asked.isEmpty());
    }

    void controlsSitWhereDesigned() {
        App app;
        TForm1& f = app.main;
        QCOMPARE(f.ProgressBar1->geometry(), QRect(8, 6, 457, 21));
        QCOMPARE(f.ProgressBar2->geometry(), QRect(472, 6, 201, 21));
        QCOMPARE(f.ProgressBar1->maximum(), 100);
        struct Command {
            TSpeedButton* button;
            TShape* shape;
            QRect bounds;
            const char* caption;
            const char* hint;
        };
        const Command commands[] = {
            {f.SpeedButton1, f.Shape1, {8, 32, 201, 25}, "Add File", "F1"},
            {f.SpeedButton2, f.Shape2, {8, 64, 201, 25}, "Show BrandInfo", "F7"},
            {f.SpeedButton3, f.Shape3, {256, 32, 201, 25}, "Add Splice", "F2"},
            {f.SpeedButton4, f.Shape4, {472, 32, 209, 25}, "Generate AVS", "F9"},
            {f.SpeedButton5, f.Shape5, {472, 64, 105, 25}, "Show LogInfo", "F8"},
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
        QCOMPARE(f.CheckBox1->geometry(), QRect(584, 68, 97, 17));
        QCOMPARE(f.CheckBox1->text(), QStringLiteral("Debug Info"));
        QCOMPARE(f.CheckBox1->toolTip(), QStringLiteral("Ctrl F8"));
        QVERIFY(!f.CheckBox1->isChecked());
        QCOMPARE(f.ScrollBox1->geometry(), QRect(8, 104, 675, 460));
        QCOMPARE(f.ScrollBox1->contents()->palette().color(QPalette::Window), QColor(Qt::white));

        const std::pair<QLineEdit*, QRect> fields[] = {
            {f.Edit0, {8, 8, 49, 21}},    {f.Edit1, {64, 8, 145, 21}},
            {f.Edit2, {8, 32, 49, 21}},   {f.Edit3, {64, 32, 57, 21}},
            {f.Edit4, {496, 8, 169, 21}}, {f.Edit5, {496, 32, 57, 21}},
            {f.Edit6, {560, 32, 57, 21}}, {f.Edit7, {624, 32, 41, 21}},
        };
        for (const auto& [edit, bounds] : fields) {
            QCOMPARE(edit->parentWidget(), f.ScrollBox1->contents());
            QCOMPARE(edit->geometry(), bounds);
            QCOMPARE(edit->palette().color(QPalette::Text), fontColor());
        }
        QCOMPARE(f.BtnPrev->geometry(), QRect(240, 48, 73, 25));
        QCOMPARE(f.BtnNext->geometry(), QRect(376, 48, 73, 25));
        QCOMPARE(f.BtnPrevShape->geometry(), QRect(240, 48, 73, 25));
        QCOMPARE(f.BtnNextShape->brushColor(), QColor(130, 222, 238));
        QCOMPARE(f.BtnPrev->text(), QStringLiteral("<<"));
        QCOMPARE(f.BtnNext->text(), QStringLiteral(">>"));
        QCOMPARE(f.BtnPrev->toolTip(), QStringLiteral("F5 - Prev"));
        QCOMPARE(f.BtnNext->toolTip(), QStringLiteral("F6 - Next"));
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
        QVERIFY(app.main.CheckBox1->isChecked());
        QVERIFY(app.log.isVisible());
        QTest::keyClick(&app.main, Qt::Key_F8, Qt::ControlModifier);
        QVERIFY(!app.main.CheckBox1->isChecked());
        QTest::keyClick(&app.main, Qt::Key_F7);
        QVERIFY(app.brand.isHidden());

        // F5 and F6 move the current segment: the last file added is current.
        app.addFiles({fixture("xvid_mp3.avi"), fixture("mjpeg_silent.avi")});
        auto& segments = app.main.SplicePlan()->Segments;
        QVERIFY(segments.getSegment(1).fileName().ends_with("mjpeg_silent.avi"));
        QTest::keyClick(&app.main, Qt::Key_F5);
        QVERIFY(segments.getSegment(0).fileName().ends_with("mjpeg_silent.avi"));
        QTest::keyClick(&app.main, Qt::Key_F6);
        QVERIFY(segments.getSegment(1).fileName().ends_with("mjpeg_silent.avi"));
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void toolWindowsCloseOnlyByHiding() {
        App app;
        app.addFiles({fixture("xvid_mp3.avi")});
        QTest::keyClick(&app.main, Qt::Key_F8);
        const QStringList before = app.log.Memo1->lines();
        QVERIFY(app.log.close());
        QVERIFY(app.log.isHidden());
        QTest::keyClick(&app.main, Qt::Key_F8);
        QVERIFY(app.log.isVisible());
        QCOMPARE(app.log.Memo1->lines(), before);
        // The keys belong to the program, so they work from a tool window too.
        app.log.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app.log));
        QTest::keyClick(&app.log, Qt::Key_F8);
        QVERIFY(app.log.isHidden());
    }

    void resizeRulesFollowTheWindow() {
        App app;
        QCOMPARE(app.main.ScrollBox1->size(), QSize(675, 460));
        app.main.resize(800, 700);
        QCOMPARE(app.main.ScrollBox1->size(), QSize(775, 560));
        app.main.resize(700, 600);
        QCOMPARE(app.main.ScrollBox1->size(), QSize(675, 460));

        app.log.show();
        app.log.resize(500, 400);
        QCOMPARE(app.log.Memo1->size(), QSize(480, 360));
        QCOMPARE(app.log.Memo1->pos(), QPoint(8, 8));

        app.brand.show();
        app.brand.resize(700, 500);
        QCOMPARE(app.brand.Memo3->geometry(), QRect(8, 5, 49, 113));
        QCOMPARE(app.brand.Memo4->geometry(), QRect(63, 5, 417, 113));
    }

    void toolWindowsAsDesigned() {
        App app;
        QCOMPARE(app.brand.windowTitle(), QStringLiteral("BrandInfo"));
        QCOMPARE(app.log.windowTitle(), QStringLiteral("Log"));
        QCOMPARE(app.brand.pos(), QPoint(200, 100));
        QCOMPARE(app.brand.size(), QSize(493, 149));
        QCOMPARE(app.log.size(), QSize(440, 300));
        QCOMPARE(app.log.Memo1->geometry(), QRect(8, 8, 420, 260));
        for (QWidget* w : std::initializer_list<QWidget*>{&app.brand, &app.log}) {
            QCOMPARE(w->palette().color(QPalette::Window), QColor(255, 247, 225));
            QCOMPARE(w->font().pixelSize(), 11);
            QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
            QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
            QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        }
        for (TMemo* memo : {app.brand.Memo3, app.brand.Memo4, app.log.Memo1}) {
            QVERIFY(!memo->isReadOnly());
            QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        }
    }
};

VIDLOOM_UI_TEST(MainWindowTest);

#include "MainWindowTest.moc"

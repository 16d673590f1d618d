// The window as a view of its plan session: one Enter is one change and one
// pull of each view; what does not change the plan computes nothing; the keys
// and dialogs that start from the panel being typed into; and the script
// path the title names follows undo.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "session/PlanSession.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QFileInfo>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

class SessionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void oneEnterIsOneChange() {
        App app;
        app.addFiles({xvidFile("once-a.avi", 100, 10), xvidFile("once-b.avi", 40, 10)});
        const vidloom::PlanSession& session = app.main.session();
        SegmentPanel* panel = app.shownPanels().first();
        const int64_t told = session.notifications();
        const auto before = session.viewComputations();

        panel->startEdit->setFocus();
        panel->startEdit->selectAll();
        QTest::keyClicks(panel->startEdit, "20");
        QTest::keyClick(panel->startEdit, Qt::Key_Return);
        QCOMPARE(session.plan()->segments.at(0).start, 20);
        QCOMPARE(session.notifications(), told + 1);
        const auto after = session.viewComputations();
        QCOMPARE(after.listings, before.listings + 1);
        QCOMPARE(after.preflights, before.preflights + 1);
        QCOMPARE(after.positions, before.positions + 1);

        // The focus leaving the cell: nothing to apply, nothing computed.
        QTest::keyClick(panel->startEdit, Qt::Key_Tab);
        app.shownPanels()[1]->lengthEdit->setFocus();
        QCOMPARE(session.notifications(), told + 1);
        QVERIFY(session.viewComputations() == after);
    }

    void theSnapKeysStartFromTheCellBeingTyped() {
        App app;
        app.addFiles({xvidFile("snap-typed.avi", 100, 10)});
        SegmentPanel* panel = app.shownPanels().first();
        panel->startEdit->setFocus();
        panel->startEdit->selectAll();
        QTest::keyClicks(panel->startEdit, "23");
        QTest::keyClick(panel->startEdit, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(app.main.session().plan()->segments.at(0).start, 20);
        QTest::keyClick(panel->startEdit, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(app.main.session().plan()->segments.at(0).start, 30);
        QCOMPARE(panel->startEdit->text(), QStringLiteral("30"));
    }

    void aScriptNeverGoesOverAVideo() {
        App app;
        const QString base = xvidFile("over-base.avi", 30);
        app.addFiles({base});
        const QByteArray bytes =
            QByteArray::fromStdString(vidloom::kit::readAll(base.toStdString()));
        app.dialogs.saveAnswers = {base};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.messages,
                 QStringList{base + ": will not write a script over a video file"});
        QVERIFY2(app.dialogs.questions.isEmpty(), "not even asked to replace it");
        QCOMPARE(QByteArray::fromStdString(vidloom::kit::readAll(base.toStdString())), bytes);
    }

    void undoOfOpenScriptPutsBackItsTitle() {
        App app;
        app.addFiles({xvidFile("title-a.avi", 30)});
        const QString a = tempFile("title-a.avs", "");
        app.dialogs.saveAnswers = {a};
        app.dialogs.questionAnswers = {true};
        QTest::keyClick(&app.main, Qt::Key_F9);
        app.addFiles({xvidFile("title-b.avi", 10)});
        const QString b = tempFile("title-b.avs", "");
        app.dialogs.saveAnswers = {b};
        app.dialogs.questionAnswers = {true};
        QTest::keyClick(&app.main, Qt::Key_F9);
        for (const QString& script : {a, b}) {
            app.dialogs.openAnswers.push_back({script});
            QTest::keyClick(&app.main, Qt::Key_O, Qt::ControlModifier);
        }
        QVERIFY(app.main.windowTitle().startsWith(QStringLiteral("title-b.avs[*]")));
        QTest::keyClick(&app.main, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(app.main.windowTitle().startsWith(QStringLiteral("title-a.avs[*]")),
                 qPrintable(app.main.windowTitle()));
        QVERIFY(!app.main.isWindowModified());
        QCOMPARE(app.main.session().plan()->segments.count(), 1);
        QVERIFY(app.dialogs.errors.isEmpty());
    }
};

} // namespace

VIDLOOM_UI_TEST(SessionWindowTest);
#include "SessionWindowTest.moc"

// "Open Script" by its key, from the command line and by a drop: the window
// shows the opened plan as after "Add File" and writes it back byte for byte;
// a script it cannot read is shown and leaves everything as it was.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/TextLines.h"
#include "ui/panels/SegmentPanel.h"

#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

class OpenScriptTest : public QObject {
    Q_OBJECT
private slots:
    void keyOpensAScriptAndARefusalChangesNothing() {
        const std::string a = xvidFile("open-a.avi", 40, 10).toStdString();
        const std::string b = xvidFile("open-b.avi", 30, 10).toStdString();
        const std::string text = "src = aviSource(\"" + a + "\").trim(5,-20)\r\n" +
                                 "src = alignedsplice( src , aviSource(\"" + b +
                                 "\").trim(0,-30) )\r\nreturn src\r\n";
        const QString script = tempFile("open.avs", text);
        App app;
        app.addFiles({fixture("tagged_pcm.avi")});
        app.dialogs.openAnswers.push_back({script});
        QTest::keyClick(&app.main, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(app.dialogs.asked.last(), QStringLiteral("open *.avs"));
        QVERIFY(app.dialogs.errors.isEmpty());
        const vidloom::SplicePlan* plan = app.main.session().plan();
        QCOMPARE(plan->segments.count(), 2);
        QCOMPARE(plan->segments.at(0).start, 5);
        QCOMPARE(app.shownPanels().size(), 2);
        QCOMPARE(app.main.fourCCEdit->text(), QStringLiteral("XVID"));
        QVERIFY(app.main.moveLaterButton->isVisible());
        QStringList block;
        for (const std::string& line : app.main.session().listingBlock()) {
            block.append(QString::fromStdString(line));
        }
        QCOMPARE(app.log.logText->lines(), block);

        const QString written = tempFile("written.avs", "");
        app.dialogs.saveAnswers.push_back(written);
        app.dialogs.questionAnswers.push_back(true); // replace the empty file
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(vidloom::kit::readAll(written.toStdString()), text);

        const QString bad = tempFile("bad.avs", "src = aviSource(\"" + a +
                                                    "\")\n\nsrc = src.blur(1)\nreturn src\n");
        const QStringList logBefore = app.log.logText->lines();
        app.dialogs.openAnswers.push_back({bad});
        QTest::keyClick(&app.main, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(app.dialogs.errors[0].startsWith(bad + ": line 3: not understood"));
        QCOMPARE(app.main.session().plan(), plan);
        QCOMPARE(plan->segments.count(), 2);
        QCOMPARE(app.log.logText->lines(), logBefore);
        QCOMPARE(app.shownPanels().size(), 2);
    }

    void commandLineAndDropOpenScripts() {
        const std::string a = xvidFile("cmd-a.avi", 20).toStdString();
        const QString script =
            tempFile("cmd.avs", "src = aviSource(\"" + a + "\")\r\nreturn src\r\n");
        App app;
        app.main.openPaths({script, fixture("xvid_mp3.avi")});
        QCOMPARE(app.main.session().plan()->segments.count(), 2);
        QCOMPARE(app.main.session().plan()->segments.at(0).fileName(), a);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(script)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&app.main, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&app.main, &drop);
        QCOMPARE(app.main.session().plan()->segments.count(), 1);
        QCOMPARE(app.shownPanels().size(), 1);
        QVERIFY(app.dialogs.asked.isEmpty());
        QVERIFY(app.dialogs.errors.isEmpty());
    }
};

VIDLOOM_UI_TEST(OpenScriptTest);

#include "OpenScriptTest.moc"

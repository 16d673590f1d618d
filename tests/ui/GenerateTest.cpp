// "Generate AVS" from the window: the save dialog, the log lines, the file,
// and a failed write shown with the file's name.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "ui/TextLines.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

class GenerateTest : public QObject {
    Q_OBJECT
private slots:
    void writesTheScriptAndLogsIt() {
        App app;
        const QString base = xvidFile("base.avi", 100, 10);
        app.addFiles({base});
        app.addSplices({xvidFile("ins40.avi", 10)});
        const QStringList block = app.log.logText->lines();
        const QString out = tempFile("out.avs", "old contents");
        app.dialogs.saveAnswers = {out, out, out};
        // Replacing an existing file is asked first; "no" leaves it alone.
        app.dialogs.questionAnswers = {false, true, true};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.questions.size(), 1);
        QVERIFY(app.dialogs.questions[0].contains(out));
        QCOMPARE(vidloom::kit::readAll(out.toStdString()), "old contents");
        QCOMPARE(app.log.logText->lines(), block);
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.asked.last(), QStringLiteral("save *.avs avs"));
        // The dialog starts at the base clip's name, and the window says where
        // the script went.
        QCOMPARE(app.dialogs.suggested.last(), base.chopped(4) + QStringLiteral(".avs"));
        QVERIFY(app.main.statusLine->toolTip().contains(out));
        const QByteArray script =
            QByteArray::fromStdString(vidloom::kit::readAll(out.toStdString()));
        QVERIFY(script.startsWith("src = aviSource(\"" + base.toUtf8() + "\")"));
        QVERIFY(script.endsWith("return src\r\n"));
        QCOMPARE(app.log.logText->lines(), block + QStringList({"Creating " + out, "Done"}));
        QCOMPARE(app.main.progressBar->value(), app.main.progressBar->maximum());

        // Again, with "Debug Info" checked: a second pair of lines, the same file.
        QTest::keyClick(&app.main, Qt::Key_F8, Qt::ControlModifier);
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.log.logText->lines(),
                 block + QStringList({"Creating " + out, "Done", "Creating " + out, "Done"}));
        QCOMPARE(QByteArray::fromStdString(vidloom::kit::readAll(out.toStdString())), script);
        QVERIFY(app.dialogs.errors.isEmpty());

        // A new splice replaces the whole block, script lines included.
        app.addSplices({xvidFile("ins70.avi", 10)});
        QCOMPARE(app.log.logText->lines().size(), block.size() + 2);
        QVERIFY(!app.log.logText->lines().contains(QStringLiteral("Done")));
    }

    void cancelledSaveWritesNothing() {
        App app;
        app.addFiles({xvidFile("base.avi", 10)});
        const QStringList block = app.log.logText->lines();
        app.dialogs.saveAnswers = {std::nullopt};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.log.logText->lines(), block);
        QVERIFY(app.dialogs.messages.isEmpty());
    }

    void failedWriteIsShownWithTheFileName() {
        App app;
        app.addFiles({xvidFile("base.avi", 10)});
        const QString out = QDir::tempPath() + "/vidloom-no-such-folder/out.avs";
        app.dialogs.saveAnswers = {out};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors[0].contains(out), qPrintable(app.dialogs.errors[0]));
        // The log says how its "Creating" line ended.
        const QStringList lines = app.log.logText->lines();
        QCOMPARE(lines[lines.size() - 2], "Creating " + out);
        QVERIFY2(lines.last().startsWith(QStringLiteral("Failed: ")) && lines.last().contains(out),
                 qPrintable(lines.last()));
        QVERIFY(!app.main.statusLine->toolTip().contains(out));
        QVERIFY(!QFile::exists(out));
        // The program goes on: the plan is intact and the next command works.
        const QString good = tempFile("good.avs", {});
        app.dialogs.saveAnswers = {good};
        app.dialogs.questionAnswers = {true};
        QTest::keyClick(&app.main, Qt::Key_F9);
        QCOMPARE(app.log.logText->lines().last(), QStringLiteral("Done"));
    }
};

VIDLOOM_UI_TEST(GenerateTest);

#include "GenerateTest.moc"

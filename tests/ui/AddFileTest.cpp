// "Add File": the property fields of segment 0, the groups shown, the log
// block, the brand columns, the panels and the failures, for real files.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/TextLines.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

QStringList fieldTexts(const MainWindow& f) {
    QStringList texts;
    for (QLineEdit* e : {f.fourCCEdit, f.codecEdit, f.frameSizeEdit, f.frameRateEdit,
                         f.audioFormatEdit, f.audioBitRateEdit, f.sampleRateEdit, f.channelsEdit}) {
        texts.append(e->isHidden() ? QStringLiteral("-") : e->text());
    }
    return texts;
}

QString audioFile(const std::string& name, uint32_t rate, uint32_t bytesPerSec, uint16_t channels,
                  uint32_t microSecPerFrame = 40000) {
    vidloom::kit::AviBuilder avi;
    avi.sampleRate = rate;
    avi.bytesPerSec = bytesPerSec;
    avi.channels = channels;
    avi.microSecPerFrame = microSecPerFrame;
    avi.addFrames(4);
    return tempFile(name, avi.build());
}

} // namespace

class AddFileTest : public QObject {
    Q_OBJECT
private slots:
    void fieldsShowTheFirstSegment() {
        App app;
        app.addFiles({fixture("xvid_mp3.avi")});
        QCOMPARE(fieldTexts(app.main), (QStringList{"XVID", "Xvid MPEG-4", "320x240", "25.0 fps",
                                                    "mp3", "48 kbps", "44100Hz", "Stereo"}));
        QVERIFY(app.main.moveEarlierButton->isHidden());
        QVERIFY(app.main.moveLaterFrame->isHidden());
        // The report of segment 0's file is the video fields' tool tip.
        const std::string report = app.main.session().plan()->segments.at(0).header->Report;
        QVERIFY(!report.empty());
        QCOMPARE(app.main.codecEdit->toolTip(),
                 QString::fromStdString(report).replace("\r\n", "\n").trimmed());

        app.addFiles({fixture("tagged_pcm.avi")}); // appended: fields stay on segment 0
        QCOMPARE(app.main.fourCCEdit->text(), QStringLiteral("XVID"));
        QVERIFY(app.main.moveEarlierButton->isVisible());
        QVERIFY(app.main.moveLaterFrame->isVisible());
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void fieldsOfOtherFormats() {
        const std::pair<QString, QStringList> cases[] = {
            {fixture("mjpeg_silent.avi"),
             {"MJPG", "Motion JPEG", "176x144", "10.0 fps", "-", "-", "-", "-"}},
            {fixture("tagged_pcm.avi"),
             {"MP43", "Msoft MPEG-4 V3", "160x120", "29.970 fps", "pcm", "128 kbps", "8000Hz",
              "Mono"}},
            {fixture("divx_adpcm.avi"),
             {"DIVX", "DivX MPEG-4 5.0x", "176x144", "15.0 fps", "microsoft ACPM", "128 kbps",
              "22050Hz", "Stereo"}},
            {audioFile("a48k.avi", 48000, 24000, 2, 39936),
             {"XVID", "Xvid MPEG-4", "320x240", "25.040 fps", "mp3", "192 kbps", "48000Hz",
              "Stereo"}},
            {audioFile("six.avi", 48000, 24000, 6),
             {"XVID", "Xvid MPEG-4", "320x240", "25.0 fps", "mp3", "192 kbps", "48000Hz",
              "6 channels"}},
        };
        for (const auto& [file, expected] : cases) {
            App app;
            app.addFiles({file});
            QCOMPARE(fieldTexts(app.main), expected);
        }
    }

    void logAndBrandAfterEachFile() {
        App app;
        const QString base = fixture("tagged_pcm.avi");
        const QString more = fixture("xvid_mp3.avi");
        app.addFiles({base, more});
        QString assembled = base;
        assembled.chop(4);
        QCOMPARE(app.log.logText->lines().mid(0, 5),
                 (QStringList{"Future Content of", assembled + ".Assembled.avd", "",
                              "0-30 : " + base, "30-81 : " + more}));
        // The frame sizes differ: AviSynth's refusal follows the listing,
        // then every other difference of the join.
        QVERIFY(app.log.logText->lines().size() > 6);
        for (const QString& line : app.log.logText->lines().mid(5)) {
            QVERIFY(line.startsWith(QStringLiteral("warning: ")));
        }
        QVERIFY(app.log.logText->lines()[5].contains(QStringLiteral("Frame sizes don't match")));
        // The brand window shows the base clip's tags, whatever was added last.
        QCOMPARE(tagColumn(app.brand, 0),
                 (QStringList{"InfoTag", "ISBJ", "IART", "ICOP", "ICMT", "ISRC", "ISFT", "INAM"}));
        QCOMPARE(tagColumn(app.brand, 1),
                 (QStringList{"Contents", "", "Vidloom tests", "public domain",
                              "made by make-fixtures.sh", "", "Lavf59.27.100", "Harbour at dawn"}));
        QCOMPARE(app.main.secondProgressBar->value(), app.main.secondProgressBar->maximum());
    }

    void panelsShowTheSegments() {
        App app;
        const QString a = xvidFile("first.avi", 100, 10);
        const QString b = xvidFile("second.avi", 40, 10);
        app.addFiles({a, b, a, b, a});
        const QList<SegmentPanel*> panels = app.shownPanels();
        QCOMPARE(panels.size(), 5);
        const QPoint places[] = {{15, 92}, {275, 92}, {535, 92}, {795, 92}, {15, 252}};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(panels[i]->title(), QStringLiteral("Clip #%1").arg(i));
            QCOMPARE(panels[i]->pos(), places[i]);
            QCOMPARE(panels[i]->size(), QSize(244, 155));
        }
        SegmentPanel* second = panels[1];
        QCOMPARE(second->directoryCell->text(),
                 QDir::tempPath() + "/" + QFileInfo(b).dir().dirName() + "/");
        QCOMPARE(second->fileNameCell->text(), QStringLiteral("second.avi"));
        QCOMPARE(second->startEdit->text(), QStringLiteral("0"));
        QCOMPARE(second->endEdit->text(), QStringLiteral("40"));
        QCOMPARE(second->lengthEdit->text(), QStringLiteral("40"));
        QCOMPARE(second->clipStartCell->text(), QStringLiteral("100"));
        QCOMPARE(second->clipEndCell->text(), QStringLiteral("140"));
        QCOMPARE(second->clipLengthCell->text(), QStringLiteral("40"));
        // The last panel made is current; the others have the plain colour.
        QCOMPARE(panels[4]->boxColor(), QColor(130, 222, 238));
        QCOMPARE(panels[4]->endEdit->palette().color(QPalette::Base), QColor(130, 222, 238));
        QCOMPARE(second->boxColor(), QColor(213, 255, 253));
        QCOMPARE(second->fileNameCell->palette().color(QPalette::Base), QColor(213, 255, 253));
        // The scroll box reaches the panels beyond its visible part.
        QVERIFY(app.main.panelArea->horizontalScrollBar()->maximum() > 0);
        QVERIFY(second->toolTip().contains(QStringLiteral("second.avi")));
    }

    void cancelledDialogChangesNothing() {
        App app;
        app.addFiles({fixture("xvid_mp3.avi")});
        const QStringList log = app.log.logText->lines();
        app.dialogs.openAnswers.push_back({});
        QTest::keyClick(&app.main, Qt::Key_F1);
        QCOMPARE(app.main.session().plan()->segments.count(), 1);
        QCOMPARE(app.log.logText->lines(), log);
        QCOMPARE(app.main.fourCCEdit->text(), QStringLiteral("XVID"));
    }

    void notAnAviBaseClipShowsHeadingsAlone() {
        App app;
        const QString text = tempFile("notes.avi", "this is not a RIFF file at all");
        app.addFiles({text});
        QVERIFY(app.dialogs.errors.isEmpty());
        QCOMPARE(tagColumn(app.brand, 0), QStringList{"InfoTag"});
        QCOMPARE(tagColumn(app.brand, 1), QStringList{"Contents"});
        QCOMPARE(app.shownPanels().size(), 1);
    }

    void anUnreadableFileIsNamedAndTheOthersGoIn() {
        App app;
        const QString missing = QDir::tempPath() + "/vidloom-no-such-file.avi";
        app.addFiles({fixture("xvid_mp3.avi"), missing, fixture("tagged_pcm.avi")});
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors[0].contains("vidloom-no-such-file.avi"),
                 qPrintable(app.dialogs.errors[0]));
        // Every other file of the selection goes in, as one step.
        QCOMPARE(app.main.session().plan()->segments.count(), 2);
        QCOMPARE(app.main.fourCCEdit->text(), QStringLiteral("XVID"));
        QTest::keyClick(&app.main, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(app.main.session().plan(), nullptr);
    }

    void commandLineAndDroppedFilesAreAdded() {
        App app;
        const QString dir = QFileInfo(fixture("xvid_mp3.avi")).absolutePath();
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir);
        app.main.addFiles({QStringLiteral("xvid_mp3.avi")});
        QDir::setCurrent(old);
        QCOMPARE(app.main.session().plan()->segments.at(0).fileName(),
                 (dir + "/xvid_mp3.avi").toStdString());

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(fixture("tagged_pcm.avi")),
                      QUrl::fromLocalFile(fixture("make-fixtures.sh"))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&app.main, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&app.main, &drop);
        QCOMPARE(app.main.session().plan()->segments.count(), 2);
        QCOMPARE(app.shownPanels().size(), 2);
        QVERIFY(app.dialogs.asked.isEmpty());
    }
};

VIDLOOM_UI_TEST(AddFileTest);

#include "AddFileTest.moc"

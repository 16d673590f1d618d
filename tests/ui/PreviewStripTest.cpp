// The preview strip follows the current panel through adding files, edits,
// clicks, moves and undo; it fills from a worker while the window goes on, shows
// why a file cannot be decoded, and can be hidden.

#include "UiTestSupport.h"

#include "preview/FileDecoder.h"
#include "ui/panels/PanelCell.h"
#include "ui/viewer/PreviewStrip.h"
#include "ui/panels/SegmentPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

QStringList captions(const PreviewStrip* strip) {
    QStringList all;
    for (const PreviewStrip::TileView& tile : strip->tiles()) {
        all.append(tile.caption);
    }
    return all;
}

// Every tile with a frame shows its picture, 48 x 32 scaled into 96 x 72.
bool allShown(const PreviewStrip* strip) {
    for (const PreviewStrip::TileView& tile : strip->tiles()) {
        if (tile.caption.contains(QStringLiteral(", frame")) && tile.picture != QSize(96, 64)) {
            return false;
        }
    }
    return strip->pending() == 0;
}

void typeStart(SegmentPanel* panel, const QString& text) {
    panel->startEdit->setFocus();
    panel->startEdit->selectAll();
    QTest::keyClicks(panel->startEdit, text);
    QTest::keyClick(panel->startEdit, Qt::Key_Return);
}

} // namespace

class PreviewStripTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheCurrentPanel() {
        App app;
        PreviewStrip* strip = app.main.previewStrip;
        QVERIFY(!strip->isHidden());
        QVERIFY(app.main.previewBox->isChecked());
        if (!vidloom::preview::previewsBuiltIn()) {
            QCOMPARE(strip->findChild<QLabel*>(QStringLiteral("previewMessage"))->text(),
                     QStringLiteral("Previews are not built in"));
            return;
        }
        const QString b = fixture("preview/bframes.avi");
        const QString d = fixture("preview/dropped.avi");
        app.addFiles({b, d});
        // The file added last is current.
        QCOMPARE(captions(strip), (QStringList{"bframes.avi, frame 29", "dropped.avi, frame 0",
                                               "dropped.avi, frame 29", "end of the plan"}));
        QTRY_VERIFY(allShown(strip));

        // Its start moves to frame 1, a dropped frame and no key frame: the
        // strip follows at once with placeholders (the window does not wait
        // for the worker), then the pictures, and the key frames around it.
        SegmentPanel* second = app.shownPanels()[1];
        typeStart(second, QStringLiteral("1"));
        QCOMPARE(captions(strip).mid(0, 2),
                 (QStringList{"bframes.avi, frame 29", "dropped.avi, frame 1"}));
        QVERIFY(strip->pending() > 0);
        QCOMPARE(strip->tiles()[1].text, QStringLiteral("decoding\u2026"));
        QTRY_VERIFY(allShown(strip));
        QCOMPARE(captions(strip), (QStringList{"bframes.avi, frame 29",
                                               "dropped.avi, frame 1\n(dropped: shows frame 0)",
                                               "dropped.avi, frame 29", "end of the plan",
                                               "dropped.avi, frame 0", "dropped.avi, frame 13"}));

        // A click on the first panel makes it current; frames decoded before
        // show at once.
        SegmentPanel* first = app.shownPanels()[0];
        QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(200, 12));
        QCOMPARE(captions(strip),
                 (QStringList{"start of the plan", "bframes.avi, frame 0", "bframes.avi, frame 29",
                              "dropped.avi, frame 1\n(dropped: shows frame 0)"}));
        // F6 moves it after the other segment; Ctrl+Z puts it back.
        QTest::keyClick(&app.main, Qt::Key_F6);
        QCOMPARE(captions(strip).mid(0, 2),
                 (QStringList{"dropped.avi, frame 29", "bframes.avi, frame 0"}));
        QTest::keyClick(&app.main, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(captions(strip).mid(0, 2),
                 (QStringList{"start of the plan", "bframes.avi, frame 0"}));
        QTRY_VERIFY(allShown(strip));

        // Hidden, the strip asks for nothing; shown again, it has caught up.
        QTest::keyClick(&app.main, Qt::Key_F4);
        QVERIFY(strip->isHidden());
        QTest::keyClick(&app.main, Qt::Key_F6);
        QCOMPARE(strip->pending(), 0);
        app.main.previewBox->click();
        QVERIFY(!strip->isHidden());
        QCOMPARE(captions(strip).mid(0, 2),
                 (QStringList{"dropped.avi, frame 29", "bframes.avi, frame 0"}));
        QTRY_VERIFY(allShown(strip));
    }

    void showsWhyAFileCannotBeDecoded() {
        App app;
        if (!vidloom::preview::previewsBuiltIn()) {
            QSKIP("previews are not built in");
        }
        const QString broken = xvidFile("undecodable.avi", 12);
        app.addFiles({broken});
        PreviewStrip* strip = app.main.previewStrip;
        QTRY_COMPARE(strip->pending(), 0);
        const PreviewStrip::TileView tile = strip->tiles()[1];
        QCOMPARE(tile.caption, QStringLiteral("undecodable.avi, frame 0"));
        QVERIFY2(tile.text.startsWith(broken + QStringLiteral(": cannot be decoded: ")),
                 qPrintable(tile.text));
        QVERIFY(tile.picture.isEmpty());
    }
};

VIDLOOM_UI_TEST(PreviewStripTest);

#include "PreviewStripTest.moc"

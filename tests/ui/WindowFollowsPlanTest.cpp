// The window keeps the user informed and in place: the log and the brand
// window follow every change, the keyboard and the view stay on the current
// panel, corrected values and files that are not AVI files are told, the
// fields show their whole texts and the windows fit the screen.

#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "plan/SplicePlan.h"
#include "ui/CommandButton.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace vidloom::ui;
using namespace vidloom::ui::test;

namespace {

// The listing lines of the log (after its three heading lines, without the
// warnings about joins AviSynth refuses that follow them).
QStringList listing(const App& app) {
    QStringList lines = app.log.logText->lines().mid(3);
    lines.removeIf(
        [](const QString& line) { return line.startsWith(QStringLiteral("warning: ")); });
    return lines;
}

SegmentPanel* currentPanel(const App& app) {
    for (SegmentPanel* panel : app.shownPanels()) {
        if (panel->segmentId() == app.main.session().plan()->currentSegment) {
            return panel;
        }
    }
    return nullptr;
}

bool inView(const App& app, const SegmentPanel* panel) {
    const QWidget* viewport = app.main.panelArea->viewport();
    return viewport->rect().contains(QRect(panel->mapTo(viewport, QPoint(0, 0)), panel->size()));
}

} // namespace

class WindowFollowsPlanTest : public QObject {
    Q_OBJECT
private slots:
    void logAndBrandFollowEveryChange() {
        App app;
        const QString tagged = fixture("tagged_pcm.avi");
        const QString other = xvidFile("other.avi", 50);
        app.addFiles({tagged, other});
        const QStringList brandBefore = tagColumn(app.brand, 1);

        SegmentPanel* first = app.shownPanels()[0];
        type(first->endEdit, QStringLiteral("20"));
        QCOMPARE(listing(app), (QStringList{"0-20 : " + tagged, "20-70 : " + other}));
        QTest::keyClick(&app.main, Qt::Key_F6); // the edited segment moves later
        QCOMPARE(listing(app), (QStringList{"0-50 : " + other, "50-70 : " + tagged}));
        // The brand window shows the new first segment's tags.
        QVERIFY(tagColumn(app.brand, 1) != brandBefore);
        QTest::mouseClick(app.shownPanels()[0]->deleteButton, Qt::LeftButton);
        QCOMPARE(listing(app), QStringList{"0-20 : " + tagged});
        QCOMPARE(tagColumn(app.brand, 1), brandBefore);
        QTest::mouseClick(app.shownPanels()[0]->deleteButton, Qt::LeftButton);
        QCOMPARE(listing(app), QStringList{});
        QCOMPARE(tagColumn(app.brand, 0), QStringList{"InfoTag"});
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void afterDeleteTheKeyboardIsInTheCurrentPanel() {
        App app;
        app.addFiles(
            {xvidFile("del-a.avi", 10), xvidFile("del-b.avi", 10), xvidFile("del-c.avi", 10)});
        SegmentPanel* second = app.shownPanels()[1];
        second->deleteButton->setFocus();
        QTest::keyClick(second->deleteButton, Qt::Key_Space);
        QCOMPARE(app.shownPanels().size(), 2);
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, static_cast<QWidget*>(currentPanel(app)->startEdit));
        // A second Space goes into the cell, not into another "del".
        QTest::keyClick(focus, Qt::Key_Space);
        QCOMPARE(app.shownPanels().size(), 2);
    }

    void theCurrentPanelStaysInView() {
        App app;
        QStringList files;
        for (int i = 0; i < 14; ++i) {
            files.append(xvidFile("many" + std::to_string(i) + ".avi", 5));
        }
        app.addFiles(files);
        QVERIFY(inView(app, currentPanel(app))); // the last one, far down
        for (int i = 0; i < 13; ++i) {
            QTest::keyClick(&app.main, Qt::Key_F5);
            QVERIFY2(inView(app, currentPanel(app)), qPrintable(QString::number(i)));
        }
    }

    void correctedValuesAreTold() {
        App app;
        app.addFiles({xvidFile("hundred.avi", 100)});
        SegmentPanel* panel = app.shownPanels()[0];
        type(panel->lengthEdit, QStringLiteral("500"));
        QCOMPARE(panel->lengthEdit->text(), QStringLiteral("100"));
        QVERIFY2(app.main.statusLine->toolTip().contains(QStringLiteral("\"500\" became 100")),
                 qPrintable(app.main.statusLine->toolTip()));
        type(panel->startEdit, QStringLiteral("abc-5"));
        QVERIFY(app.main.statusLine->toolTip().contains(QStringLiteral("\"abc-5\" became 0")));
        // A value taken as typed clears the note; nothing was a modal box.
        type(panel->startEdit, QStringLiteral("10"));
        QCOMPARE(app.main.statusLine->toolTip(), QString());
        QVERIFY(app.dialogs.messages.isEmpty());
    }

    void filesThatAreNotAviFilesAreTold() {
        App app;
        const QString text = tempFile("notes.avi", "this is not a RIFF file at all");
        const QString empty = tempFile("empty.avi", "");
        app.addFiles({text, empty});
        QCOMPARE(app.dialogs.messages.size(), 2);
        QVERIFY(app.dialogs.messages[0].startsWith(text + ": this is not an AVI file"));
        QVERIFY(app.dialogs.messages[1].startsWith(empty + ": this is not an AVI file"));
        QVERIFY(app.dialogs.messages[1].contains(QStringLiteral("empty")));
        QCOMPARE(app.shownPanels().size(), 2); // in the plan as before, without frames
    }

    void fieldsShowTheirWholeText() {
        vidloom::kit::AviBuilder big;
        big.width = 1920;
        big.height = 1080;
        big.microSecPerFrame = 33367;
        big.formatTag = 65535;
        big.channels = 6;
        big.sampleRate = 192000;
        big.bytesPerSec = 1152000;
        big.addFrames(2);
        App app;
        app.addFiles({tempFile("big.avi", big.build())});
        QCOMPARE(app.main.frameSizeEdit->text(), QStringLiteral("1920x1080"));
        for (QLineEdit* field :
             {app.main.fourCCEdit, app.main.codecEdit, app.main.frameSizeEdit,
              app.main.frameRateEdit, app.main.audioFormatEdit, app.main.audioBitRateEdit,
              app.main.sampleRateEdit, app.main.channelsEdit}) {
            QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) <= textRoomOf(field),
                     qPrintable(field->objectName() + ": " + field->text()));
        }
    }

    void windowsFitTheScreenAndEachOther() {
        App app;
        // Every control of the top rows stays reachable at the smallest size.
        app.main.resize(400, 300);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 app.main.generateButton, app.main.debugInfoBox, app.main.showLogButton}) {
            QVERIFY(app.main.rect().contains(control->geometry()));
        }
        app.main.resize(5000, 5000);
        app.main.move(3000, -200);
        app.main.openOnScreen();
        const QRect screen = app.main.screen()->availableGeometry();
        QVERIFY(screen.contains(app.main.frameGeometry()));
        QTest::keyClick(&app.main, Qt::Key_F7);
        QTest::keyClick(&app.main, Qt::Key_F8);
        QVERIFY(app.brand.isVisible() && app.log.isVisible());
        QVERIFY(!app.brand.frameGeometry().intersects(app.log.frameGeometry()));
        QVERIFY(screen.contains(app.brand.frameGeometry()));
        QVERIFY(screen.contains(app.log.frameGeometry()));
    }
};

VIDLOOM_UI_TEST(WindowFollowsPlanTest);

#include "WindowFollowsPlanTest.moc"

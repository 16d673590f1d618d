// The real dialogs behind the seam: how each is set up, and that cancelling
// gives what the commands expect. Each dialog is answered by a timer.

#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace vidloom::ui;

namespace {

// Runs check on the modal dialog once it is up, then closes it with reject.
template <typename Dialog> void whenShown(std::function<void(Dialog*)> check) {
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, [check] { whenShown<Dialog>(check); });
            return;
        }
        check(dialog);
        dialog->reject();
    });
}

} // namespace

class DialogSeamTest : public QObject {
    Q_OBJECT
private slots:
    void openDialogTakesSeveralAviFiles() {
        QtDialogSeam seam;
        bool seen = false;
        whenShown<QFileDialog>([&](QFileDialog* d) {
            seen = true;
            QCOMPARE(d->fileMode(), QFileDialog::ExistingFiles);
            QCOMPARE(d->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(d->nameFilters(), QStringList{"*.avi"});
        });
        QVERIFY(seam.openFiles(nullptr, QStringLiteral("*.avi"), QStringLiteral("test")).isEmpty());
        QVERIFY(seen);
    }

    void saveDialogStartsAtTheSuggestionAndLeavesReplacingToTheQuestion() {
        QtDialogSeam seam;
        bool seen = false;
        const QString folder = QDir::tempPath();
        whenShown<QFileDialog>([&](QFileDialog* d) {
            seen = true;
            QCOMPARE(QDir(d->directory()).canonicalPath(), QDir(folder).canonicalPath());
            QCOMPARE(QFileInfo(d->selectedFiles().value(0)).fileName(), QStringLiteral("base.avs"));
            QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(d->defaultSuffix(), QStringLiteral("avs"));
            QCOMPARE(d->nameFilters(), QStringList{"*.avs"});
            QVERIFY(d->testOption(QFileDialog::DontConfirmOverwrite));
        });
        QVERIFY(!seam.saveFile(nullptr, QStringLiteral("*.avs"), QStringLiteral("avs"),
                               QStringLiteral("test"), folder + QStringLiteral("/base.avs")));
        QVERIFY(seen);
        whenShown<QMessageBox>(
            [](QMessageBox* d) { QCOMPARE(d->text(), QStringLiteral("Replace?")); });
        QVERIFY(!seam.question(nullptr, QStringLiteral("Replace?")));
    }

    void cancelledNumberBoxGivesNothing() {
        QtDialogSeam seam;
        whenShown<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("SpliceRef of /v/intro.avi"));
            QCOMPARE(d->labelText(), QStringLiteral("Enter the reference position"));
            QCOMPARE(d->textValue(), QStringLiteral("0"));
            auto* edit = d->findChild<QLineEdit*>();
            QVERIFY(edit != nullptr);
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("x-1a2")); // letters are not taken
            QCOMPARE(edit->text(), QStringLiteral("-12"));
            d->setTextValue(QStringLiteral("12")); // typed, then cancelled
        });
        QCOMPARE(seam.askNumber(nullptr, QStringLiteral("SpliceRef of /v/intro.avi"),
                                QStringLiteral("Enter the reference position"),
                                QStringLiteral("0")),
                 std::nullopt);
    }

    void messageBoxShowsTheText() {
        QtDialogSeam seam;
        QString shown;
        whenShown<QMessageBox>([&](QMessageBox* d) { shown = d->text(); });
        seam.message(nullptr, QStringLiteral("You must have at least one video clip..."));
        QCOMPARE(shown, QStringLiteral("You must have at least one video clip..."));
    }

    void eachFileDialogStartsWhereItWasLastLeft() {
        QtDialogSeam seam;
        auto leaveIn = [&](const QString& folder, const QString& key) {
            QTimer::singleShot(0, [folder] {
                auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(d != nullptr);
                d->setDirectory(folder);
                d->selectFile(QStringLiteral("kept.avs"));
                static_cast<QDialog*>(d)->accept(); // public there
            });
            QVERIFY(
                seam.saveFile(nullptr, QStringLiteral("*.avs"), QStringLiteral("avs"), key, {}));
        };
        const QString one = QFileInfo(test::tempFile("folder-probe.txt", "")).absolutePath();
        const QString other = QDir(QDir::tempPath()).absolutePath();
        leaveIn(one, QStringLiteral("one"));
        leaveIn(other, QStringLiteral("other"));
        QString startedIn;
        whenShown<QFileDialog>([&](QFileDialog* d) { startedIn = d->directory().absolutePath(); });
        seam.openFiles(nullptr, QStringLiteral("*.avi"), QStringLiteral("one"));
        QCOMPARE(startedIn, one);
    }
};

VIDLOOM_UI_TEST(DialogSeamTest);

#include "DialogSeamTest.moc"

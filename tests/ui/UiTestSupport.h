#pragma once
// What the window tests share: dialogs answered in code, the three windows of
// the program built as main() builds them, and the AVI files they open.

#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"

#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace vidloom::ui {
class PanelCell;
}

namespace vidloom::ui::test {

// Answers each dialog with the next answer queued for its kind and records
// what was asked. A dialog with no answer queued counts as cancelled and is
// recorded in `unexpected`.
class ScriptedDialogs : public DialogSeam {
public:
    QStringList openFiles(QWidget* parent, const QString& filter,
                          const QString& folderKey) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix, const QString& folderKey,
                                    const QString& suggestedPath) override;
    bool question(QWidget* parent, const QString& text) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<QString> askNumber(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& defaultText) override;
    std::optional<QString> editLines(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& text) override;
    UnsavedAnswer askUnsavedChanges(QWidget* parent, const QString& text) override;

    std::deque<QStringList> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> inputAnswers; // nullopt: cancel
    std::deque<std::optional<QString>> editAnswers;  // nullopt: cancel
    std::deque<UnsavedAnswer> unsavedAnswers;        // none queued: Cancel
    std::deque<bool> questionAnswers;

    QStringList suggested; // the save dialog's suggested paths
    QStringList questions;
    // "open *.avi", "save *.avs avs", "input caption|prompt|default",
    // "unsaved text", "edit caption|text"
    QStringList asked;
    QStringList messages;
    QStringList errors;
    QStringList unexpected;
};

// The program as main() builds it, shown and active, with scripted dialogs.
struct App {
    App();
    ~App();
    TagWindow brand;
    LogWindow log;
    MainWindow main;
    ScriptedDialogs dialogs;

    // "Add File" of the given files through the dialog (F1).
    void addFiles(const QStringList& paths);
    // "Add Splice" of the given files through the dialog (F2).
    void addSplices(const QStringList& paths);
    // The panels shown, in plan order (by caption number).
    QList<class SegmentPanel*> shownPanels() const;
};

// Types text over a panel cell's contents and presses Enter.
void type(PanelCell* cell, const QString& text);

// A column of the brand window: its heading, then one entry per tag.
QStringList tagColumn(const TagWindow& window, int column);

// A small real file made by ffmpeg, from tests/fixtures.
QString fixture(const char* name);
// An XVID 320x240 file of `frames` frames with a key frame every `keyEvery`,
// written under the given name to this run's temporary folder.
QString xvidFile(const std::string& name, int frames, int keyEvery = 1);
// The full path of a file written to the temporary folder.
QString tempFile(const std::string& name, const std::string& bytes);

} // namespace vidloom::ui::test

namespace vidloom::ui::test {

// Each test file registers its QtTest class; main() runs them all in one
// QApplication on the offscreen platform.
using TestFactory = std::unique_ptr<QObject> (*)();
int registerTest(TestFactory factory);
int runAllTests(int argc, char** argv);

#define VIDLOOM_UI_TEST(Class)                                                                     \
    static const int Class##Registered = ::vidloom::ui::test::registerTest(                        \
        []() -> std::unique_ptr<QObject> { return std::make_unique<Class>(); })

} // namespace vidloom::ui::test

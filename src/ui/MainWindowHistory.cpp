// The main window's history: undo and redo of the plan, the title with the
// script's name and the unsaved-changes mark, and the question before a
// changed plan is closed.

#include "avi/Version.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/ScriptPathSettings.h"
#include "ui/TagWindow.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"
#include "ui/panels/PanelGrid.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>

#include <algorithm>
#include <vector>

namespace vidloom::ui {

namespace {

// The undo and redo keys belong to the plan in every text area of the
// program's three windows: the panel cells, the fields and the log would
// otherwise take them for an undo of their own text. Dialogs keep theirs.
// Likewise the snap keys (Ctrl+Left, Ctrl+Right) in the panels' cells, which
// would move the text cursor by a word: right after typing a start is when
// people snap.
class PlanKeysFirst : public QObject {
public:
    PlanKeysFirst(QWidget* owner, std::vector<QWidget*> windows, QWidget* panels)
        : QObject(owner), windows_(std::move(windows)), panels_(panels) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool planKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                             key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
        auto* widget = static_cast<QWidget*>(watched);
        const bool snapKey = key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Left) ||
                             key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Right);
        if (snapKey && panels_->isAncestorOf(widget)) {
            event->ignore();
            return true;
        }
        QWidget* window = widget->window();
        if (planKey && std::find(windows_.begin(), windows_.end(), window) != windows_.end()) {
            event->ignore(); // not taken by the text area: the shortcut runs
            return true;
        }
        return false;
    }

private:
    std::vector<QWidget*> windows_;
    QWidget* panels_;
};

} // namespace

void MainWindow::buildHistory() {
    auto action = [this](QAction*& slot, const char* name, const QList<QKeySequence>& keys,
                         void (MainWindow::*handler)()) {
        slot = new QAction(QString::fromLatin1(name), this);
        slot->setObjectName(QString::fromLatin1(name));
        slot->setShortcuts(keys);
        // As the other keys: from the tool windows too.
        slot->setShortcutContext(Qt::ApplicationShortcut);
        addAction(slot);
        connect(slot, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    action(undoAction, "undoAction", {QKeySequence(Qt::CTRL | Qt::Key_Z)},
           &MainWindow::undoCommand);
    action(redoAction, "redoAction",
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
           &MainWindow::redoCommand);
    QApplication::instance()->installEventFilter(new PlanKeysFirst(
        this, std::vector<QWidget*>{this, &brandWindow_, &logWindow_}, panelArea));
    showHistoryState();
}

void MainWindow::undoCommand() {
    stepThroughHistory(&PlanSession::undo);
}

void MainWindow::redoCommand() {
    stepThroughHistory(&PlanSession::redo);
}

void MainWindow::stepThroughHistory(bool (PlanSession::*step)()) {
    relist_ = true;
    guarded([this, step] { (session_.*step)(); });
    relist_ = false;
}

void MainWindow::showHistoryState() {
    // "[*]" is where Qt shows the modified mark.
    QString title = toQt(titleLine());
    const std::string& script = session_.scriptPath();
    if (script.empty()) {
        title += QStringLiteral("[*]");
    } else {
        title = QFileInfo(toQt(script)).fileName() + QStringLiteral("[*] - ") + title;
    }
    setWindowTitle(title);
    setWindowModified(session_.isModified());
    undoAction->setEnabled(session_.canUndo());
    redoAction->setEnabled(session_.canRedo());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (session_.isModified()) {
        const std::string& script = session_.scriptPath();
        const QString name =
            script.empty() ? QStringLiteral("The plan") : QFileInfo(toQt(script)).fileName();
        const UnsavedAnswer answer = dialogs_->askUnsavedChanges(
            this, name + QStringLiteral(" has changed since it was last written. Write it "
                                        "before closing?"));
        if (answer == UnsavedAnswer::Cancel ||
            (answer == UnsavedAnswer::Write && !writeBeforeClose())) {
            event->ignore();
            return;
        }
    }
    saveSettings();
    QWidget::closeEvent(event);
}

bool MainWindow::writeBeforeClose() {
    const std::string script = session_.scriptPath();
    if (script.empty()) {
        generateCommand(); // asks where, as "Generate AVS" does
        return !session_.isModified();
    }
    guarded([this, &script] {
        if (!readyToWrite()) {
            return;
        }
        writeScript(toQt(script));
    });
    return !session_.isModified();
}

} // namespace vidloom::ui

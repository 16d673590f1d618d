// The main window's history: undo and redo of the plan, the title with the
// script's name and the unsaved-changes mark, and the question before a
// changed plan is closed.

#include "avi/Version.h"
#include "plan/PlanActions.h"
#include "plan/PlanHistory.h"
#include "plan/SplicePlan.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/PlanView.h"
#include "ui/ScriptPathSettings.h"
#include "ui/TagWindow.h"
#include "ui/TextLines.h"
#include "ui/UiText.h"

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
class PlanKeysFirst : public QObject {
public:
    PlanKeysFirst(QWidget* owner, std::vector<QWidget*> windows)
        : QObject(owner), windows_(std::move(windows)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool planKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                             key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (planKey && std::find(windows_.begin(), windows_.end(), window) != windows_.end()) {
            event->ignore(); // not taken by the text area: the shortcut runs
            return true;
        }
        return false;
    }

private:
    std::vector<QWidget*> windows_;
};

} // namespace

void MainWindow::buildHistory() {
    history_ = std::make_unique<PlanHistory>(plan_, view_->seams());
    history_->onChange([this] { showHistoryState(); });

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
    QApplication::instance()->installEventFilter(
        new PlanKeysFirst(this, {this, &brandWindow_, &logWindow_}));
    showHistoryState();
}

void MainWindow::recorded(const std::function<void()>& command) {
    guarded([this, &command] { history_->record(command); });
}

void MainWindow::undoCommand() {
    stepThroughHistory(&PlanHistory::undo);
}

void MainWindow::redoCommand() {
    stepThroughHistory(&PlanHistory::redo);
}

void MainWindow::stepThroughHistory(bool (PlanHistory::*step)()) {
    guarded([this, step] {
        if (!((*history_).*step)()) {
            return;
        }
        if (!plan_) {
            // Back before the first file: nothing is listed any more.
            logWindow_.logText->clear();
            listedBlock_.clear();
        }
    });
    guarded([this] { afterPlanChange(); });
}

void MainWindow::showHistoryState() {
    // "[*]" is where Qt shows the modified mark.
    QString title = toQt(titleLine());
    const std::string& script = history_->scriptPath();
    if (script.empty()) {
        title += QStringLiteral("[*]");
    } else {
        title = QFileInfo(toQt(script)).fileName() + QStringLiteral("[*] - ") + title;
    }
    setWindowTitle(title);
    setWindowModified(history_->isModified());
    undoAction->setEnabled(history_->canUndo());
    redoAction->setEnabled(history_->canRedo());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (history_->isModified()) {
        const std::string& script = history_->scriptPath();
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
    const std::string script = history_->scriptPath();
    if (script.empty()) {
        generateCommand(); // asks where, as "Generate AVS" does
        return !history_->isModified();
    }
    guarded([this, &script] {
        if (!readyToWrite()) {
            return;
        }
        writeScript(toQt(script));
    });
    return !history_->isModified();
}

} // namespace vidloom::ui

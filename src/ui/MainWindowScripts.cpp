// "Open Script" and the files given to the window from outside (the command
// line, a drop): the plan a script describes replaces the plan as a whole.

#include "plan/PlanHistory.h"
#include "script/ScriptPlan.h"
#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/PlanView.h"
#include "ui/ScriptPathSettings.h"
#include "ui/UiText.h"

#include <QFileInfo>

namespace vidloom::ui {

namespace {
const QString kScriptFilter = QStringLiteral("*.avs");
} // namespace

bool MainWindow::isScriptPath(const QString& path) {
    return path.endsWith(QStringLiteral(".avs"), Qt::CaseInsensitive);
}

void MainWindow::openScriptCommand() {
    guarded([this] {
        if (const std::optional<QString> path = dialogs_->openScript(this, kScriptFilter)) {
            openScriptFile(*path);
        }
    });
    guarded([this] { afterPlanChange(); });
}

void MainWindow::openPaths(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) {
        if (!isScriptPath(path)) {
            files.append(path);
            continue;
        }
        if (!files.isEmpty()) {
            addFiles(files);
            files.clear();
        }
        guarded([this, &path] { openScriptFile(QFileInfo(path).absoluteFilePath()); });
        guarded([this] { afterPlanChange(); });
    }
    if (!files.isEmpty()) {
        addFiles(files);
    }
}

void MainWindow::openScriptFile(const QString& path) {
    view_->progress1.start(1);
    // One step of the history: undo gives the plan before back. Once open,
    // the plan is the script's, with no unsaved change.
    // Paths the script names for the machine where AviSynth runs come back
    // through the same mappings they were written with.
    const PathMap paths = scriptPaths->pathMap();
    history_->record([&] {
        vidloom::openScript(plan_, pathBytes(path), view_->seams(), headerCache_,
                            [&paths](const std::string& p) { return paths.fromScript(p); });
    });
    history_->markSaved(pathBytes(path));
    showBrandOfFirstSegment();
    view_->progress1.finish();
}

} // namespace vidloom::ui

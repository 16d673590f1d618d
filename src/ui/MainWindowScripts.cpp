// "Open Script" and the files given to the window from outside (the command
// line, a drop): the plan a script describes replaces the plan as a whole.

#include "ui/DialogSeam.h"
#include "ui/MainWindow.h"
#include "ui/ProgressView.h"
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
    }
    if (!files.isEmpty()) {
        addFiles(files);
    }
}

void MainWindow::openScriptFile(const QString& path) {
    progress1_->start(1);
    // One step of the history: undo gives the plan before back, and the
    // script it came from. Once open, the plan is the script's, with no
    // unsaved change. Paths the script names for the machine where AviSynth
    // runs come back through the same mappings they were written with.
    const PathMap paths = scriptPaths->pathMap();
    relist_ = true;
    try {
        session_.openScript(pathBytes(path),
                            [&paths](const std::string& p) { return paths.fromScript(p); });
    } catch (...) {
        relist_ = false; // a refused script leaves the log as it was
        throw;
    }
    relist_ = false;
    progress1_->finish();
}

} // namespace vidloom::ui

// The desktop program: the main window with its two tool windows (hidden at
// first, unless the last run left them open). Files named on the command line
// are opened as "Add File" opens them, and a script (.avs) as "Open Script"
// opens it.

#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidloom"));
    // Settings live under the program's own name (~/.config/Vidloom on Linux).
    QApplication::setOrganizationName(QStringLiteral("Vidloom"));

    vidloom::ui::TagWindow brandWindow;
    vidloom::ui::LogWindow logWindow;
    vidloom::ui::MainWindow mainWindow(brandWindow, logWindow);
    mainWindow.restoreSettings();
    mainWindow.openOnScreen();

    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        mainWindow.openPaths(files);
    }
    return QApplication::exec();
}

// The desktop program: the main window with its two tool windows (hidden at
// first). Files named on the command line are opened as "Add File" opens them.

#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidloom"));

    vidloom::ui::TagWindow brandWindow;
    vidloom::ui::LogWindow logWindow;
    vidloom::ui::MainWindow mainWindow(brandWindow, logWindow);
    mainWindow.show();

    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        mainWindow.addFiles(files);
    }
    return QApplication::exec();
}

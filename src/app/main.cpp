// The desktop program: the main window with its two tool windows (hidden at
// first). Files named on the command line are opened as "Add File" opens them.

#include "ui/FormBrandInfo.h"
#include "ui/FormLogInfo.h"
#include "ui/FormReelforge.h"
#include "ui/VersionSettings.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidloom"));

    vidloom::ui::TForm2 brandWindow;
    vidloom::ui::TForm3 logWindow;
    vidloom::ui::TForm1 mainWindow(brandWindow, logWindow);
    vidloom::ui::SetVersionTitle(mainWindow);
    mainWindow.show();

    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        mainWindow.addFiles(files);
    }
    return QApplication::exec();
}

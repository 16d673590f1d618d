// What the program remembers between runs, in the platform's usual place for
// settings: where the four windows were, whether the tool windows were open,
// the Debug Info box and whether the preview strip was shown. The file dialogs keep their own
// folders (DialogSeam).

#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QCheckBox>
#include <QSettings>

namespace vidloom::ui {

namespace {

const QString kGeometry = QStringLiteral("/geometry");
const QString kVisible = QStringLiteral("/visible");
const QString kDebugInfo = QStringLiteral("debugInfo");
const QString kPreview = QStringLiteral("previewStrip");

// True when the window got its place back (it is then not placed anew).
bool restoreWindow(const QSettings& settings, QWidget& window, bool toolWindow) {
    const QString key = window.objectName();
    bool restored = false;
    if (settings.contains(key + kGeometry)) {
        restored = window.restoreGeometry(settings.value(key + kGeometry).toByteArray());
    }
    if (toolWindow && settings.value(key + kVisible, false).toBool()) {
        window.show();
    }
    return restored;
}

void saveWindow(QSettings& settings, const QWidget& window) {
    settings.setValue(window.objectName() + kGeometry, window.saveGeometry());
    settings.setValue(window.objectName() + kVisible, window.isVisible());
}

} // namespace

void MainWindow::restoreSettings() {
    const QSettings settings;
    // The strip first: showing or hiding it resizes the window, whose
    // remembered place then wins.
    setPreviewShown(settings.value(kPreview, previewShown()).toBool());
    restoreWindow(settings, *this, false);
    brandPlaced_ = restoreWindow(settings, brandWindow_, true);
    logPlaced_ = restoreWindow(settings, logWindow_, true);
    viewerPlaced_ = restoreWindow(settings, *viewer_, true);
    debugInfoBox->setChecked(settings.value(kDebugInfo, debugInfoBox->isChecked()).toBool());
}

void MainWindow::saveSettings() const {
    QSettings settings;
    saveWindow(settings, *this);
    saveWindow(settings, brandWindow_);
    saveWindow(settings, logWindow_);
    saveWindow(settings, *viewer_);
    settings.setValue(kDebugInfo, debugInfoBox->isChecked());
    settings.setValue(kPreview, previewShown());
}

} // namespace vidloom::ui

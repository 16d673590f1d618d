#include "UiTestSupport.h"

#include "kit/AviBuilder.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <vector>

namespace vidloom::ui::test {

namespace {
std::vector<TestFactory>& factories() {
    static std::vector<TestFactory> all;
    return all;
}
} // namespace

int registerTest(TestFactory factory) {
    factories().push_back(factory);
    return int(factories().size());
}

int runAllTests(int argc, char** argv) {
    int failed = 0;
    for (TestFactory factory : factories()) {
        std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}

} // namespace vidloom::ui::test

int main(int argc, char** argv) {
    // The window tests never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidloom"));
    // Settings the tests write go to this run's own temporary folder, never to
    // the user's, nor to a folder that runs side by side would share.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("VidloomTest"));
    const QString settingsFolder = QString::fromStdString(vidloom::kit::tempDir());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder);
    QSettings().clear();
    return vidloom::ui::test::runAllTests(argc, argv) == 0 ? 0 : 1;
}

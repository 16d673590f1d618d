#include "UiTestSupport.h"

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
    // Settings the tests write go to a test folder, never to the user's own,
    // and every run starts without any.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("VidloomTest"));
    QSettings().clear();
    return vidloom::ui::test::runAllTests(argc, argv) == 0 ? 0 : 1;
}

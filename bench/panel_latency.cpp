// How the window answers on a long plan: the main window, as the program
// builds it, on the offscreen platform, opens a script of N segments (made on
// demand: one small AVI file with a key frame every 25 frames, cut into N
// pieces, some starting on a key frame and some not) and then takes a few
// edits and undos of the first segment's start. Each edit is timed from the
// Enter in the start cell to the widgets drawn (the key handled and the
// events it posted processed); each undo the same from Ctrl+Z. Prints the
// open time, the memory held (resident set after opening, and its peak) and
// the median and slowest edit and undo.
//
//   panel_latency [SEGMENTS [ROUNDS]]      (defaults: 1000 and 5)

#include "kit/AviBuilder.h"
#include "ui/DialogSeam.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vidloom::ui;

// Nothing in this run should ask anything; a dialog that opens anyway says so.
class NoDialogs : public DialogSeam {
public:
    QStringList openFiles(QWidget*, const QString&, const QString&) override {
        return said("open");
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&, const QString&,
                                    const QString&) override {
        said("save");
        return std::nullopt;
    }
    bool question(QWidget*, const QString& text) override {
        said(text);
        return false;
    }
    void message(QWidget*, const QString& text) override { said(text); }
    void error(QWidget*, const QString& text) override { said(text); }
    std::optional<QString> askNumber(QWidget*, const QString&, const QString& text,
                                     const QString&) override {
        said(text);
        return std::nullopt;
    }
    std::optional<QString> editLines(QWidget*, const QString&, const QString& text,
                                     const QString&) override {
        said(text);
        return std::nullopt;
    }
    UnsavedAnswer askUnsavedChanges(QWidget*, const QString&) override {
        return UnsavedAnswer::Discard;
    }

private:
    static QStringList said(const QString& text) {
        std::fprintf(stderr, "unexpected dialog: %s\n", qPrintable(text));
        return {};
    }
};

const std::string kDataDir = std::string(VIDLOOM_BENCH_DATA) + "/panels";
constexpr int kFileFrames = 400;
constexpr int kKeyEvery = 25;

std::string makeInputs(int segments) {
    std::filesystem::create_directories(kDataDir);
    const std::string avi = kDataDir + "/base.avi";
    if (!std::filesystem::exists(avi)) {
        vidloom::kit::AviBuilder builder;
        builder.addFrames(kFileFrames, kKeyEvery);
        std::ofstream(avi, std::ios::binary) << builder.build();
    }
    const std::string script = kDataDir + "/plan-" + std::to_string(segments) + ".avs";
    if (!std::filesystem::exists(script)) {
        std::ofstream out(script, std::ios::binary);
        for (int i = 0; i < segments; ++i) {
            // Every third piece starts on a key frame.
            const int start = (i % 3 == 0) ? (i * kKeyEvery) % 350 : (i * 13) % 350;
            const std::string piece = "aviSource(\"" + avi + "\").trim(" + std::to_string(start) +
                                      ",-" + std::to_string(20 + i % 30) + ")";
            out << (i == 0 ? "src = " + piece : "src = alignedsplice( src , " + piece + " )")
                << "\r\n";
        }
        out << "return src\r\n";
    }
    return script;
}

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
        }
    }
    return -1;
}

// The shown panel of the plan's first segment, after scrolling to the top.
SegmentPanel* firstPanel(MainWindow& window) {
    if (auto* area = window.findChild<QScrollArea*>(QStringLiteral("panelArea"))) {
        area->verticalScrollBar()->setValue(0);
        area->horizontalScrollBar()->setValue(0);
    }
    QCoreApplication::processEvents();
    for (SegmentPanel* panel : window.findChildren<SegmentPanel*>()) {
        if (panel->isVisible() && panel->title() == QStringLiteral("Clip #0")) {
            return panel;
        }
    }
    return nullptr;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall time, and the GUI thread's own CPU time (what a machine shared with
// other work still shows faithfully).
struct Timing {
    double wall;
    double cpu;
};

Timing timed(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    const double cpu = threadCpuMs();
    work();
    QCoreApplication::processEvents();
    return {double(clock.nsecsElapsed()) / 1e6, threadCpuMs() - cpu};
}

struct Spread {
    double median;
    double worst;
    double cpuMedian;
};

Spread spread(const std::vector<Timing>& timings) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Timing& t : timings) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    const int segments = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (segments < 1 || rounds < 1) {
        std::fprintf(stderr, "usage: panel_latency [SEGMENTS [ROUNDS]]\n");
        return 2;
    }
    const std::string script = makeInputs(segments);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TagWindow tags;
    LogWindow log;
    MainWindow window(tags, log);
    NoDialogs dialogs;
    window.setDialogs(&dialogs);
    window.show();
    QCoreApplication::processEvents();
    const long rssBefore = statusKb("VmRSS");

    const Timing open = timed([&] { window.openPaths({QString::fromStdString(script)}); });
    const long rssOpen = statusKb("VmRSS");
    const int widgets = int(window.findChildren<SegmentPanel*>().size());

    std::vector<Timing> edits;
    std::vector<Timing> undos;
    for (int round = 0; round < rounds; ++round) {
        SegmentPanel* panel = firstPanel(window);
        if (panel == nullptr) {
            std::fprintf(stderr, "no panel of the first segment is shown\n");
            return 1;
        }
        PanelCell* start = panel->startEdit;
        start->setFocus(Qt::OtherFocusReason);
        const QString before = start->text();
        start->setText(QString::number(before.toInt() + 1 + round % 3));
        edits.push_back(timed([&] { QTest::keyClick(start, Qt::Key_Return); }));
        if (start->text() == before) {
            std::fprintf(stderr, "the edit did not reach the panel\n");
            return 1;
        }
        // The cell that had the keyboard keeps it; the undo key goes to it.
        QWidget* focus = QApplication::focusWidget();
        undos.push_back(timed([&] {
            QTest::keyClick(focus != nullptr ? focus : &window, Qt::Key_Z, Qt::ControlModifier);
        }));
        panel = firstPanel(window);
        if (panel == nullptr || panel->startEdit->text() != before) {
            std::fprintf(stderr, "the undo did not reach the panel\n");
            return 1;
        }
    }
    const Spread edit = spread(edits);
    const Spread undo = spread(undos);
    std::printf("%d segments: open %.0f ms (%.0f ms CPU); memory %ld MB after opening (%ld MB "
                "before, peak %ld MB); %d panel widgets; edit %.1f ms median (%.1f ms CPU), %.1f "
                "ms slowest; undo %.1f ms median (%.1f ms CPU), %.1f ms slowest (%d rounds)\n",
                segments, open.wall, open.cpu, rssOpen / 1024, rssBefore / 1024,
                statusKb("VmHWM") / 1024, widgets, edit.median, edit.cpuMedian, edit.worst,
                undo.median, undo.cpuMedian, undo.worst, rounds);
    return 0;
}

// How the window answers while the preview strip fills: the main window, as
// the program builds it, on the offscreen platform, with a plan of two pieces
// of the long preview file. A timer on the GUI thread ticks every 2 ms; the
// longest gap between ticks while the strip's pictures are decoded is how
// long input would wait. For contrast, the time one of those frames takes to
// decode on the GUI thread, which is what the window would freeze for if it
// decoded there. Prints one line per round and a summary.

#include "plan/SplicePlan.h"
#include "preview/FrameReader.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"
#include "ui/panels/PanelGrid.h"
#include "ui/viewer/PreviewStrip.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: strip_latency LONG.avi\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString file = QString::fromLocal8Bit(argv[1]);
    using namespace vidloom::ui;
    TagWindow tags;
    LogWindow log;
    MainWindow window(tags, log);
    window.show();
    window.addFiles({file, file}); // two whole-file segments; the second is current
    const vidloom::SplicePlan& plan = *window.session().plan();

    // The same ticks with nothing decoded: what this machine's load alone gives.
    const auto idleGap = [&app](int ms) {
        QElapsedTimer clock;
        clock.start();
        double lastTick = 0;
        double maxGap = 0;
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = clock.nsecsElapsed() / 1e6;
            maxGap = std::max(maxGap, now - lastTick);
            lastTick = now;
        });
        tick.start();
        while (clock.elapsed() < ms) {
            app.processEvents(QEventLoop::AllEvents, 1);
        }
        return maxGap;
    };
    while (window.previewStrip->pending() > 0) {
        app.processEvents(QEventLoop::AllEvents, 1);
    }
    const double idle = idleGap(1000);
    std::printf("idle: longest GUI gap %.2f ms in 1 s with nothing decoded\n", idle);

    // Starts far from key frames, so each picture needs up to 250 frames decoded.
    const std::vector<int> starts = {7624, 3100, 11240, 5555, 9999};
    double worstGap = 0;
    double worstFill = 0;
    for (size_t round = 0; round < starts.size(); ++round) {
        QElapsedTimer clock;
        clock.start();
        double lastTick = 0;
        double maxGap = 0;
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = clock.nsecsElapsed() / 1e6;
            maxGap = std::max(maxGap, now - lastTick);
            lastTick = now;
        });
        tick.start();
        const std::string start = std::to_string(starts[round]);
        const vidloom::SegmentId second = plan.segments.at(1).id();
        QElapsedTimer edit;
        edit.start();
        // As the panel's Enter asks for it.
        emit window.panelArea->editRequested(second, {}, {start, "15000", ""});
        const double editMs = edit.nsecsElapsed() / 1e6;
        while (window.previewStrip->pending() > 0 || clock.elapsed() < 5) {
            app.processEvents(QEventLoop::AllEvents, 1);
        }
        const double fill = clock.nsecsElapsed() / 1e6;
        tick.stop();
        std::printf("round %zu: start %s, %zu pictures, edit returned in %.2f ms, strip filled "
                    "in %.0f ms, longest GUI gap %.2f ms\n",
                    round, start.c_str(), window.previewStrip->tiles().size(), editMs, fill,
                    maxGap);
        worstGap = std::max(worstGap, maxGap);
        worstFill = std::max(worstFill, fill);
    }
    vidloom::preview::FrameReader reader;
    QElapsedTimer once;
    once.start();
    reader.frame(file.toStdString(), 7470 + 248,
                 {PreviewStrip::kPictureWidth, PreviewStrip::kPictureHeight});
    std::printf("summary: longest GUI gap %.2f ms while strips filled (up to %.0f ms each), "
                "%.2f ms idle; one such frame decoded on the GUI thread would block it %.0f ms\n",
                worstGap, worstFill, std::max(idle, idleGap(1000)), once.nsecsElapsed() / 1e6);
    return 0;
}

// The Viewer as the program builds it, on the offscreen platform:
//  1. stepping forward one frame at a time through a file with B-frames: the
//     packets decoded per step and the frames asked of the worker per step;
//  2. random jumps in a two-hour file: the time until the frame is shown,
//     against `ffmpeg -ss` (an accurate seek) decoding the same frame;
//  3. playing each of the other files for 10 s: frames shown per second, the
//     longest gap of a 2 ms timer on the GUI thread (as strip_latency) and
//     the most bytes the frame cache held against its bound.
// Prints one line per measurement.

#include "plan/SplicePlan.h"
#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/TagWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

using namespace vidloom;
using namespace vidloom::ui;

namespace {

struct Program {
    TagWindow tags;
    LogWindow log;
    MainWindow window{tags, log};
    explicit Program(const QString& file) {
        window.show();
        window.addFiles({file});
        window.viewerAction->trigger();
    }
    ViewerWindow& viewer() { return window.viewerWindow(); }
};

void waitShown(QApplication& app, ViewerWindow& viewer) {
    while (!viewer.upToDate()) {
        app.processEvents(QEventLoop::AllEvents, 1);
    }
}

void stepping(QApplication& app, const QString& file) {
    Program p(file);
    ViewerWindow& v = p.viewer();
    v.moveTo(100);
    waitShown(app, v);
    const std::string name = file.toStdString();
    const preview::FileDecoder* decoder = v.decoder().reader()->decoderOf(name);
    int64_t maxPackets = 0;
    int64_t maxWanted = 0;
    const int steps = 500;
    const int64_t packetsBefore = decoder->packetsDecoded();
    for (int i = 0; i < steps; ++i) {
        const int64_t packets = decoder->packetsDecoded();
        const int64_t wanted = v.decoder().wantedDecodes();
        v.moveTo(v.position() + 1);
        waitShown(app, v);
        maxPackets = std::max(maxPackets, decoder->packetsDecoded() - packets);
        maxWanted = std::max(maxWanted, v.decoder().wantedDecodes() - wanted);
    }
    std::printf("stepping %s: %d steps from frame 100 over key frames, %.3f packets decoded "
                "per step (at most %lld), at most %lld frame asked of the worker per step, %lld "
                "seeks\n",
                file.toUtf8().constData(), steps,
                double(decoder->packetsDecoded() - packetsBefore) / steps, (long long)maxPackets,
                (long long)maxWanted, (long long)decoder->seeks());
}

double ffmpegSeekMs(const QString& file, int32_t frame, double fps) {
    QElapsedTimer clock;
    clock.start();
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner", "-loglevel", "error", "-ss", QString::number(frame / fps, 'f', 3),
                  "-i", file, "-frames:v", "1", "-pix_fmt", "rgb24", "-f", "rawvideo", "-y",
                  "/dev/null"});
    ffmpeg.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e6;
}

void jumps(QApplication& app, const QString& file) {
    Program p(file);
    ViewerWindow& v = p.viewer();
    waitShown(app, v);
    std::mt19937 rng(20);
    const int32_t total = v.positions().total();
    double ours = 0;
    double theirs = 0;
    double worstRatio = 0;
    const int rounds = 12;
    for (int i = 0; i < rounds; ++i) {
        const int32_t frame = int32_t(rng() % uint32_t(total));
        QElapsedTimer clock;
        clock.start();
        v.moveTo(frame);
        waitShown(app, v);
        const double ms = clock.nsecsElapsed() / 1e6;
        const double ff = ffmpegSeekMs(file, frame, 25.0);
        std::printf("jump to %d: shown in %.1f ms; ffmpeg -ss %.1f ms\n", frame, ms, ff);
        ours += ms;
        theirs += ff;
        worstRatio = std::max(worstRatio, ms / ff);
    }
    // What ffmpeg's start alone costs (frame 0, no seek).
    std::printf("ffmpeg on frame 0 (its start-up and opening the file): %.1f ms\n",
                ffmpegSeekMs(file, 0, 25.0));
    std::printf("jumps in %s (%d frames): mean %.1f ms shown, ffmpeg -ss mean %.1f ms "
                "(ratio %.2f, worst %.2f)\n",
                file.toUtf8().constData(), total, ours / rounds, theirs / rounds, ours / theirs,
                worstRatio);
}

void playing(QApplication& app, const QString& file) {
    Program p(file);
    ViewerWindow& v = p.viewer();
    waitShown(app, v);
    const preview::FrameCache& cache = v.decoder().reader()->cache();
    QElapsedTimer clock;
    clock.start();
    double lastTick = 0;
    double maxGap = 0;
    size_t maxBytes = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        maxGap = std::max(maxGap, now - lastTick);
        lastTick = now;
        maxBytes = std::max(maxBytes, cache.bytes());
    });
    tick.start();
    const int64_t shownBefore = v.framesShown();
    v.play();
    while (clock.elapsed() < 10000 && v.playing()) {
        app.processEvents(QEventLoop::AllEvents, 1);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    v.pause();
    std::printf("playing %s: %.2f frames shown per second over %.1f s (file 25), longest GUI "
                "gap %.1f ms, frame cache at most %.1f MB of %.1f MB\n",
                file.toUtf8().constData(), double(v.framesShown() - shownBefore) / seconds, seconds,
                maxGap, maxBytes / 1e6, cache.maxBytes() / 1e6);
}

// Right held down: auto-repeated presses every `everyMs` for 5 s. A press
// that comes while the frame asked for is not shown yet is passed over, so
// the pictures come as fast as they decode and at most one waits.
void holdingRight(QApplication& app, const QString& file, int everyMs) {
    Program p(file);
    ViewerWindow& v = p.viewer();
    v.moveTo(10);
    waitShown(app, v);
    const int64_t shownBefore = v.framesShown();
    const int32_t from = v.position();
    int presses = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer repeat;
    repeat.setTimerType(Qt::PreciseTimer);
    repeat.setInterval(everyMs);
    QObject::connect(&repeat, &QTimer::timeout, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&v, &press);
        ++presses;
    });
    repeat.start();
    while (clock.elapsed() < 5000) {
        app.processEvents(QEventLoop::AllEvents, 1);
    }
    repeat.stop();
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("holding Right on %s, a press every %d ms: %d presses, cursor moved %d frames, "
                "%.1f pictures shown per second\n",
                file.toUtf8().constData(), everyMs, presses, v.position() - from,
                double(v.framesShown() - shownBefore) / seconds);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: viewer_play SD.avi HD.avi TWOHOUR.avi\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString sd = QString::fromLocal8Bit(argv[1]);
    const QString hd = QString::fromLocal8Bit(argv[2]);
    const QString longFile = QString::fromLocal8Bit(argv[3]);
    stepping(app, sd);
    jumps(app, longFile);
    playing(app, sd);
    playing(app, hd);
    holdingRight(app, hd, 30);
    holdingRight(app, hd, 5);
    return 0;
}

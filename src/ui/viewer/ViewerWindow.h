#pragma once
// The Viewer: frame P of the assembled plan (the frame AviSynth would serve
// from the script), decoded off the GUI thread, captioned with where it
// comes from, over a timeline of the whole plan. With the Viewer focused the
// keys move the cursor (Left/Right a frame, Shift a key frame, Up/Down a
// join, Home/End, Space plays) and set marks from the shown frame (I, O, S,
// Delete, Ctrl+F2), which the main window turns into commands of the plan.
//
// The Viewer follows the main window: showPlan after every change keeps the
// cursor on the same frame of the same file where a segment still shows
// it, and a newly current segment puts the cursor on its first frame; the
// cursor entering another segment says so (segmentEntered), so the main
// window makes it current.

#include "present/ViewerModel.h"
#include "ui/ToolWindow.h"
#include "ui/viewer/ViewerDecoder.h"

#include <QElapsedTimer>

#include <map>
#include <memory>
#include <optional>

class QLabel;
class QTimer;

namespace vidloom {
class AviHeaderCache;
}

namespace vidloom::ui {

class PictureView;
class TimelineWidget;

class ViewerWindow : public ToolWindow {
    Q_OBJECT
public:
    ViewerWindow();
    ~ViewerWindow() override;

    // The plan after a change, and its current segment. cache gives the key
    // frames and dropped frames of the files (the window's own cache).
    void showPlan(PlanPositions positions, Timeline timeline, SegmentId current,
                  AviHeaderCache* cache);
    void moveTo(int32_t position);
    int32_t position() const { return cursor_; }
    // The frame under the cursor; nullopt for an empty plan.
    std::optional<PlanFrame> frameAtCursor() const;
    const PlanPositions& positions() const { return positions_; }

    void play();
    void pause();
    bool playing() const;
    // Whether the picture shown is the frame under the cursor.
    bool upToDate() const { return shownIsCursor_; }
    QString caption() const;

    ViewerDecoder& decoder() { return *decoder_; }
    PictureView* picture = nullptr;
    QLabel* captionLine = nullptr;
    TimelineWidget* timeline = nullptr;
    // Pictures shown since the start (benchmarks).
    int64_t framesShown() const { return framesShown_; }

signals:
    void segmentEntered(vidloom::SegmentId segment);
    void markStart();
    void markEnd();
    void splitHere();
    void removeHere();
    void spliceHere();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool moveKey(QKeyEvent* event);
    // moved: the cursor moved (not the plan under it).
    void showCursorFrame(bool moved);
    void onDecoded(const FileFrame& frame, std::shared_ptr<const preview::Picture> picture,
                   const QString& error);
    void tick();
    void readAhead();
    const FileFrames& framesOf(const AviHeader* header);
    std::optional<int32_t> keyStep(bool forward);
    std::optional<int32_t> joinStep(bool forward) const;

    PlanPositions positions_;
    SegmentId lastCurrent_ = kNoSegment; // the window's current segment as last seen
    int32_t cursor_ = 0;
    // What the cursor showed before a change: the frame it follows.
    std::optional<PlanFrame> followed_;
    AviHeaderCache* cache_ = nullptr;
    std::map<const AviHeader*, std::shared_ptr<const FileFrames>> files_;
    std::unique_ptr<ViewerDecoder> decoder_;
    bool shownIsCursor_ = false;
    QTimer* playTimer_ = nullptr;
    QElapsedTimer playClock_;
    int64_t nextDueNs_ = 0; // when the playing cursor's next frame is due
    int64_t framesShown_ = 0;
};

} // namespace vidloom::ui

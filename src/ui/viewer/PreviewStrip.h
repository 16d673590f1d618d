#pragma once
// The preview strip under the panels: for the current segment, the two frames
// that meet at each of its joins, and for a segment that does not start on a
// key frame the key frames around its start, each captioned with file and
// frame number. The plan computes which frames (present/JoinFrames); the strip
// only shows them.
//
// Decoding never runs on the GUI thread: a frame the reader's cache does not
// hold shows a placeholder and is asked of a worker thread, whose answer
// comes back by a queued call. Each new set of frames starts a new
// generation; work and answers of an older generation are dropped, so a
// panel that is no longer current never shows late.

#include "present/JoinFrames.h"

#include <QFrame>

#include <atomic>
#include <memory>
#include <vector>

class QLabel;
class QHBoxLayout;
class QThreadPool;

namespace vidloom::preview {
class FrameReader;
struct Picture;
} // namespace vidloom::preview

namespace vidloom::ui {

class PreviewStrip : public QFrame {
    Q_OBJECT
public:
    static constexpr int kHeight = 176; // the strip's height in the window
    // The box each picture is scaled into: three pairs fit the designed
    // window's width side by side.
    static constexpr int kPictureWidth = 96;
    static constexpr int kPictureHeight = 72;

    explicit PreviewStrip(QWidget* parent);
    ~PreviewStrip() override;

    // Shows these frames; the same frames as shown already change nothing.
    void showFrames(const JoinFrames& frames);
    const JoinFrames& frames() const { return frames_; }

    // What each picture shows, in strip order (for tests and the eye):
    // its caption, and whether the picture is there, pending, or a reason.
    struct TileView {
        QString caption;
        QString text;  // placeholder or reason; empty once the picture is shown
        QSize picture; // the picture's size, empty until it is shown
    };
    std::vector<TileView> tiles() const;
    // Pictures asked of the worker and not yet shown.
    int pending() const { return pending_; }

private:
    struct Tile {
        JoinFrame frame;
        QLabel* picture = nullptr;
        QLabel* caption = nullptr;
    };
    void rebuild();
    void request(int tile);
    void deliver(uint64_t generation, int tile, std::shared_ptr<const preview::Picture> picture,
                 QString error);
    void showPicture(Tile& tile, const preview::Picture& picture);

    JoinFrames frames_;
    std::vector<Tile> tiles_;
    QHBoxLayout* row_ = nullptr; // in a scroll area, for windows narrower than the row
    QLabel* message_ = nullptr;
    std::shared_ptr<preview::FrameReader> reader_; // null: previews are not built in
    std::shared_ptr<std::atomic<uint64_t>> generation_;
    std::unique_ptr<QThreadPool> worker_;
    int pending_ = 0;
};

} // namespace vidloom::ui

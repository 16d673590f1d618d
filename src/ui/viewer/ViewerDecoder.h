#pragma once
// The Viewer's decoding, off the GUI thread: one worker thread and one slot
// for the frame wanted next. Asking for a frame replaces whatever was wanted
// before and not started yet, so holding a key never queues more than one
// frame; when nothing is wanted the worker decodes the frames a playing
// Viewer will show next (read ahead), which land in the reader's cache. The
// GUI thread never waits: a frame in the cache is given at once, any other
// comes back later through decoded().

#include "preview/Picture.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vidloom::preview {
class FrameReader;
}

namespace vidloom::ui {

struct FileFrame {
    std::string file;
    int32_t frame = 0;
    friend bool operator==(const FileFrame&, const FileFrame&) = default;
};

class ViewerDecoder : public QObject {
    Q_OBJECT
public:
    // reader null: previews are not built in, nothing is ever decoded.
    explicit ViewerDecoder(std::shared_ptr<preview::FrameReader> reader, QObject* parent = nullptr);
    ~ViewerDecoder() override;

    bool available() const { return reader_ != nullptr; }
    // The frame if the cache holds it (never waits); else null, and the
    // frame becomes the one wanted next.
    std::shared_ptr<const preview::Picture> want(const FileFrame& frame);
    // The frames to decode, in order, whenever nothing is wanted; replaces
    // the earlier list.
    void readAhead(std::deque<FileFrame> frames);
    // Whether a wanted frame is being decoded or waits to be.
    bool busy() const;

    const preview::FrameReader* reader() const { return reader_.get(); }
    // Frames decoded for want() since the start (benchmarks).
    int64_t wantedDecodes() const;

signals:
    // A wanted frame, decoded (picture) or not (error names the file and why).
    void decoded(vidloom::ui::FileFrame frame,
                 std::shared_ptr<const vidloom::preview::Picture> picture, QString error);

private:
    void run();

    std::shared_ptr<preview::FrameReader> reader_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<FileFrame> wanted_;
    bool working_ = false; // decoding a wanted frame
    std::deque<FileFrame> ahead_;
    bool stop_ = false;
    int64_t wantedDecodes_ = 0;
    std::thread worker_;
};

} // namespace vidloom::ui

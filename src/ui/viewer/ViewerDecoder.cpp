#include "ui/viewer/ViewerDecoder.h"

#include "preview/FrameReader.h"
#include "ui/UiText.h"

namespace vidloom::ui {

ViewerDecoder::ViewerDecoder(std::shared_ptr<preview::FrameReader> reader, QObject* parent)
    : QObject(parent), reader_(std::move(reader)) {
    if (reader_) {
        worker_ = std::thread([this] { run(); });
    }
}

ViewerDecoder::~ViewerDecoder() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        worker_.join(); // a decode under way finishes first
    }
}

std::shared_ptr<const preview::Picture> ViewerDecoder::want(const FileFrame& frame) {
    if (!reader_) {
        return nullptr;
    }
    if (auto picture = reader_->cached(frame.file, frame.frame)) {
        std::lock_guard lock(mutex_);
        wanted_.reset(); // what was wanted before is not any more
        return picture;
    }
    {
        std::lock_guard lock(mutex_);
        wanted_ = frame;
    }
    wake_.notify_all();
    return nullptr;
}

void ViewerDecoder::readAhead(std::deque<FileFrame> frames) {
    {
        std::lock_guard lock(mutex_);
        ahead_ = std::move(frames);
    }
    wake_.notify_all();
}

bool ViewerDecoder::busy() const {
    std::lock_guard lock(mutex_);
    return working_ || wanted_.has_value();
}

int64_t ViewerDecoder::wantedDecodes() const {
    std::lock_guard lock(mutex_);
    return wantedDecodes_;
}

void ViewerDecoder::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || wanted_ || !ahead_.empty(); });
        if (stop_) {
            return;
        }
        const bool isWanted = wanted_.has_value();
        const FileFrame frame = isWanted ? *wanted_ : ahead_.front();
        if (isWanted) {
            wanted_.reset();
            working_ = true;
            ++wantedDecodes_;
        } else {
            ahead_.pop_front();
        }
        lock.unlock();
        std::shared_ptr<const preview::Picture> picture;
        QString error;
        try {
            picture = reader_->frame(frame.file, frame.frame);
        } catch (const std::exception& e) {
            error = toQt(e.what());
        }
        if (isWanted) {
            // Queued to the GUI thread; dropped by Qt if this object is gone.
            QMetaObject::invokeMethod(
                this, [this, frame, picture, error] { emit decoded(frame, picture, error); },
                Qt::QueuedConnection);
        }
        lock.lock();
        working_ = false;
    }
}

} // namespace vidloom::ui

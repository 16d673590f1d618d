#include "ui/viewer/ViewerWindow.h"

#include "plan/Preflight.h"
#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "ui/viewer/PictureView.h"
#include "ui/viewer/TimelineWidget.h"
#include "ui/UiText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vidloom::ui {

namespace {

// Frames decoded ahead of a playing cursor: enough to ride over a key frame
// that takes longer, few enough that the cache keeps them until shown.
constexpr int kReadAhead = 8;
// How often a playing Viewer looks whether its next frame is due.
constexpr int kPlayTickMs = 4;

std::shared_ptr<preview::FrameReader> viewerReader() {
    if (!preview::previewsBuiltIn()) {
        return nullptr;
    }
    // One decoder thread: the worker decodes while the GUI thread draws, one
    // core each on a two-core machine.
    return std::make_shared<preview::FrameReader>(preview::FrameReader::kDefaultCacheBytes,
                                                  preview::FrameReader::kDefaultOpenFiles, 1);
}

// How long a frame of the file stays up when playing.
int64_t periodNs(const AviHeader& header) {
    const FrameRate rate = frameRateOf(header);
    if (rate.numerator <= 0 || rate.denominator <= 0) {
        return 40000000; // a header without a rate plays at 25 frames a second
    }
    return rate.denominator * 1000000000 / rate.numerator;
}

} // namespace

ViewerWindow::ViewerWindow()
    : ToolWindow(QStringLiteral("viewerWindow"), QStringLiteral("Viewer"),
                 QRect(240, 120, 640, 480)),
      decoder_(std::make_unique<ViewerDecoder>(viewerReader())) {
    setFocusPolicy(Qt::StrongFocus);
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    picture = new PictureView(content);
    captionLine = new QLabel(content);
    captionLine->setObjectName(QStringLiteral("viewerCaption"));
    captionLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    captionLine->setFocusPolicy(Qt::NoFocus);
    timeline = new TimelineWidget(content);
    column->addWidget(picture, 1);
    column->addWidget(captionLine);
    column->addWidget(timeline);
    setContent(content, QRect(8, 8, 624, 464));

    playTimer_ = new QTimer(this);
    playTimer_->setTimerType(Qt::PreciseTimer);
    playTimer_->setInterval(kPlayTickMs);
    connect(playTimer_, &QTimer::timeout, this, &ViewerWindow::tick);
    connect(decoder_.get(), &ViewerDecoder::decoded, this, &ViewerWindow::onDecoded);
    connect(timeline, &TimelineWidget::cursorMoved, this, [this](int32_t p) {
        pause();
        moveTo(p);
    });
    picture->showText(decoder_->available() ? QStringLiteral("No plan")
                                            : QStringLiteral("Previews are not built in"));
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::showPlan(PlanPositions positions, Timeline model, SegmentId current,
                            AviHeaderCache* cache) {
    cache_ = cache;
    const bool changed = !positions.sameSegments(positions_);
    positions_ = std::move(positions);
    const int32_t last = std::max(positions_.total() - 1, 0);
    std::optional<int32_t> followed;
    if (followed_) {
        followed = positions_.follow(followed_->segment, followed_->header, followed_->frame);
    }
    cursor_ = followed ? *followed : std::clamp(cursor_, 0, last);
    lastCurrent_ = current;
    // A panel selected in the window (the plan as it was) puts the cursor on
    // its segment's first frame; after a change of the plan the cursor stays
    // with the frame it showed.
    const int32_t i = positions_.indexOf(current);
    const std::optional<PlanFrame> here = positions_.at(cursor_);
    if (!changed && i >= 0 && positions_.segment(i).length > 0 &&
        (!here || here->segment != current)) {
        cursor_ = positions_.firstOf(i);
    }
    timeline->setTimeline(model);
    showCursorFrame(false);
}

std::optional<PlanFrame> ViewerWindow::frameAtCursor() const {
    return positions_.at(cursor_);
}

void ViewerWindow::moveTo(int32_t position) {
    if (positions_.total() <= 0) {
        return;
    }
    cursor_ = std::clamp(position, 0, positions_.total() - 1);
    showCursorFrame(true);
}

const FileFrames& ViewerWindow::framesOf(const AviHeader* header) {
    auto it = files_.find(header);
    if (it == files_.end()) {
        it = files_.emplace(header, FileFrames::read(*header, *cache_)).first;
    }
    return *it->second;
}

void ViewerWindow::showCursorFrame(bool moved) {
    const std::optional<PlanFrame> f = frameAtCursor();
    followed_ = f;
    if (!f) {
        captionLine->clear();
        timeline->setCursor(0, {});
        picture->showPicture(nullptr);
        picture->showText(decoder_->available() ? QStringLiteral("No frames in the plan")
                                                : QStringLiteral("Previews are not built in"));
        shownIsCursor_ = true;
        pause();
        return;
    }
    const FileFrames& frames = framesOf(f->header);
    captionLine->setText(toQt(viewerCaption(*f, positions_, frames)));
    timeline->setCursor(cursor_, keyFrameTicks(*f, frames));
    // Only the cursor's own move makes its segment current: a change of the
    // plan under a cursor that stays leaves the window's choice.
    if (moved && f->segment != lastCurrent_) {
        lastCurrent_ = f->segment;
        emit segmentEntered(f->segment);
    }
    if (!decoder_->available()) {
        shownIsCursor_ = true;
        return;
    }
    if (auto shown = decoder_->want({f->fileName(), f->frame})) {
        picture->showPicture(std::move(shown));
        shownIsCursor_ = true;
        ++framesShown_;
    } else {
        shownIsCursor_ = false; // the last picture stays until this one comes
    }
}

void ViewerWindow::onDecoded(const FileFrame& frame, std::shared_ptr<const preview::Picture> shown,
                             const QString& error) {
    const std::optional<PlanFrame> f = frameAtCursor();
    if (!f || f->fileName() != frame.file || f->frame != frame.frame) {
        return; // the cursor moved on; its own frame is wanted already
    }
    shownIsCursor_ = true;
    if (shown) {
        picture->showPicture(std::move(shown));
        ++framesShown_;
    } else {
        picture->showText(error);
        pause();
    }
}

void ViewerWindow::play() {
    if (positions_.total() <= 0 || !decoder_->available() || playing()) {
        return;
    }
    if (cursor_ >= positions_.total() - 1) {
        moveTo(0); // playing from the end starts again
    }
    playClock_.start();
    nextDueNs_ = periodNs(*frameAtCursor()->header);
    playTimer_->start();
    readAhead();
}

void ViewerWindow::pause() {
    if (playTimer_->isActive()) {
        playTimer_->stop();
        decoder_->readAhead({});
    }
}

bool ViewerWindow::playing() const {
    return playTimer_->isActive();
}

void ViewerWindow::tick() {
    const std::optional<PlanFrame> f = frameAtCursor();
    if (!f || cursor_ >= positions_.total() - 1) {
        pause();
        return;
    }
    if (!shownIsCursor_) {
        return; // still decoding the frame due before
    }
    const int64_t now = playClock_.nsecsElapsed();
    if (now < nextDueNs_) {
        return;
    }
    // Each frame stays up for its own file's frame time. A frame that came
    // late moves the clock: the rest keep their pace instead of rushing.
    const int64_t period = periodNs(*f->header);
    nextDueNs_ = now - nextDueNs_ > period ? now + period : nextDueNs_ + period;
    moveTo(cursor_ + 1);
    readAhead();
}

void ViewerWindow::readAhead() {
    std::deque<FileFrame> ahead;
    for (int32_t p = cursor_ + 1; p <= cursor_ + kReadAhead; ++p) {
        if (const std::optional<PlanFrame> f = positions_.at(p)) {
            ahead.push_back({f->fileName(), f->frame});
        }
    }
    decoder_->readAhead(std::move(ahead));
}

std::optional<int32_t> ViewerWindow::keyStep(bool forward) {
    const std::optional<PlanFrame> f = frameAtCursor();
    if (!f) {
        return std::nullopt;
    }
    // Within the file under the cursor first; past its segment's end, the
    // neighbouring segments' key frames in plan order.
    for (int32_t i = f->segmentIndex; i >= 0 && i < positions_.segmentCount();
         i += forward ? 1 : -1) {
        const SegmentState& s = positions_.segment(i);
        if (s.length <= 0) {
            continue;
        }
        const FileFrames& frames = framesOf(s.header);
        const int32_t first = positions_.firstOf(i);
        const int32_t from =
            i == f->segmentIndex ? f->frame : (forward ? s.start - 1 : s.start + s.length);
        const std::optional<int32_t> k = forward ? frames.keyAfter(from) : frames.keyBefore(from);
        if (k && *k >= s.start && *k < s.start + s.length) {
            return first + (*k - s.start);
        }
    }
    return std::nullopt;
}

std::optional<int32_t> ViewerWindow::joinStep(bool forward) const {
    const std::vector<int32_t>& joins = positions_.joins();
    if (forward) {
        const auto it = std::upper_bound(joins.begin(), joins.end(), cursor_);
        return it == joins.end() ? std::nullopt : std::optional<int32_t>(*it);
    }
    const auto it = std::lower_bound(joins.begin(), joins.end(), cursor_);
    return it == joins.begin() ? std::optional<int32_t>(0) : std::optional<int32_t>(*(it - 1));
}

bool ViewerWindow::moveKey(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    std::optional<int32_t> target;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool forward = event->key() == Qt::Key_Right;
        if (shift) {
            target = keyStep(forward);
        } else if (event->isAutoRepeat() && !shownIsCursor_) {
            // A held key shows frames as fast as they decode: it waits for
            // the frame it asked for instead of queueing more.
            return true;
        } else {
            target = cursor_ + (forward ? 1 : -1);
        }
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        target = joinStep(event->key() == Qt::Key_Down);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = positions_.total() - 1;
        break;
    default:
        return false;
    }
    pause();
    if (target) {
        moveTo(*target);
    }
    return true;
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    if (moveKey(event)) {
        event->accept();
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Space:
        playing() ? pause() : play();
        break;
    case Qt::Key_I:
        emit markStart();
        break;
    case Qt::Key_O:
        emit markEnd();
        break;
    case Qt::Key_S:
        emit splitHere();
        break;
    case Qt::Key_Delete:
        emit removeHere();
        break;
    case Qt::Key_F2:
        if (!ctrl) {
            ToolWindow::keyPressEvent(event);
            return;
        }
        emit spliceHere();
        break;
    default:
        ToolWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ViewerWindow::hideEvent(QHideEvent* event) {
    pause();
    ToolWindow::hideEvent(event);
}

QString ViewerWindow::caption() const {
    return captionLine->text();
}

} // namespace vidloom::ui

#include "ui/viewer/TimelineWidget.h"

#include "ui/UiText.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vidloom::ui {

namespace {

// Light colours, so the black names and the marks stay readable on them.
const QColor kFileColors[] = {{150, 190, 240}, {160, 220, 160}, {240, 200, 140}, {210, 170, 230},
                              {240, 170, 170}, {170, 220, 220}, {220, 220, 150}, {200, 200, 200}};
constexpr int kBandTop = 6;
constexpr int kBandHeight = 30;
constexpr int kTickHeight = 8;
// Zoomed in fully, a frame is this wide.
constexpr int kPixelsPerFrame = 12;

QColor colorOf(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

// The panels' colours for the same marks.
const QColor kRefused = colorOf(kJoinRefusedColor);
const QColor kMayFail = colorOf(kJoinMayFailColor);
const QColor kNotKeyFrame = colorOf(kNotKeyFrameColor);

} // namespace

TimelineWidget::TimelineWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("timeline"));
    setMinimumHeight(sizeHint().height());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus); // the keys belong to the Viewer
}

void TimelineWidget::setTimeline(const Timeline& timeline) {
    if (timeline == timeline_) {
        return;
    }
    timeline_ = timeline;
    if (viewCount_ > 0) {
        viewCount_ = std::min(viewCount_, timeline_.total);
        keepCursorInView();
    }
    update();
}

void TimelineWidget::setCursor(int32_t position, std::vector<int32_t> keyTicks) {
    cursor_ = position;
    keyTicks_ = std::move(keyTicks);
    keepCursorInView();
    update();
}

int32_t TimelineWidget::minimumCount() const {
    return std::max(1, width() / kPixelsPerFrame);
}

void TimelineWidget::zoom(int steps) {
    const int32_t total = timeline_.total;
    if (total <= 0) {
        return;
    }
    const int32_t count = viewCount_ > 0 ? viewCount_ : total;
    double next = count * std::pow(0.8, steps);
    next = std::clamp(next, double(std::min(minimumCount(), total)), double(total));
    const int32_t newCount = int32_t(std::lround(next));
    if (newCount >= total) {
        viewFirst_ = 0;
        viewCount_ = 0;
    } else {
        // The cursor keeps its place on the screen.
        const double share =
            count > 0 ? double(cursor_ - (viewCount_ > 0 ? viewFirst_ : 0)) / count : 0.5;
        viewCount_ = newCount;
        viewFirst_ = int32_t(std::lround(cursor_ - share * newCount));
        viewFirst_ = std::clamp(viewFirst_, 0, total - newCount);
    }
    update();
}

void TimelineWidget::keepCursorInView() {
    if (viewCount_ <= 0) {
        viewFirst_ = 0;
        return;
    }
    if (cursor_ < viewFirst_) {
        viewFirst_ = cursor_;
    } else if (cursor_ >= viewFirst_ + viewCount_) {
        viewFirst_ = cursor_ - viewCount_ + 1;
    }
    viewFirst_ = std::clamp(viewFirst_, 0, std::max(timeline_.total - viewCount_, 0));
}

double TimelineWidget::xOf(double position) const {
    const int32_t count = viewCount_ > 0 ? viewCount_ : std::max(timeline_.total, 1);
    return (position - viewFirst_) * double(width()) / count;
}

int32_t TimelineWidget::positionAt(int x) const {
    if (timeline_.total <= 0) {
        return 0;
    }
    const int32_t count = viewCount_ > 0 ? viewCount_ : timeline_.total;
    const int64_t p = viewFirst_ + int64_t(std::floor(double(x) * count / std::max(width(), 1)));
    return int32_t(std::clamp<int64_t>(p, 0, timeline_.total - 1));
}

void TimelineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(250, 250, 250));
    const int bottom = kBandTop + kBandHeight;
    for (const TimelineBand& band : timeline_.bands) {
        const double left = xOf(band.first);
        const double right = xOf(double(band.first) + band.length);
        if (right < 0 || left > width()) {
            continue;
        }
        const QRectF area(left, kBandTop, right - left, kBandHeight);
        painter.fillRect(area, kFileColors[size_t(band.fileIndex) % std::size(kFileColors)]);
        painter.setPen(QColor(90, 90, 90));
        painter.drawRect(area);
        const QString name = toQt(band.name);
        const QRectF text = area.adjusted(4, 0, -4, 0).intersected(QRectF(rect()));
        if (painter.fontMetrics().horizontalAdvance(name) <= text.width()) {
            painter.setPen(Qt::black);
            painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, name);
        }
        if (!band.startsOnKeyFrame) {
            painter.fillRect(QRectF(left, kBandTop - 4, 5, kBandHeight + 8), kNotKeyFrame);
        }
    }
    for (const TimelineJoin& join : timeline_.joins) {
        if (join.mark == JoinMark::None) {
            continue;
        }
        const double x = xOf(join.position);
        painter.fillRect(QRectF(x - 2, 0, 4, bottom + 4),
                         join.mark == JoinMark::Refused ? kRefused : kMayFail);
    }
    painter.setPen(QColor(30, 30, 30));
    for (const int32_t tick : keyTicks_) {
        const double x = xOf(tick);
        if (x >= 0 && x <= width()) {
            painter.drawLine(QPointF(x, bottom + 2), QPointF(x, bottom + 2 + kTickHeight));
        }
    }
    if (timeline_.total > 0) {
        const double x = xOf(cursor_);
        const double w = std::max(2.0, xOf(cursor_ + 1) - x);
        painter.fillRect(QRectF(x, 0, w, height()), QColor(0, 0, 0, 90));
        painter.fillRect(QRectF(x, 0, 2, height()), Qt::black);
    }
}

void TimelineWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && timeline_.total > 0) {
        emit cursorMoved(positionAt(int(event->position().x())));
    }
}

void TimelineWidget::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && timeline_.total > 0) {
        emit cursorMoved(positionAt(int(event->position().x())));
    }
}

void TimelineWidget::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        zoom(steps);
    }
    event->accept();
}

} // namespace vidloom::ui

#pragma once
// The Viewer's timeline: the plan to scale, one band per segment with frames
// (a colour per file, the file's name where it fits), the joins (purple
// where AviSynth will refuse them, amber where it may), a red mark at each
// segment that does not start on a key frame, the key frames of the segment
// under the cursor as ticks, and the cursor. A click or drag moves the
// cursor; the wheel zooms around the cursor, down to single frames.

#include "present/ViewerModel.h"

#include <QWidget>

#include <vector>

namespace vidloom::ui {

class TimelineWidget : public QWidget {
    Q_OBJECT
public:
    explicit TimelineWidget(QWidget* parent = nullptr);

    void setTimeline(const Timeline& timeline);
    void setCursor(int32_t position, std::vector<int32_t> keyTicks);
    const Timeline& timeline() const { return timeline_; }
    int32_t cursorPosition() const { return cursor_; }
    // The positions shown, first and count (the whole plan unless zoomed).
    int32_t viewFirst() const { return viewFirst_; }
    int32_t viewCount() const { return viewCount_; }
    // Zooms in (steps > 0) or out around the cursor.
    void zoom(int steps);

    // The x of a plan position's left edge, and the position under an x.
    double xOf(double position) const;
    int32_t positionAt(int x) const;

    QSize sizeHint() const override { return {400, 56}; }

signals:
    void cursorMoved(int32_t position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void keepCursorInView();
    int32_t minimumCount() const;

    Timeline timeline_;
    int32_t cursor_ = 0;
    std::vector<int32_t> keyTicks_;
    int32_t viewFirst_ = 0;
    int32_t viewCount_ = 0; // 0: the whole plan
};

} // namespace vidloom::ui

#pragma once
// The Viewer's picture: the decoded frame scaled to fit the widget with its
// aspect ratio kept, on black; or a line of text where there is no picture.

#include "preview/Picture.h"

#include <QWidget>

#include <memory>

namespace vidloom::ui {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    void showPicture(std::shared_ptr<const preview::Picture> picture);
    void showText(const QString& text); // the picture stays, dimmed, under it
    std::shared_ptr<const preview::Picture> picture() const { return picture_; }
    const QString& text() const { return text_; }
    // Where the picture is drawn (tests and the eye).
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<const preview::Picture> picture_;
    QString text_;
};

} // namespace vidloom::ui

#include "ui/viewer/PictureView.h"

#include <QImage>
#include <QPainter>

namespace vidloom::ui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("viewerPicture"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(160, 90);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::showPicture(std::shared_ptr<const preview::Picture> picture) {
    picture_ = std::move(picture);
    text_.clear();
    update();
}

void PictureView::showText(const QString& text) {
    text_ = text;
    update();
}

QRect PictureView::pictureRect() const {
    if (!picture_ || picture_->width <= 0 || picture_->height <= 0) {
        return {};
    }
    QSize size(picture_->width, picture_->height);
    size.scale(this->size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_ && !picture_->rgb.empty()) {
        // The picture's own bytes, not copied: it lives as long as picture_.
        const QImage image(picture_->rgb.data(), picture_->width, picture_->height,
                           picture_->width * 3, QImage::Format_RGB888);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pictureRect(), image);
    }
    if (!text_.isEmpty()) {
        if (picture_) {
            painter.fillRect(rect(), QColor(0, 0, 0, 140));
        }
        painter.setPen(QColor(230, 230, 230));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text_);
    }
}

} // namespace vidloom::ui

#include "ui/PanelScrollArea.h"

#include "ui/UiText.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>

namespace vidloom::ui {

PanelScrollArea::PanelScrollArea(QWidget* parent) : QScrollArea(parent), contents_(new QWidget) {
    contents_->setObjectName(QStringLiteral("ScrollBox1Contents"));
    QPalette palette = contents_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    contents_->setPalette(palette);
    contents_->setAutoFillBackground(true);
    setWidgetResizable(false);
    setWidget(contents_);
    contents_->installEventFilter(this);
}

void PanelScrollArea::fitContents() {
    QRect bounds;
    for (QObject* child : contents_->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isHidden()) {
            bounds |= widget->geometry();
        }
    }
    const QSize visible = viewport()->size();
    const int width = std::max(visible.width(), bounds.isNull() ? 0 : bounds.right() + 1);
    const int height = std::max(visible.height(), bounds.isNull() ? 0 : bounds.bottom() + 1);
    if (contents_->size() != QSize(width, height)) {
        contents_->resize(width, height);
    }
}

bool PanelScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == contents_) {
        if (event->type() == QEvent::ChildAdded) {
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        } else if (event->type() == QEvent::ChildRemoved) {
            fitContents();
        }
        // The scroll area follows the size of its contents through its own filter.
        return QScrollArea::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        fitContents();
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

void PanelScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fitContents();
}

} // namespace vidloom::ui

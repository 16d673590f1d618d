#include "ui/panels/PanelGrid.h"

#include "ui/panels/PanelCell.h"
#include "ui/panels/SegmentPanel.h"

#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>

namespace vidloom::ui {

namespace {

// A panel's size and its slot's pitch; the first row starts below the
// property fields and the move buttons.
constexpr int64_t kPanelWidth = 244;
constexpr int64_t kPanelHeight = 155;
constexpr int64_t kPitchX = 260;
constexpr int64_t kPitchY = 160;
constexpr int64_t kLeft = 15;
constexpr int64_t kTop = 92;
constexpr int64_t kColumns = 4;
// Room kept around a panel brought into view, as QScrollArea keeps it
// around a child widget by default.
constexpr int kViewMargin = 8;

// A widget can be no taller than this; the slots of a plan of more than
// about 400,000 segments would run past it, and the last ones share the
// bottom of the area.
constexpr int64_t kReach = QWIDGETSIZE_MAX - kPanelHeight;

int clampedTop(int64_t top) {
    return int(std::min(top, kReach));
}

// What QScrollArea::ensureWidgetVisible does for a rectangle of the
// contents: the least scrolling that shows it with its margins.
int scrolledTo(int value, int viewSize, int near, int far, int size) {
    if (size > viewSize) {
        return near + size / 2 - viewSize / 2;
    }
    if (far > value + viewSize - 1) {
        return far - viewSize + 1;
    }
    if (near < value) {
        return near;
    }
    return value;
}

EditCells cellsShown(const PanelState& state) {
    return {state.internalStart, state.internalEnd, state.internalLength};
}

} // namespace

PanelGrid::PanelGrid(QWidget* parent) : QScrollArea(parent), contents_(new QWidget) {
    contents_->setObjectName(QStringLiteral("ScrollBox1Contents"));
    QPalette palette = contents_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    contents_->setPalette(palette);
    contents_->setAutoFillBackground(true);
    setWidgetResizable(false);
    setWidget(contents_);
    contents_->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { bindPanels(false); });
}

PanelGrid::~PanelGrid() {
    // The panels go with the contents after this grid's own part: none of
    // their late focus events may reach it.
    for (SegmentPanel* panel : pool_) {
        panel->detach();
        disconnect(panel, nullptr, this, nullptr);
    }
}

void PanelGrid::setSource(const PanelSource* source) {
    source_ = source;
}

void PanelGrid::refresh() {
    bindPanels(true);
}

QRect PanelGrid::slotRect(int32_t index) {
    const int64_t i = std::max<int64_t>(index, 0);
    return QRect(int(i % kColumns * kPitchX + kLeft), clampedTop(i / kColumns * kPitchY + kTop),
                 int(kPanelWidth), int(kPanelHeight));
}

QRect PanelGrid::slotsBounds(int32_t count) {
    if (count <= 0) {
        return {};
    }
    const QRect last = slotRect(count - 1);
    const int columns = int(std::min<int64_t>(count, kColumns));
    return QRect(QPoint(int(kLeft), int(kTop)),
                 QPoint(int(kLeft + (columns - 1) * kPitchX + kPanelWidth - 1), last.bottom()));
}

std::pair<int32_t, int32_t> PanelGrid::slotsInView(int32_t count) const {
    const int64_t top = verticalScrollBar()->value();
    const int64_t bottom = top + viewport()->height(); // one past the last line in view
    // Rows whose panel reaches below the top of the view and starts above its bottom.
    const int64_t firstRow =
        top < kTop + kPanelHeight ? 0 : (top - kTop - kPanelHeight) / kPitchY + 1;
    const int64_t endRow = bottom <= kTop ? 0 : (bottom - kTop + kPitchY - 1) / kPitchY;
    const int64_t first = std::min<int64_t>(firstRow * kColumns, count);
    const int64_t last = std::min<int64_t>(endRow * kColumns, count);
    return {int32_t(first), int32_t(std::max(first, last))};
}

SegmentPanel* PanelGrid::focusedPanel() const {
    const QWidget* focus = QApplication::focusWidget();
    for (const auto& [index, panel] : byIndex_) {
        if (focus != nullptr && (panel == focus || panel->isAncestorOf(focus))) {
            return panel;
        }
    }
    return nullptr;
}

void PanelGrid::bindPanels(bool planChanged) {
    if (binding_) {
        return;
    }
    binding_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{binding_};

    if (planChanged) {
        count_ = source_ != nullptr ? source_->panelCount() : 0;
        fitContents();
    }
    const auto [first, last] = slotsInView(count_);
    // The panel with the keyboard keeps its widget wherever its segment went.
    int32_t focusIndex = -1;
    if (SegmentPanel* focused = focusedPanel(); focused != nullptr && source_ != nullptr) {
        focusIndex =
            planChanged ? source_->indexOf(focused->segmentId()) : focused->shownState().index;
    }
    auto wanted = [&, first = first, last = last](int32_t index) {
        return (index >= first && index < last) || (index >= 0 && index == focusIndex);
    };
    std::vector<int32_t> indexes;
    for (int32_t i = first; i < last; ++i) {
        indexes.push_back(i);
    }
    if (focusIndex >= 0 && (focusIndex < first || focusIndex >= last)) {
        indexes.push_back(focusIndex);
    }

    if (!planChanged) {
        for (auto it = byIndex_.begin(); it != byIndex_.end();) {
            if (wanted(it->first)) {
                ++it;
            } else {
                release(it->second);
                it = byIndex_.erase(it);
            }
        }
        for (int32_t i : indexes) {
            if (byIndex_.count(i) == 0) {
                SegmentPanel* panel = takeFreePanel();
                draw(panel, source_->panelAt(i), i);
                byIndex_[i] = panel;
            }
        }
        return;
    }

    std::vector<PanelState> states;
    states.reserve(indexes.size());
    for (int32_t i : indexes) {
        states.push_back(source_->panelAt(i));
    }
    // A segment still shown keeps its widget (and with it the focus and the
    // typing in its cells); the widgets of the others go to the new slots.
    std::unordered_map<SegmentId, SegmentPanel*> byId;
    for (const auto& [index, panel] : byIndex_) {
        byId.emplace(panel->segmentId(), panel);
    }
    byIndex_.clear();
    std::vector<int32_t> unbound;
    for (size_t k = 0; k < states.size(); ++k) {
        const auto it = byId.find(states[k].id);
        if (it == byId.end()) {
            unbound.push_back(indexes[k]);
            continue;
        }
        byIndex_[indexes[k]] = it->second;
        byId.erase(it);
    }
    for (const auto& [id, panel] : byId) {
        release(panel);
    }
    for (int32_t index : unbound) {
        byIndex_[index] = takeFreePanel();
    }
    for (size_t k = 0; k < states.size(); ++k) {
        draw(byIndex_.at(indexes[k]), states[k], indexes[k]);
    }
    applied_ = kNoSegment;
}

void PanelGrid::draw(SegmentPanel* panel, const PanelState& state, int32_t index) {
    const QPoint at = slotRect(index).topLeft();
    // The panel whose cells were just applied shows what the plan made of
    // them, even when that is what it showed before ("x" typed as a start).
    if (panel->segmentId() == state.id && state.id != applied_ && panel->shownState() == state &&
        !panel->isHidden() && panel->pos() == at) {
        return;
    }
    panel->apply(state);
    panel->move(at);
}

SegmentPanel* PanelGrid::takeFreePanel() {
    if (!free_.empty()) {
        SegmentPanel* panel = free_.back();
        free_.pop_back();
        return panel;
    }
    auto* panel = new SegmentPanel(contents_, kNoSegment);
    panel->setObjectName(QStringLiteral("segmentPanel"));
    pool_.push_back(panel);
    connect(panel, &SegmentPanel::applyRequested, this, [this](SegmentPanel* p) { apply(p); });
    connect(panel, &SegmentPanel::deleteRequested, this,
            [this](SegmentPanel* p) { emit deleteRequested(p->segmentId()); });
    connect(panel, &SegmentPanel::snapRequested, this,
            [this](SegmentPanel* p, bool toNext) { emit snapRequested(p->segmentId(), toNext); });
    return panel;
}

void PanelGrid::apply(SegmentPanel* p) {
    const EditCells typed{p->startEdit->text().toStdString(), p->endEdit->text().toStdString(),
                          p->lengthEdit->text().toStdString()};
    applied_ = p->segmentId();
    emit editRequested(p->segmentId(), cellsShown(p->shownState()), typed);
}

void PanelGrid::applyFocusedPanel() {
    SegmentPanel* p = focusedPanel();
    if (p == nullptr) {
        return;
    }
    const EditCells shown = cellsShown(p->shownState());
    if (p->startEdit->text().toStdString() != shown.start ||
        p->endEdit->text().toStdString() != shown.end ||
        p->lengthEdit->text().toStdString() != shown.length) {
        apply(p);
    }
}

void PanelGrid::redrawApplied() {
    if (applied_ != kNoSegment) {
        bindPanels(true);
    }
}

void PanelGrid::release(SegmentPanel* panel) {
    // Detached first: a cell that loses the focus as the panel hides must
    // not apply its texts to the segment it showed.
    panel->detach();
    panel->hide();
    free_.push_back(panel);
}

void PanelGrid::ensurePanelVisible(SegmentId segment) {
    const int32_t index = source_ != nullptr ? source_->indexOf(segment) : -1;
    if (index < 0) {
        return;
    }
    const QRect slot = slotRect(index);
    const QRect visible(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                        viewport()->width(), viewport()->height());
    if (visible.contains(slot)) {
        return;
    }
    const QRect room = slot.adjusted(-kViewMargin, -kViewMargin, kViewMargin, kViewMargin);
    horizontalScrollBar()->setValue(
        scrolledTo(visible.x(), visible.width(), room.left(), room.right(), room.width()));
    verticalScrollBar()->setValue(
        scrolledTo(visible.y(), visible.height(), room.top(), room.bottom(), room.height()));
}

SegmentPanel* PanelGrid::panelOf(SegmentId segment) const {
    for (const auto& [index, panel] : byIndex_) {
        if (panel->segmentId() == segment && segment != kNoSegment) {
            return panel;
        }
    }
    return nullptr;
}

std::vector<SegmentPanel*> PanelGrid::shownPanels() const {
    std::vector<std::pair<int32_t, SegmentPanel*>> sorted(byIndex_.begin(), byIndex_.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SegmentPanel*> panels;
    for (const auto& [index, panel] : sorted) {
        panels.push_back(panel);
    }
    return panels;
}

void PanelGrid::fitContents() {
    QRect bounds = slotsBounds(count_);
    for (QObject* child : contents_->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isHidden() &&
            qobject_cast<SegmentPanel*>(widget) == nullptr) {
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

bool PanelGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == contents_) {
        if (event->type() == QEvent::ChildAdded) {
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        } else if (event->type() == QEvent::ChildRemoved) {
            fitContents();
        }
        // The scroll area follows the size of its contents through its own filter.
        return QScrollArea::eventFilter(watched, event);
    }
    // The panels lie in their slots, which the area spans anyway.
    if (qobject_cast<SegmentPanel*>(watched) != nullptr) {
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

void PanelGrid::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fitContents();
    bindPanels(false);
}

} // namespace vidloom::ui

#include "ui/viewer/PreviewStrip.h"

#include "preview/FileDecoder.h"
#include "preview/FrameReader.h"
#include "ui/UiText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <tuple>

namespace vidloom::ui {

namespace {

const preview::Size kBox{PreviewStrip::kPictureWidth, PreviewStrip::kPictureHeight};

QLabel* pictureLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFixedSize(PreviewStrip::kPictureWidth, PreviewStrip::kPictureHeight);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(40, 40, 40));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    label->setPalette(palette);
    return label;
}

} // namespace

PreviewStrip::PreviewStrip(QWidget* parent)
    : QFrame(parent), generation_(std::make_shared<std::atomic<uint64_t>>(0)),
      worker_(std::make_unique<QThreadPool>()) {
    setObjectName(QStringLiteral("previewStrip"));
    setFrameShape(QFrame::StyledPanel);
    // One worker: the frames of one strip come from few files, and one
    // decode at a time keeps the machine's other core for the window.
    worker_->setMaxThreadCount(1);
    if (preview::previewsBuiltIn()) {
        // One decoder thread beside the GUI thread on a two-core machine.
        reader_ = std::make_shared<preview::FrameReader>(
            preview::FrameReader::kDefaultCacheBytes, preview::FrameReader::kDefaultOpenFiles, 1);
    }
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 2, 4, 2);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("previewMessage"));
    outer->addWidget(message_);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    auto* rowWidget = new QWidget(scroll);
    rowWidget->setAutoFillBackground(false);
    row_ = new QHBoxLayout(rowWidget);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(6);
    scroll->setWidget(rowWidget);
    scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(scroll);
    rebuild();
}

PreviewStrip::~PreviewStrip() {
    // Work not started is dropped; a decode under way finishes, and its
    // answer, queued to a strip that is gone, is never delivered.
    generation_->fetch_add(1);
    worker_->clear();
    worker_->waitForDone();
}

void PreviewStrip::showFrames(const JoinFrames& frames) {
    if (frames == frames_) {
        return;
    }
    frames_ = frames;
    generation_->fetch_add(1);
    worker_->clear();
    pending_ = 0;
    rebuild();
}

void PreviewStrip::rebuild() {
    while (QLayoutItem* item = row_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    tiles_.clear();
    if (!reader_) {
        message_->setText(QStringLiteral("Previews are not built in"));
        message_->show();
        return;
    }
    if (frames_.pairs.empty()) {
        message_->setText(QStringLiteral("No current segment"));
        message_->show();
        return;
    }
    message_->hide();
    for (const JoinPair& pair : frames_.pairs) {
        auto* group = new QGroupBox(toQt(pair.title));
        auto* pictures = new QHBoxLayout(group);
        pictures->setContentsMargins(4, 2, 4, 2);
        for (const JoinFrame* frame : {&pair.left, &pair.right}) {
            auto* column = new QVBoxLayout;
            Tile tile;
            tile.frame = *frame;
            tile.picture = pictureLabel(group);
            tile.caption = new QLabel(toQt(frame->caption), group);
            tile.caption->setFixedWidth(kPictureWidth);
            tile.caption->setWordWrap(true);
            tile.caption->setToolTip(toQt(frame->fileName));
            column->addWidget(tile.picture);
            column->addWidget(tile.caption);
            column->addStretch();
            pictures->addLayout(column);
            tiles_.push_back(tile);
        }
        row_->addWidget(group);
    }
    row_->addStretch();
    // Asked for file by file in frame order: the worker's decoder then goes
    // on through a group of frames instead of seeking back into it.
    std::vector<int> order(tiles_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        const JoinFrame& x = tiles_[size_t(a)].frame;
        const JoinFrame& y = tiles_[size_t(b)].frame;
        return std::tie(x.fileName, x.frame) < std::tie(y.fileName, y.frame);
    });
    for (int i : order) {
        request(i);
    }
}

void PreviewStrip::request(int index) {
    Tile& tile = tiles_[size_t(index)];
    if (!tile.frame.has()) {
        tile.picture->setAutoFillBackground(false); // no frame: an empty place
        tile.picture->setFrameShape(QFrame::Box);
        return;
    }
    // A frame decoded before shows at once, without the worker.
    if (auto picture = reader_->cached(tile.frame.fileName, tile.frame.frame, kBox)) {
        showPicture(tile, *picture);
        return;
    }
    tile.picture->setText(QStringLiteral("decoding\u2026"));
    ++pending_;
    const uint64_t generation = generation_->load();
    worker_->start(
        [this, index, generation, frame = tile.frame, reader = reader_, current = generation_] {
            if (current->load() != generation) {
                return; // the strip moved on before this was started
            }
            std::shared_ptr<const preview::Picture> picture;
            QString error;
            try {
                picture = reader->frame(frame.fileName, frame.frame, kBox);
            } catch (const std::exception& e) {
                error = toQt(e.what());
            }
            QMetaObject::invokeMethod(
                this,
                [this, generation, index, picture, error] {
                    deliver(generation, index, picture, error);
                },
                Qt::QueuedConnection);
        });
}

void PreviewStrip::deliver(uint64_t generation, int index,
                           std::shared_ptr<const preview::Picture> picture, QString error) {
    if (generation != generation_->load() || index >= int(tiles_.size())) {
        return; // an answer for frames no longer shown
    }
    --pending_;
    Tile& tile = tiles_[size_t(index)];
    if (picture) {
        showPicture(tile, *picture);
    } else {
        tile.picture->setText(error);
        tile.picture->setToolTip(error);
    }
}

void PreviewStrip::showPicture(Tile& tile, const preview::Picture& picture) {
    const QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3,
                       QImage::Format_RGB888);
    tile.picture->setText(QString());
    tile.picture->setPixmap(QPixmap::fromImage(image)); // copies the pixels
    if (picture.sourceEntry != tile.frame.frame) {
        const QString shows =
            picture.sourceEntry >= 0
                ? QStringLiteral("dropped: shows frame %1").arg(picture.sourceEntry)
                : QStringLiteral("dropped: black");
        tile.caption->setText(toQt(tile.frame.caption) + QStringLiteral("\n(") + shows +
                              QStringLiteral(")"));
    }
}

std::vector<PreviewStrip::TileView> PreviewStrip::tiles() const {
    std::vector<TileView> views;
    for (const Tile& tile : tiles_) {
        TileView view;
        view.caption = tile.caption->text();
        view.text = tile.picture->text();
        const QPixmap pixmap = tile.picture->pixmap();
        if (!pixmap.isNull()) {
            view.picture = pixmap.size();
        }
        views.push_back(view);
    }
    return views;
}

} // namespace vidloom::ui

#include "ui/TextLines.h"

#include "avi/TextFormat.h"
#include "ui/UiText.h"

namespace vidloom::ui {

TextLines::TextLines(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Narrow columns such as the tag window's tag names need the room.
    document()->setDocumentMargin(2);
}

// An empty document still holds one empty block, which is not yet a line: the
// first line added after clearing takes its place, so that adding an empty
// line is told apart from adding nothing.
void TextLines::clear() {
    pending_.reset();
    QPlainTextEdit::clear();
    empty_ = true;
}

void TextLines::addText(const std::string& text) {
    QString all = toQt(withLineFeeds(text));
    if (all.endsWith(QLatin1Char('\n'))) {
        all.chop(1);
    }
    addLine(all);
}

void TextLines::addLine(const QString& line) {
    if (pending_) {
        pending_->append(line);
        return;
    }
    if (document()->isEmpty() && empty_) {
        setPlainText(line);
    } else {
        appendPlainText(line);
    }
    empty_ = false;
}

void TextLines::setLines(const QStringList& lines) {
    clear();
    if (lines.isEmpty()) {
        return;
    }
    pending_ = lines;
    if (isVisible()) {
        applyPending();
    }
}

void TextLines::applyPending() {
    if (!pending_) {
        return;
    }
    const QStringList lines = std::move(*pending_);
    pending_.reset();
    setPlainText(lines.join(QLatin1Char('\n')));
    empty_ = false;
}

void TextLines::showEvent(QShowEvent* event) {
    applyPending();
    QPlainTextEdit::showEvent(event);
}

QStringList TextLines::lines() const {
    if (pending_) {
        return *pending_;
    }
    if (document()->isEmpty() && empty_) {
        return {};
    }
    return toPlainText().split(QLatin1Char('\n'));
}

} // namespace vidloom::ui

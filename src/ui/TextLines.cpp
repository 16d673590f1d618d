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
    if (document()->isEmpty() && empty_) {
        setPlainText(line);
    } else {
        appendPlainText(line);
    }
    empty_ = false;
}

QStringList TextLines::lines() const {
    if (document()->isEmpty() && empty_) {
        return {};
    }
    return toPlainText().split(QLatin1Char('\n'));
}

} // namespace vidloom::ui

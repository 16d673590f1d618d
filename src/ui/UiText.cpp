#include "ui/UiText.h"

#include "avi/TextEncoding.h"
#include "avi/TextFormat.h"

#include <QFile>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace vidloom::ui {

QString toQt(const std::string& bytes) {
    return QString::fromStdString(readableText(bytes));
}

std::string pathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString tipText(const std::string& text) {
    return toQt(withLineFeeds(text)).trimmed();
}

void setFieldText(QLineEdit* field, const QString& text) {
    // Every click in a panel lays all panels out again; a cell whose text
    // stays the same keeps the user's caret and selection.
    if (field->text() == text) {
        return;
    }
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace vidloom::ui

namespace vidloom::ui {

int textRoomOf(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = QRect(0, 0, edit->width(), edit->height());
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    // The line edit keeps 2 pixels on each side of its text.
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

} // namespace vidloom::ui

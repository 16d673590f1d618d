#include "ui/UiText.h"

#include "avi/TextFormat.h"

#include <QFile>
#include <QLineEdit>
#include <QStringDecoder>

namespace vidloom::ui {

QString toQt(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
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

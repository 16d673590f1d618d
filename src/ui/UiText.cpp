#include "ui/UiText.h"

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

void setFieldText(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace vidloom::ui

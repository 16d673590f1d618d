#pragma once
// The seam between the core's byte strings and Qt's strings and colours.
// Paths and file contents are bytes: UTF-8 when they are valid UTF-8 (Linux
// file names), otherwise read as Windows-1252 (avi/TextEncoding.h), the same
// text vidloom-cli's JSON gives.

#include "present/PanelState.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <string>

class QLineEdit;

namespace vidloom::ui {

QString toQt(const std::string& bytes);
// A path as the core stores it: the file system's own bytes.
std::string pathBytes(const QString& path);

// The designed colours are given as red, green, blue.
inline QColor rgb(int r, int g, int b) {
    return QColor(r, g, b);
}
inline QColor toQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

// A text of the core (CR LF line ends) as a tool tip.
QString tipText(const std::string& text);

// Sets a field's text showing its beginning, however long the text is; a
// field that already shows the text is left as it is.
void setFieldText(QLineEdit* field, const QString& text);

// The width a line edit has for its text: its contents less its frame, text
// margins and the fixed margin it keeps beside the text.
int textRoomOf(const QLineEdit* edit);

} // namespace vidloom::ui

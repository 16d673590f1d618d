#pragma once
// A plain multi-line text area as the log and tag windows use it: editable,
// wrapping long lines, without scroll bars. Texts are added as lines; a text
// holding CR LF breaks becomes one line per line of the text.

#include <QPlainTextEdit>
#include <QStringList>

#include <string>

namespace vidloom::ui {

class TextLines : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextLines(QWidget* parent);

    // Empties the text area; the next added line becomes its first line.
    void clear();

    // Adds the lines of text at the end. A final CR LF ends the last line; it
    // does not start an empty one.
    void addText(const std::string& text);
    void addLine(const QString& line);
    // The lines as shown, one entry per line added.
    QStringList lines() const;

private:
    bool empty_ = true;
};

} // namespace vidloom::ui

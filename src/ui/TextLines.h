#pragma once
// A plain multi-line text area as the log and tag windows use it: editable,
// wrapping long lines, without scroll bars. Texts are added as lines; a text
// holding CR LF breaks becomes one line per line of the text.

#include <QPlainTextEdit>
#include <QStringList>

#include <optional>
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
    // Replaces the whole text by these lines at once (a long listing is one
    // document change, not one per line). While the area is hidden the lines
    // wait and are laid out when it is shown: a hidden log costs nothing.
    void setLines(const QStringList& lines);
    // The lines as shown, one entry per line added.
    QStringList lines() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyPending();
    bool empty_ = true;
    std::optional<QStringList> pending_;
};

} // namespace vidloom::ui

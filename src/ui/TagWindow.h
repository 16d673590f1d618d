#pragma once
// The brand window: the INFO tags of the base clip in two columns, tag names
// on the left and their contents on the right, line k of each belonging to the
// same tag. It has no commands; its close box only hides it.

#include <QWidget>

#include <string>

namespace vidloom::ui {

class TextLines;

class TagWindow : public QWidget {
    Q_OBJECT
public:
    TagWindow();

    // Replaces both columns: the id column (heading "InfoTag") and the value
    // column (heading "Contents"), each a text with CR LF between lines.
    void showColumns(const std::string& ids, const std::string& values);

    TextLines* tagIds = nullptr;    // tag names
    TextLines* tagValues = nullptr; // tag contents
};

} // namespace vidloom::ui

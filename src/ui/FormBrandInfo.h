#pragma once
// The brand window: the INFO tags of the base clip in two columns, tag names
// on the left and their contents on the right, line k of each belonging to the
// same tag. It has no commands; its close box only hides it.

#include <QWidget>

#include <string>

namespace vidloom::ui {

class TMemo;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    TForm2();

    // Replaces both columns: the id column (heading "InfoTag") and the value
    // column (heading "Contents"), each a text with CR LF between lines.
    void showColumns(const std::string& ids, const std::string& values);

    TMemo* Memo3 = nullptr; // tag names
    TMemo* Memo4 = nullptr; // tag contents
};

} // namespace vidloom::ui

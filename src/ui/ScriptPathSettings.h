#pragma once
// The names the script gives the files, for the machine where AviSynth runs:
// the check box "Windows paths for Wine" (the whole file system as drive Z:)
// and a list of folder mappings edited in a small dialog, both kept in the
// program's settings.

#include "script/PathMap.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QCheckBox;
class QPushButton;
class QWidget;

namespace vidloom::ui {

class DialogSeam;

class ScriptPathSettings : public QObject {
    Q_OBJECT
public:
    // The controls are made in window at the given place; dialogs answers the
    // mapping dialog (the window's seam, looked up when it is needed).
    ScriptPathSettings(QWidget* window, std::function<DialogSeam&()> dialogs);

    // The mappings, then Wine's drive Z: when the box is checked.
    PathMap pathMap() const;
    // The list as the dialog shows it: one "FROM=TO" a line.
    QStringList mappings() const { return mappings_; }

    // Asks for the list and keeps its FROM=TO lines; a line that is not one is
    // named in a message and the list is asked for again with what was typed.
    void editMappings();

    QCheckBox* wineBox = nullptr;
    QPushButton* mappingsButton = nullptr;

private:
    void save() const;
    QWidget* window_;
    std::function<DialogSeam&()> dialogs_;
    QStringList mappings_;
};

} // namespace vidloom::ui

#pragma once
// The brand window: the INFO tags of the plan's first segment, one row per
// tag, its name beside its contents. It only shows them: nothing in it can be
// edited, and its close box only hides it.

#include "ui/ToolWindow.h"

class QTableWidget;

namespace vidloom {
class InfoTags;
}

namespace vidloom::ui {

class TagWindow : public ToolWindow {
    Q_OBJECT
public:
    TagWindow();

    // One row per tag; null (a file that is not an AVI file, or no plan)
    // leaves the column headings alone.
    void showTags(const InfoTags* tags);

    QTableWidget* table = nullptr; // columns "InfoTag" and "Contents"
};

} // namespace vidloom::ui

#include "ui/TagWindow.h"

#include "avi/InfoTags.h"
#include "ui/UiText.h"

#include <QHeaderView>
#include <QTableWidget>

namespace vidloom::ui {

TagWindow::TagWindow()
    : ToolWindow(QStringLiteral("tagWindow"), QStringLiteral("BrandInfo"),
                 QRect(200, 100, 493, 149)) {
    table = new QTableWidget(0, 2, this);
    table->setObjectName(QStringLiteral("tagTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("InfoTag"), QStringLiteral("Contents")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setContent(table, QRect(8, 8, 477, 133));
}

void TagWindow::showTags(const InfoTags* tags) {
    const int rows = tags != nullptr ? tags->count() : 0;
    table->setRowCount(rows);
    for (int i = 0; i < rows; ++i) {
        auto* id = new QTableWidgetItem(toQt(tags->id(i)));
        auto* value = new QTableWidgetItem(toQt(tags->value(i)));
        // The whole value, however long, is there to read on hovering.
        value->setToolTip(value->text());
        table->setItem(i, 0, id);
        table->setItem(i, 1, value);
    }
}

} // namespace vidloom::ui

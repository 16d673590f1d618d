#include "UiTestSupport.h"

#include "kit/AviBuilder.h"
#include "ui/panels/PanelCell.h"
#include "ui/panels/PanelGrid.h"
#include "ui/panels/SegmentPanel.h"

#include <QTableWidget>
#include <QTest>

#include <algorithm>

namespace vidloom::ui::test {

QStringList ScriptedDialogs::openFiles(QWidget*, const QString& filter, const QString&) {
    asked.append(QStringLiteral("open ") + filter);
    if (openAnswers.empty()) {
        unexpected.append(asked.last());
        return {};
    }
    QStringList answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const QString& filter,
                                                 const QString& defaultSuffix, const QString&,
                                                 const QString& suggestedPath) {
    asked.append(QStringLiteral("save ") + filter + QStringLiteral(" ") + defaultSuffix);
    suggested.append(suggestedPath);
    if (saveAnswers.empty()) {
        unexpected.append(asked.last());
        return std::nullopt;
    }
    // The answer is taken as a plain QString: a copied std::optional<QString>
    // trips GCC's -Wmaybe-uninitialized in optimised builds.
    const bool cancelled = !saveAnswers.front().has_value();
    QString path = saveAnswers.front().value_or(QString());
    saveAnswers.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return path;
}

bool ScriptedDialogs::question(QWidget*, const QString& text) {
    questions.append(text);
    if (questionAnswers.empty()) {
        unexpected.append(QStringLiteral("question ") + text);
        return false;
    }
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::message(QWidget*, const QString& text) {
    messages.append(text);
}

void ScriptedDialogs::error(QWidget*, const QString& text) {
    errors.append(text);
}

std::optional<QString> ScriptedDialogs::askNumber(QWidget*, const QString& caption,
                                                  const QString& prompt,
                                                  const QString& defaultText) {
    asked.append(QStringLiteral("input ") + caption + QStringLiteral("|") + prompt +
                 QStringLiteral("|") + defaultText);
    if (inputAnswers.empty()) {
        unexpected.append(asked.last());
        return std::nullopt;
    }
    std::optional<QString> answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::editLines(QWidget*, const QString& caption, const QString&,
                                                  const QString& text) {
    asked.append(QStringLiteral("edit ") + caption + QStringLiteral("|") + text);
    if (editAnswers.empty()) {
        unexpected.append(asked.last());
        return std::nullopt;
    }
    // Taken as a plain QString, as saveFile does.
    const bool cancelled = !editAnswers.front().has_value();
    QString answer = editAnswers.front().value_or(QString());
    editAnswers.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return answer;
}

UnsavedAnswer ScriptedDialogs::askUnsavedChanges(QWidget*, const QString& text) {
    asked.append(QStringLiteral("unsaved ") + text);
    if (unsavedAnswers.empty()) {
        unexpected.append(asked.last());
        return UnsavedAnswer::Cancel;
    }
    const UnsavedAnswer answer = unsavedAnswers.front();
    unsavedAnswers.pop_front();
    return answer;
}

App::App() : main(brand, log) {
    main.setDialogs(&dialogs);
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main)) {
        qWarning("the main window did not become active");
    }
}

App::~App() {
    main.setDialogs(nullptr);
}

void App::addFiles(const QStringList& paths) {
    dialogs.openAnswers.push_back(paths);
    QTest::keyClick(&main, Qt::Key_F1);
}

void App::addSplices(const QStringList& paths) {
    dialogs.openAnswers.push_back(paths);
    QTest::keyClick(&main, Qt::Key_F2);
}

void type(PanelCell* cell, const QString& text) {
    cell->setFocus();
    cell->selectAll();
    QTest::keyClicks(cell, text);
    QTest::keyClick(cell, Qt::Key_Return);
}

QStringList tagColumn(const TagWindow& window, int column) {
    QStringList cells{window.table->horizontalHeaderItem(column)->text()};
    for (int row = 0; row < window.table->rowCount(); ++row) {
        cells.append(window.table->item(row, column)->text());
    }
    return cells;
}

QList<SegmentPanel*> App::shownPanels() const {
    QList<SegmentPanel*> shown;
    for (SegmentPanel* panel : main.panels()) {
        if (!panel->isHidden()) {
            shown.append(panel);
        }
    }
    auto number = [](const SegmentPanel* p) { return p->title().mid(6).toInt(); };
    std::sort(shown.begin(), shown.end(),
              [&](SegmentPanel* a, SegmentPanel* b) { return number(a) < number(b); });
    return shown;
}

QString fixture(const char* name) {
    return QString::fromUtf8(VIDLOOM_FIXTURES) + QLatin1Char('/') + QString::fromUtf8(name);
}

QString tempFile(const std::string& name, const std::string& bytes) {
    return QString::fromStdString(kit::writeTemp(name, bytes));
}

QString xvidFile(const std::string& name, int frames, int keyEvery) {
    kit::AviBuilder avi;
    avi.addFrames(frames, keyEvery);
    return tempFile(name, avi.build());
}

} // namespace vidloom::ui::test

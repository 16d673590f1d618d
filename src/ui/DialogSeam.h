#pragma once
// Every modal dialog of the program goes through this one seam, so that the
// window's tests can answer the dialogs in code instead of waiting for a
// person. The program uses QtDialogSeam; a test installs its own.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vidloom::ui {

class DialogSeam {
public:
    virtual ~DialogSeam() = default;

    // The multi-select file-open dialog; an empty list when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& filter) = 0;
    // The file-save dialog; it does not ask before replacing a file. Nothing
    // when cancelled. The default suffix is added to a name typed without one.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix) = 0;
    // A modal message with the fixed texts of the actions.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The error box that ends an action which failed.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A modal input box; cancelling it gives the default text.
    virtual QString inputBox(QWidget* parent, const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;

    // A yes/no question; true for yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // A box to edit a text of several lines; nothing when cancelled.
    virtual std::optional<QString> editLines(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& text) = 0;
};

class QtDialogSeam : public DialogSeam {
public:
    QStringList openFiles(QWidget* parent, const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString inputBox(QWidget* parent, const QString& caption, const QString& prompt,
                     const QString& defaultText) override;
    bool confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> editLines(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& text) override;
};

} // namespace vidloom::ui

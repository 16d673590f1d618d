#pragma once
// Every modal dialog of the program goes through this one seam, so that the
// window's tests can answer the dialogs in code instead of waiting for a
// person. The program uses QtDialogSeam; a test installs its own.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vidloom::ui {

// The answer to "write the changed plan before closing?".
enum class UnsavedAnswer { Write, Discard, Cancel };

class DialogSeam {
public:
    virtual ~DialogSeam() = default;

    // The file dialogs start in the folder the dialog named folderKey was
    // last left in (remembered between runs).
    // The multi-select file-open dialog; an empty list when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& filter,
                                  const QString& folderKey) = 0;
    // The dialog that chooses one script to open (its folder remembered as
    // "openScript"); nothing when cancelled. By default the file-open
    // dialog's first choice.
    virtual std::optional<QString> openScript(QWidget* parent, const QString& filter);
    // The file-save dialog, opened at suggestedPath (its folder, its name
    // filled in) when one is given; it does not ask before replacing a file
    // (question does). Nothing when cancelled. The default suffix is added to
    // a name typed without one.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix, const QString& folderKey,
                                            const QString& suggestedPath) = 0;
    // A yes/no question; true for yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // A modal message with the fixed texts of the actions.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The error box that ends an action which failed.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A modal box for a whole number (it takes digits and a minus sign
    // only); nothing when cancelled.
    virtual std::optional<QString> askNumber(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& defaultText) = 0;

    // A box to edit a text of several lines; nothing when cancelled.
    virtual std::optional<QString> editLines(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& text) = 0;
    // Asks whether to write a changed plan before the window closes.
    virtual UnsavedAnswer askUnsavedChanges(QWidget* parent, const QString& text) = 0;
};

class QtDialogSeam : public DialogSeam {
public:
    QStringList openFiles(QWidget* parent, const QString& filter,
                          const QString& folderKey) override;
    std::optional<QString> openScript(QWidget* parent, const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix, const QString& folderKey,
                                    const QString& suggestedPath) override;
    bool question(QWidget* parent, const QString& text) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<QString> askNumber(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& defaultText) override;
    std::optional<QString> editLines(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& text) override;
    UnsavedAnswer askUnsavedChanges(QWidget* parent, const QString& text) override;
};

} // namespace vidloom::ui

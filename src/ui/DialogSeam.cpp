#include "ui/DialogSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>

namespace vidloom::ui {

namespace {

// Message boxes carry the program's name as their caption, as the system's
// own message boxes carry the application title.
QString boxTitle() {
    return QApplication::applicationName();
}

const QString kOpenScriptFolder = QStringLiteral("openScript");

QString folderSetting(const QString& folderKey) {
    return QStringLiteral("folders/") + folderKey;
}

void startInLastFolder(QFileDialog& dialog, const QString& folderKey) {
    const QString folder = QSettings().value(folderSetting(folderKey)).toString();
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
}

void rememberFolder(const QFileDialog& dialog, const QString& folderKey) {
    QSettings().setValue(folderSetting(folderKey), dialog.directory().absolutePath());
}

} // namespace

QStringList QtDialogSeam::openFiles(QWidget* parent, const QString& filter,
                                    const QString& folderKey) {
    QFileDialog dialog(parent);
    startInLastFolder(dialog, folderKey);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    rememberFolder(dialog, folderKey);
    return dialog.selectedFiles();
}

std::optional<QString> DialogSeam::openScript(QWidget* parent, const QString& filter) {
    const QStringList chosen = openFiles(parent, filter, kOpenScriptFolder);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.constFirst();
}

std::optional<QString> QtDialogSeam::openScript(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent);
    startInLastFolder(dialog, kOpenScriptFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    rememberFolder(dialog, kOpenScriptFolder);
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogSeam::saveFile(QWidget* parent, const QString& filter,
                                              const QString& defaultSuffix,
                                              const QString& folderKey,
                                              const QString& suggestedPath) {
    QFileDialog dialog(parent);
    startInLastFolder(dialog, folderKey);
    if (!suggestedPath.isEmpty()) {
        const QFileInfo suggested(suggestedPath);
        dialog.setDirectory(suggested.absolutePath());
        dialog.selectFile(suggested.fileName());
    }
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    rememberFolder(dialog, folderKey);
    return dialog.selectedFiles().constFirst();
}

bool QtDialogSeam::question(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, boxTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogSeam::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, boxTitle(), text);
}

void QtDialogSeam::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, boxTitle(), text);
}

std::optional<QString> QtDialogSeam::askNumber(QWidget* parent, const QString& caption,
                                               const QString& prompt, const QString& defaultText) {
    QInputDialog box(parent);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // The box's own line edit takes what a frame number can hold.
    if (auto* edit = box.findChild<QLineEdit*>()) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), edit));
    }
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.textValue();
}

std::optional<QString> QtDialogSeam::editLines(QWidget* parent, const QString& caption,
                                               const QString& prompt, const QString& text) {
    bool ok = false;
    const QString answer = QInputDialog::getMultiLineText(parent, caption, prompt, text, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return answer;
}

UnsavedAnswer QtDialogSeam::askUnsavedChanges(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, boxTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Write"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedAnswer::Write;
    case QMessageBox::Discard:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Cancel;
    }
}

} // namespace vidloom::ui

#include "ui/DialogSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vidloom::ui {

namespace {

// Message boxes carry the program's name as their caption, as the system's
// own message boxes carry the application title.
QString boxTitle() {
    return QApplication::applicationName();
}

} // namespace

QStringList QtDialogSeam::openFiles(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogSeam::saveFile(QWidget* parent, const QString& filter,
                                              const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void QtDialogSeam::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, boxTitle(), text);
}

void QtDialogSeam::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, boxTitle(), text);
}

QString QtDialogSeam::inputBox(QWidget* parent, const QString& caption, const QString& prompt,
                               const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : defaultText;
}

bool QtDialogSeam::confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, boxTitle(), text) == QMessageBox::Yes;
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

} // namespace vidloom::ui

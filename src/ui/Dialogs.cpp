#include "ui/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

const QString kCaption = QStringLiteral("Spinora");
// Qt's own file dialog, in the program's look and with the same keys on every desktop.
constexpr auto kOwnDialog = QFileDialog::DontUseNativeDialog;

}  // namespace

MessageBoxDialogs::MessageBoxDialogs()
    : shown_(qEnvironmentVariable("SPINORA_NO_DIALOGS") != "1") {}

void MessageBoxDialogs::error(const QString& text) {
    if (shown_) {
        QMessageBox::critical(parent_, kCaption, text);
    }
}

bool MessageBoxDialogs::question(const QString& text) {
    if (!shown_) {
        return false;
    }
    QMessageBox box(QMessageBox::Critical, kCaption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxDialogs::warning(const QString& text) {
    if (!shown_) {
        return true;
    }
    return QMessageBox::warning(parent_, kCaption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Ok) == QMessageBox::Ok;
}

QString MessageBoxDialogs::openFile(const QString& title, const QString& filter) {
    if (!shown_) {
        return {};
    }
    return chosen(QFileDialog::getOpenFileName(parent_, title, startFolder(), filter, nullptr,
                                               QFileDialog::ReadOnly | kOwnDialog));
}

QString MessageBoxDialogs::saveFile(const QString& title, const QString& filter,
                                    const QString& suffix) {
    if (!shown_) {
        return {};
    }
    QFileDialog dialog(parent_, title, startFolder(), filter);
    dialog.setOptions(kOwnDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return chosen(dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString());
}

QString MessageBoxDialogs::startFolder() const {
    if (!lastFolder_.isEmpty()) {
        return lastFolder_;
    }
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

QString MessageBoxDialogs::chosen(const QString& file) {
    if (!file.isEmpty()) {
        lastFolder_ = QFileInfo(file).absolutePath();
    }
    return file;
}

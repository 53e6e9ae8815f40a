#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
    return QFileDialog::getOpenFileName(parent_, title, QString(), filter, nullptr,
                                        QFileDialog::ReadOnly | kOwnDialog);
}

QString MessageBoxDialogs::saveFile(const QString& title, const QString& filter,
                                    const QString& suffix) {
    if (!shown_) {
        return {};
    }
    QFileDialog dialog(parent_, title, QString(), filter);
    dialog.setOptions(kOwnDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

#include "app/Prompt.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

void MessageBoxPrompt::Inform(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

bool MessageBoxPrompt::Confirm(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("確認"), text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    // Qt's own texts are English unless a translation is installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompt::ShowError(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, kAppTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

QString MessageBoxPrompt::ChooseFile(QWidget* owner, const QString& folder) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Excel から取得"), folder,
                                        QStringLiteral("Excel ブック、スナップショット "
                                                       "(*.xlsx *.xlsm *.json)"));
}

QString MessageBoxPrompt::ChooseSaveFile(QWidget* owner, const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, QStringLiteral("名前を付けて保存"), suggested,
                                        QStringLiteral("DXF 図面 (*.dxf)"));
}

bool MessageBoxPrompt::RunDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

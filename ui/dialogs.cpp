#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class WidgetDialogs final : public Dialogs
{
public:
    MsgResult message(const QString &text, const QString &caption, MsgIcon icon,
                      MsgButtons buttons) override
    {
        QMessageBox box;
        box.setText(text);
        box.setObjectName(QStringLiteral("MessageBox"));
        box.setWindowTitle(caption); // an empty caption stays empty
        switch (icon) {
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::None:
            break;
        }
        switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        default:
            return MsgResult::Ok;
        }
    }
    bool inputText(const QString &caption, const QString &prompt, QString &value) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = text;
        return ok;
    }
    QString openFileName(const QString &caption, const QString &filter,
                         const QString &folder) override
    {
        return QFileDialog::getOpenFileName(nullptr, caption, folder, filter);
    }
    QString saveFileName(const QString &caption, const QString &filter,
                         const QString &suggested) override
    {
        // No "replace?" question of its own: the caller decides about an existing file.
        QFileDialog dialog(nullptr, caption, suggested, filter);
        dialog.setObjectName(QStringLiteral("SaveFile_Dialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
};

WidgetDialogs widgetDialogs;
Dialogs *current = &widgetDialogs;

} // namespace

Dialogs &dialogs()
{
    return *current;
}

void setDialogs(Dialogs *replacement)
{
    current = replacement ? replacement : &widgetDialogs;
}

MsgResult ShowMessage(const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons)
{
    return dialogs().message(text, caption, icon, buttons);
}

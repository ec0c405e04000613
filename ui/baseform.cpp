#include "baseform.h"

#include "data/settings.h"
#include "dialogs.h"
#include "errorguard.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

#include <memory>

TBaseForm::TBaseForm(QWidget *parent) : QDialog(parent), Language1(new TLanguage(this))
{
    Language1->SetLanguageID(LockSystemInfo.LanguageID);
    TellUnreadableCatalogue(*Language1);
}

void TellUnreadableCatalogue(const TLanguage &language)
{
    static bool told = false;
    if (language.Readable() || told)
        return;
    told = true;
    ShowMessage(
        QCoreApplication::translate("TBaseForm",
                                    "The language catalogue %1 could not be read, so the forms "
                                    "show their built-in texts. The hotel's data are not "
                                    "concerned.\n%2")
            .arg(QDir::toNativeSeparators(TLanguage::CatalogPath()), language.UnreadableReason()),
        QCoreApplication::translate("TBaseForm", "Language catalogue"), MsgIcon::Warning);
}

void TBaseForm::watch(QObject *object)
{
    if (object->isWidgetType()) {
        object->removeEventFilter(this);
        object->installEventFilter(this);
    }
    for (QObject *child : object->children())
        watch(child);
}

void TBaseForm::on_Language1_FormCreated()
{
    if (m_languageLoaded)
        return;
    m_languageLoaded = true;
    m_loadedAs = objectName();
    RunGuarded([this] { Language1->LoadLanguage(); });
}

void TBaseForm::showEvent(QShowEvent *event)
{
    for (QObject *child : children())
        watch(child);
    if (!m_shown) {
        m_shown = true;
        // Grid models are often made after the setup; their column titles are applied now.
        // A form that had no designer setup, or took its name only after it (forms sharing
        // one designer file), loads everything now.
        const LoadScope scope = m_languageLoaded && objectName() == m_loadedAs
                                    ? LoadScope::Collections
                                    : LoadScope::All;
        m_languageLoaded = true;
        RunGuarded([this, scope] { Language1->LoadLanguage(scope); });
    }
    QDialog::showEvent(event);
}

void TBaseForm::childEvent(QChildEvent *event)
{
    if (event->added() && event->child()->isWidgetType())
        watch(event->child());
    QDialog::childEvent(event);
}

bool TBaseForm::FormKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    if (IsCaptureKey(event)) {
        RunCapture(Language1);
        return true;
    }
    return false;
}

bool TBaseForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this) {
        if (!isVisible()) {
            // The form has closed, yet a key typed meanwhile still comes to it: keys held
            // back while the form paused arrive in one round with the Esc that closed it,
            // and the window system hands the keyboard back to the window underneath only a
            // moment later. The key goes to that window, so that nothing typed is lost.
            if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr) {
                const std::unique_ptr<QEvent> copy(event->clone());
                QCoreApplication::sendEvent(owner, copy.get());
            }
            return true;
        }
        bool handled = false;
        if (!RunGuarded([&] { handled = FormKeyDown(static_cast<QKeyEvent *>(event)); }))
            return true; // the error was shown; the key goes no further
        return handled;
    }
    return QDialog::eventFilter(watched, event);
}

int ShowModalAndFree(QDialog *form)
{
    if (ProgramEndRequested()) {
        // The form found while opening that the program must end: it is not shown.
        delete form;
        return QDialog::Rejected;
    }
    const int result = form->exec();
    delete form;
    return result;
}

bool IsCaptureKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers held =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return event->key() == Qt::Key_F12 && held == (Qt::ControlModifier | Qt::AltModifier);
}

void RunCapture(TLanguage *language)
{
    // The two log forms word the boxes with their own dialog texts 13 and 14.
    const QString form = language->parent() ? language->parent()->objectName() : QString();
    const bool ownTexts =
        form == QLatin1String("MC_R_From") || form == QLatin1String("OpenDoorRecord_Form");
    const QString decoy =
        ownTexts ? language->GetDialogText(13) : QStringLiteral("文件不存在，请重新选择！");
    const QString decoyCaption = ownTexts ? decoy : QStringLiteral("提示");
    const QString inputCaption = ownTexts ? language->GetDialogText(14) : QStringLiteral("验证 ");
    const QString prompt = ownTexts ? inputCaption : QStringLiteral("请输入验证码:");

    if (ShowMessage(decoy, decoyCaption, MsgIcon::Warning, MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    QString code;
    if (!dialogs().inputText(inputCaption, prompt, code))
        code.clear();
    if (code != QLatin1String("qarvo"))
        return;
    language->SaveLanguage([] {
        return ShowMessage(QCoreApplication::translate("TBaseForm", "Language exist,rebuild?"),
                           QCoreApplication::translate("TBaseForm", "Info"), MsgIcon::Error,
                           MsgButtons::OkCancel) == MsgResult::Ok;
    });
}

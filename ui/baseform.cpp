#include "baseform.h"

#include "data/settings.h"
#include "errorguard.h"

#include <QChildEvent>
#include <QKeyEvent>

TBaseForm::TBaseForm(QWidget *parent) : QDialog(parent), Language1(new TLanguage(this))
{
    Language1->SetLanguageID(LockSystemInfo.LanguageID);
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

void TBaseForm::showEvent(QShowEvent *event)
{
    for (QObject *child : children())
        watch(child);
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
    if (event->key() == Qt::Key_F12 &&
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) ==
            (Qt::ControlModifier | Qt::AltModifier)) {
        Language1->Capture();
        return true;
    }
    return false;
}

bool TBaseForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this) {
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

#include "language.h"

#include "dialogtexts.h"

TLanguage::TLanguage(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Language1"));
}

QString TLanguage::formName() const
{
    return parent() ? parent()->objectName() : QString();
}

QString TLanguage::GetDialogText(int number) const
{
    return BuiltInDialogText(formName(), number);
}

QString TLanguage::GetDialogTitle(int number) const
{
    return BuiltInDialogTitle(formName(), number);
}

void TLanguage::Capture() {}

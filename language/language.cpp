#include "language.h"

TLanguage::TLanguage(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Language1"));
}

QString TLanguage::GetDialogText(int) const
{
    return QString();
}

QString TLanguage::GetDialogTitle(int) const
{
    return QString();
}

void TLanguage::Capture() {}

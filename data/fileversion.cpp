#include "fileversion.h"

#include <QHash>

namespace {

struct Translation
{
    quint16 language;
    quint16 codePage;
};

// The version block: US English, Unicode code page.
const Translation kTranslations[] = {{0x0409, 0x04B0}};

const QHash<QString, QString> &stringFileInfo()
{
    static const QHash<QString, QString> values = {
        {QStringLiteral("StringFileInfo\\040904b0\\CompanyName"), QStringLiteral("Orvane")},
        {QStringLiteral("StringFileInfo\\040904b0\\ProductName"), QStringLiteral("Orvane")},
        {QStringLiteral("StringFileInfo\\040904b0\\FileVersion"), QStringLiteral("16.0.0.74")},
        {QStringLiteral("StringFileInfo\\040904b0\\ProductVersion"), QStringLiteral("16.0.0.74")},
        {QStringLiteral("StringFileInfo\\040904b0\\FileDescription"),
         QStringLiteral("Hotel card lock front desk ")},
        {QStringLiteral("StringFileInfo\\040904b0\\InternalName"), QStringLiteral("quenmar")},
    };
    return values;
}

} // namespace

TFileVersion::TFileVersion() : m_hasBlock(!stringFileInfo().isEmpty()) {}

QString TFileVersion::GetTranslation() const
{
    if (!m_hasBlock)
        return QString();
    return QString::asprintf("%.4x%.4x", kTranslations[0].language, kTranslations[0].codePage);
}

QString TFileVersion::GetValue(const QString &name) const
{
    if (!m_hasBlock)
        return QString();
    return stringFileInfo()
        .value(QStringLiteral("StringFileInfo\\%1\\%2").arg(GetTranslation(), name))
        .trimmed();
}

#include "languageids.h"

#include <QLocale>

const QList<LanguageIdentity> &KnownLanguages()
{
    // The languages of hotels' front desks most often asked for, with their Windows ids.
    static const QList<LanguageIdentity> languages = {
        {1033, "en_US"}, {2052, "zh_CN"}, {1028, "zh_TW"}, {3076, "zh_HK"}, {1041, "ja_JP"},
        {1042, "ko_KR"}, {2057, "en_GB"}, {1031, "de_DE"}, {1036, "fr_FR"}, {3082, "es_ES"},
        {1040, "it_IT"}, {1046, "pt_BR"}, {2070, "pt_PT"}, {1043, "nl_NL"}, {1049, "ru_RU"},
        {1058, "uk_UA"}, {1045, "pl_PL"}, {1029, "cs_CZ"}, {1038, "hu_HU"}, {1048, "ro_RO"},
        {1032, "el_GR"}, {1055, "tr_TR"}, {1025, "ar_SA"}, {1037, "he_IL"}, {1065, "fa_IR"},
        {1081, "hi_IN"}, {1054, "th_TH"}, {1066, "vi_VN"}, {1057, "id_ID"}, {1086, "ms_MY"},
        {1030, "da_DK"}, {1053, "sv_SE"}, {1044, "nb_NO"}, {1035, "fi_FI"},
    };
    return languages;
}

bool IsKnownLanguage(int id)
{
    return !LanguageLocale(id).isEmpty();
}

QString LanguageLocale(int id)
{
    for (const LanguageIdentity &language : KnownLanguages())
        if (language.id == id)
            return QString::fromLatin1(language.locale);
    return QString();
}

int LanguageOfLocale(const QString &locale)
{
    QString name = locale.trimmed();
    name.replace('-', '_');
    if (name.isEmpty())
        return 0;
    for (const LanguageIdentity &language : KnownLanguages())
        if (name.compare(QLatin1String(language.locale), Qt::CaseInsensitive) == 0)
            return language.id;
    if (name.contains('_'))
        return 0;
    for (const LanguageIdentity &language : KnownLanguages())
        if (QString::fromLatin1(language.locale)
                .section('_', 0, 0)
                .compare(name, Qt::CaseInsensitive) == 0)
            return language.id;
    return 0;
}

QString LanguageDisplayName(int id)
{
    if (id == kEnglishLanguageID)
        return QStringLiteral("English");
    if (id == kSimplifiedChineseLanguageID)
        return QStringLiteral("简体中文");
    const QString locale = LanguageLocale(id);
    if (locale.isEmpty())
        return QString::number(id);
    const QString name = QLocale(locale).nativeLanguageName();
    return name.isEmpty() ? locale : name;
}

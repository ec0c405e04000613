#pragma once
// Interface languages by their Windows language id (1033 English, 2052 Simplified Chinese, …)
// and the locale each stands for. The id is what Quenmar.ini, the catalogue and the message
// library's folder carry; the locale is what Qt's translations and formats are made for.
#include <QList>
#include <QString>

// The language of the described texts, which needs no translation.
constexpr int kEnglishLanguageID = 1033;
constexpr int kSimplifiedChineseLanguageID = 2052;

struct LanguageIdentity
{
    int id;
    const char *locale; // e.g. "zh_CN"
};

// Every language id the program knows a locale for.
const QList<LanguageIdentity> &KnownLanguages();
// Whether the id is one of them.
bool IsKnownLanguage(int id);
// The locale of a known id ("en_US" for 1033, "zh_CN" for 2052); empty for an unknown id.
QString LanguageLocale(int id);
// The id of a locale name as a translation file's language attribute gives it ("zh_CN",
// "zh-CN", "de"); a name with a language but no country finds that language's first entry.
// 0 when the locale is not known.
int LanguageOfLocale(const QString &locale);
// The language's name in itself: "English", "简体中文", "Deutsch"…; the id in decimal for an
// unknown id.
QString LanguageDisplayName(int id);

#pragma once
// Translation files in the format of Qt Linguist (.ts): contexts, each with its messages; a
// message has the English source, an optional disambiguating comment and its translation,
// which may be unfinished. Reading keeps the messages of the file in their order and skips
// those marked obsolete or vanished (left in the file by an update, no longer in the program).
#include <QList>
#include <QString>

struct TsMessage
{
    QString context;
    QString source;
    QString comment; // the disambiguation; empty for none
    QString translation;
    bool unfinished = false;
    bool operator==(const TsMessage &) const = default;
};

struct TsFile
{
    QString language;       // the locale of the translation, e.g. "zh_CN"
    QString sourceLanguage; // "en_US"
    QList<TsMessage> messages;
};

// Reads a translation file; false with the reason (file, line and what is wrong) when it can
// not be read or is no translation file.
bool ReadTsFile(const QString &path, TsFile &file, QString *error);
// Writes a translation file (contexts in the order their first message comes, the messages of
// a context in their order); false with the reason when the file can not be written. The file
// replaces an existing one only once it is complete.
bool WriteTsFile(const QString &path, const TsFile &file, QString *error);

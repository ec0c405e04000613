#pragma once
// The catalogue file DB/Language.mdb: its tables, and the translations it keeps per language
// (Translation_Table, one row per text of the program, and Language_Table, one row per
// language). A translation file (.ts) of Qt Linguist turns into a language's rows and back.
#include "tsfile.h"

#include <QHash>
#include <QList>
#include <QString>

class Connection;

// Opens the catalogue file on `conn`, creating it with every table when it is missing and
// adding the translation tables to a catalogue made before them. Throws DbError when the file
// can be neither read nor made (a file half made is removed again).
void OpenCatalogue(Connection &conn, const QString &path);

struct CatalogueLanguage
{
    int id = 0;
    QString locale;
    QString name;
    QString digest; // SHA-256 of the shipped translation file last imported; empty for none
};

// The languages the catalogue holds translations for, by id.
QList<CatalogueLanguage> CatalogueLanguages(Connection &conn);

// Replaces the rows of language `languageId` by the messages of `file`, in one transaction;
// `digest` is kept in the language's row. Returns the number of messages stored.
int StoreTranslations(Connection &conn, const TsFile &file, int languageId, const QString &digest);
// The language's messages as a translation file. For a language the catalogue lacks: every
// text the catalogue knows in any language, each with an empty, unfinished translation.
TsFile LoadTranslations(Connection &conn, int languageId);
// The key of a text in TranslationsOf.
QString TranslationKey(const QString &context, const QString &source, const QString &comment);
// The language's finished and unfinished translations that are not empty, by key.
QHash<QString, QString> TranslationsOf(Connection &conn, int languageId);

// SHA-256 of a file's bytes in hex; empty when it can not be read.
QString FileDigest(const QString &path);

// The translation file's language id: `languageId` when given (not 0), else the id of the
// file's language attribute. 0 with the reason when there is none or it is English.
int TranslationFileLanguage(const TsFile &file, int languageId, QString *error);

// `quenmar-language import`: stores the translation file as its language in the catalogue
// (made when missing). The language's row keeps the digest of the shipped file it held; a
// language new to the catalogue takes the digest of the program folder's shipped file of its
// locale, so that a hotel's own translation is not replaced by the shipped one at the next
// start. False with the reason; `imported` counts the messages stored.
bool ImportTranslationFile(const QString &catalogue, const QString &tsPath, int languageId,
                           QString *error, int *imported = nullptr);
// `quenmar-language export`: writes the language's texts as a translation file.
bool ExportTranslationFile(const QString &catalogue, int languageId, const QString &tsPath,
                           QString *error);

// The program folder's shipped translation files (Languages/*.ts).
QString ShippedTranslationsFolder();
// At start: imports each shipped translation file whose language the catalogue lacks or whose
// file changed since it was last imported. Returns the reasons of the files that could not be
// imported (the catalogue keeps what it had for them); none when the catalogue itself can not
// be opened, which the forms tell.
QStringList ImportShippedTranslations(const QString &catalogue, const QString &folder);

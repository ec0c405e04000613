#include "catalogue.h"

#include "data/appdir.h"
#include "data/connection.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "data/fileversion.h"
#include "data/languageids.h"
#include "data/privatefile.h"
#include "data/sqltext.h"
#include "data/transaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kConnectionPrefix =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=;Data Source=");

QString appName()
{
    return TFileVersion().GetValue(QStringLiteral("ProductName"));
}

void exec(Connection &conn, const QStringList &lines)
{
    Query q(conn);
    q.SQL = lines;
    q.ExecSQL();
}

void createComponentTable(Connection &conn)
{
    exec(conn, {QStringLiteral("Create Table Component_Table"),
                QStringLiteral("(ID INTEGER PRIMARY KEY,"),
                QStringLiteral("AppName varchar(50) not null,"),
                QStringLiteral("FormName varchar(50) not null,"),
                QStringLiteral("ComponentName varchar(50) not null,"),
                QStringLiteral("LanguageID int not null,"),
                QStringLiteral("ComponentClass varchar(50) null,"),
                QStringLiteral("ComponentProperty Text null)")});
}

void createDialogTable(Connection &conn)
{
    exec(conn,
         {QStringLiteral("Create Table Dialog_Table"), QStringLiteral("(ID INTEGER PRIMARY KEY,"),
          QStringLiteral("AppName varchar(50) Not null,"),
          QStringLiteral("FormName varchar(50) Not null,"),
          QStringLiteral("DialogID int Not null,"), QStringLiteral("LanguageID int Not null,"),
          QStringLiteral("Title varchar(255) Not null,"),
          QStringLiteral("MessageStr varchar(255) Not null)")});
}

void createTranslationTables(Connection &conn)
{
    exec(conn,
         {QStringLiteral("Create Table Translation_Table"),
          QStringLiteral("(ID INTEGER PRIMARY KEY,"),
          QStringLiteral("AppName varchar(50) not null,"),
          QStringLiteral("LanguageID int not null,"),
          QStringLiteral("Context varchar(255) not null,"), QStringLiteral("Source Text not null,"),
          QStringLiteral("Comment Text null,"), QStringLiteral("Translation Text null)")});
    exec(conn, {QStringLiteral("Create Index Translation_Language On Translation_Table "
                               "(AppName, LanguageID)")});
    exec(conn,
         {QStringLiteral("Create Table Language_Table"),
          QStringLiteral("(LanguageID int not null PRIMARY KEY,"),
          QStringLiteral("Locale varchar(20) not null,"), QStringLiteral("Name varchar(50) null,"),
          QStringLiteral("Digest varchar(64) null)")});
}

bool hasTable(Connection &conn, const QString &table)
{
    return conn.database().tables().contains(table, Qt::CaseInsensitive);
}

void createCatalogue(Connection &conn, const QString &path)
{
    QString why;
    if (!CreatePrivateFile(path, &why))
        throw DbError(QStringLiteral("Could not create the file '%1': %2").arg(path, why));
    // Every table or no file: a half-made catalogue would fail every later start.
    try {
        conn.ConnectionString = kConnectionPrefix + path;
        conn.DatabaseFile = path;
        conn.Open();
        Transaction transaction(conn);
        createComponentTable(conn);
        createDialogTable(conn);
        createTranslationTables(conn);
        transaction.Commit();
    } catch (...) {
        conn.Close();
        QFile::remove(path);
        throw;
    }
}

} // namespace

void OpenCatalogue(Connection &conn, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw DbError(QStringLiteral("Could not create the folder '%1'.").arg(folder));
    if (!QFileInfo::exists(path)) {
        createCatalogue(conn, path);
        return;
    }
    conn.ConnectionString = kConnectionPrefix + path;
    conn.DatabaseFile = path;
    conn.Open();
    // A damaged file opens; reading its two tables tells.
    for (const QString &table :
         {QStringLiteral("Component_Table"), QStringLiteral("Dialog_Table")}) {
        Query probe(conn);
        probe.Add(QStringLiteral("Select count(*) From ") + table);
        probe.Open();
    }
    if (!hasTable(conn, QStringLiteral("Translation_Table"))) {
        // A catalogue of an earlier release; one that can not be written stays without
        // translations and keeps serving its forms' texts.
        try {
            Transaction transaction(conn);
            createTranslationTables(conn);
            transaction.Commit();
        } catch (const DbError &) {
        }
    }
}

QList<CatalogueLanguage> CatalogueLanguages(Connection &conn)
{
    QList<CatalogueLanguage> languages;
    if (!hasTable(conn, QStringLiteral("Language_Table")))
        return languages;
    Query q(conn);
    q.Add(QStringLiteral("Select * From Language_Table Order By LanguageID"));
    q.Open();
    for (; !q.Eof(); q.Next())
        languages.append({q.AsInteger(QStringLiteral("LanguageID")),
                          q.AsString(QStringLiteral("Locale")), q.AsString(QStringLiteral("Name")),
                          q.AsString(QStringLiteral("Digest"))});
    return languages;
}

int StoreTranslations(Connection &conn, const TsFile &file, int languageId, const QString &digest)
{
    const QString app = appName();
    QList<QVariantList> rows;
    rows.reserve(file.messages.size());
    for (const TsMessage &m : file.messages)
        rows.append({app, languageId, m.context, m.source, m.comment, m.translation});
    QString locale = LanguageLocale(languageId);
    if (locale.isEmpty())
        locale = file.language;

    Transaction transaction(conn);
    Query removeTexts(conn);
    removeTexts.Add(QStringLiteral("Delete From Translation_Table"));
    removeTexts.Add(QStringLiteral("where AppName=") + QuotedStr(app));
    removeTexts.Add(QStringLiteral("and LanguageID=") + QString::number(languageId));
    removeTexts.ExecSQL();
    Query removeLanguage(conn);
    removeLanguage.Add(QStringLiteral("Delete From Language_Table"));
    removeLanguage.Add(QStringLiteral("where LanguageID=") + QString::number(languageId));
    removeLanguage.ExecSQL();
    InsertRows(conn, QStringLiteral("Translation_Table"),
               {QStringLiteral("AppName"), QStringLiteral("LanguageID"), QStringLiteral("Context"),
                QStringLiteral("Source"), QStringLiteral("Comment"), QStringLiteral("Translation")},
               rows);
    InsertRow(conn, QStringLiteral("Language_Table"),
              {{QStringLiteral("LanguageID"), languageId},
               {QStringLiteral("Locale"), locale},
               {QStringLiteral("Name"), LanguageDisplayName(languageId)},
               {QStringLiteral("Digest"), digest}});
    transaction.Commit();
    return rows.size();
}

namespace {

// The translations of one language, in the order they were imported.
void openLanguageRows(Query &q, int languageId)
{
    q.Add(QStringLiteral("Select Context, Source, Comment, Translation From Translation_Table"));
    q.Add(QStringLiteral("where AppName=") + QuotedStr(appName()));
    q.Add(QStringLiteral("and LanguageID=") + QString::number(languageId));
    q.Add(QStringLiteral("Order By ID"));
    q.Open();
}

} // namespace

TsFile LoadTranslations(Connection &conn, int languageId)
{
    TsFile file;
    file.sourceLanguage = QStringLiteral("en_US");
    file.language = LanguageLocale(languageId);
    for (const CatalogueLanguage &language : CatalogueLanguages(conn))
        if (language.id == languageId && !language.locale.isEmpty())
            file.language = language.locale;

    Query q(conn);
    openLanguageRows(q, languageId);
    const bool known = !q.IsEmpty();
    if (!known) {
        // The template of a new language: each text once, in the order it first came.
        q.Close();
        q.Clear();
        q.Add(
            QStringLiteral("Select Context, Source, Comment, '' as Translation, min(ID) as First"));
        q.Add(QStringLiteral("From Translation_Table"));
        q.Add(QStringLiteral("where AppName=") + QuotedStr(appName()));
        q.Add(QStringLiteral("Group By Context, Source, Comment"));
        q.Add(QStringLiteral("Order By First"));
        q.Open();
    }
    for (; !q.Eof(); q.Next()) {
        TsMessage m;
        m.context = q.AsString(QStringLiteral("Context"));
        m.source = q.AsString(QStringLiteral("Source"));
        m.comment = q.AsString(QStringLiteral("Comment"));
        m.translation = known ? q.AsString(QStringLiteral("Translation")) : QString();
        m.unfinished = m.translation.isEmpty();
        file.messages.append(m);
    }
    return file;
}

QString TranslationKey(const QString &context, const QString &source, const QString &comment)
{
    return context + QChar(0x1F) + source + QChar(0x1F) + comment;
}

QHash<QString, QString> TranslationsOf(Connection &conn, int languageId)
{
    QHash<QString, QString> texts;
    if (!hasTable(conn, QStringLiteral("Translation_Table")))
        return texts;
    Query q(conn);
    openLanguageRows(q, languageId);
    for (; !q.Eof(); q.Next()) {
        const QString translation = q.AsString(QStringLiteral("Translation"));
        if (!translation.isEmpty())
            texts.insert(TranslationKey(q.AsString(QStringLiteral("Context")),
                                        q.AsString(QStringLiteral("Source")),
                                        q.AsString(QStringLiteral("Comment"))),
                         translation);
    }
    return texts;
}

QString FileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

int TranslationFileLanguage(const TsFile &file, int languageId, QString *error)
{
    int id = languageId;
    if (id == 0) {
        id = LanguageOfLocale(file.language);
        if (id == 0) {
            if (error)
                *error = file.language.isEmpty()
                             ? QStringLiteral("The file names no language; give --language ID.")
                             : QStringLiteral("The file's language '%1' is not known; give "
                                              "--language ID.")
                                   .arg(file.language);
            return 0;
        }
    } else if (!IsKnownLanguage(id)) {
        if (error)
            *error = QStringLiteral("%1 is no language id the program knows.").arg(id);
        return 0;
    }
    if (id == kEnglishLanguageID) {
        if (error)
            *error = QStringLiteral("English (1033) is the language of the program's own texts "
                                    "and takes no translation.");
        return 0;
    }
    return id;
}

namespace {

// Opens the catalogue for the tool; false with the reason.
bool openFor(Connection &conn, const QString &catalogue, QString *error)
{
    try {
        OpenCatalogue(conn, catalogue);
        return true;
    } catch (const AppError &e) {
        if (error)
            *error = QStringLiteral("The catalogue '%1' could not be opened: %2")
                         .arg(catalogue, e.text());
        return false;
    }
}

QString shippedFileOf(const QString &locale)
{
    return QDir(ShippedTranslationsFolder()).filePath(QStringLiteral("quenmar_%1.ts").arg(locale));
}

} // namespace

bool ImportTranslationFile(const QString &catalogue, const QString &tsPath, int languageId,
                           QString *error, int *imported)
{
    TsFile file;
    if (!ReadTsFile(tsPath, file, error))
        return false;
    const int id = TranslationFileLanguage(file, languageId, error);
    if (id == 0)
        return false;
    Connection conn;
    if (!openFor(conn, catalogue, error))
        return false;
    try {
        QString digest;
        bool had = false;
        for (const CatalogueLanguage &language : CatalogueLanguages(conn))
            if (language.id == id) {
                digest = language.digest;
                had = true;
            }
        if (!had)
            digest = FileDigest(shippedFileOf(LanguageLocale(id)));
        const int count = StoreTranslations(conn, file, id, digest);
        if (imported)
            *imported = count;
        return true;
    } catch (const AppError &e) {
        if (error)
            *error = QStringLiteral("The catalogue '%1' could not be written: %2")
                         .arg(catalogue, e.text());
        return false;
    }
}

bool ExportTranslationFile(const QString &catalogue, int languageId, const QString &tsPath,
                           QString *error)
{
    if (!IsKnownLanguage(languageId)) {
        if (error)
            *error = QStringLiteral("%1 is no language id the program knows.").arg(languageId);
        return false;
    }
    if (!QFileInfo::exists(catalogue)) {
        if (error)
            *error = QStringLiteral("The catalogue '%1' does not exist.").arg(catalogue);
        return false;
    }
    Connection conn;
    if (!openFor(conn, catalogue, error))
        return false;
    TsFile file;
    try {
        file = LoadTranslations(conn, languageId);
    } catch (const AppError &e) {
        if (error)
            *error =
                QStringLiteral("The catalogue '%1' could not be read: %2").arg(catalogue, e.text());
        return false;
    }
    return WriteTsFile(tsPath, file, error);
}

QString ShippedTranslationsFolder()
{
    return ProgramPath(QStringLiteral("Languages"));
}

QStringList ImportShippedTranslations(const QString &catalogue, const QString &folder)
{
    QStringList failures;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
    if (names.isEmpty())
        return failures;
    Connection conn;
    QString error;
    // A catalogue that can not be opened is told by the first form that uses it.
    if (!openFor(conn, catalogue, &error))
        return failures;
    QHash<int, QString> digests;
    try {
        for (const CatalogueLanguage &language : CatalogueLanguages(conn))
            digests.insert(language.id, language.digest);
    } catch (const AppError &e) {
        return {e.text()};
    }
    for (const QString &name : names) {
        const QString path = QDir(folder).filePath(name);
        const QString digest = FileDigest(path);
        TsFile file;
        if (!ReadTsFile(path, file, &error)) {
            failures.append(error);
            continue;
        }
        const int id = TranslationFileLanguage(file, 0, &error);
        if (id == 0) {
            failures.append(QStringLiteral("'%1': %2").arg(path, error));
            continue;
        }
        if (digests.contains(id) && digests.value(id) == digest)
            continue;
        try {
            StoreTranslations(conn, file, id, digest);
        } catch (const AppError &e) {
            failures.append(QStringLiteral("'%1' could not be imported: %2").arg(path, e.text()));
        }
    }
    return failures;
}

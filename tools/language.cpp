// quenmar-language: the translations of the language catalogue as Qt Linguist files.
//   quenmar-language export --language ID --output FILE.ts [--catalogue FILE]
//       writes the language's texts; for a language the catalogue lacks, every text with an
//       empty translation (the start of a new language's translation).
//   quenmar-language import --input FILE.ts [--language ID] [--catalogue FILE]
//       replaces the language's texts by the file's; the language is the file's language
//       attribute unless --language gives it.
// The catalogue is the program folder's DB/Language.mdb unless --catalogue names another.
// Exit status 0 on success, 1 with the reason on standard error otherwise.
#include "language/language.h"
#include "data/languageids.h"
#include "language/catalogue.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "quenmar-language: %s\n", qPrintable(text));
    return 1;
}

int usage(const QString &why)
{
    std::fprintf(stderr, "quenmar-language: %s\n", qPrintable(why));
    std::fprintf(stderr, "usage: quenmar-language export --language ID --output FILE.ts "
                         "[--catalogue FILE]\n"
                         "       quenmar-language import --input FILE.ts [--language ID] "
                         "[--catalogue FILE]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command != QLatin1String("export") && command != QLatin1String("import"))
        return usage(QStringLiteral("unknown command '%1'").arg(command));

    QString input, output, catalogue, language;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        QString *value = option == QLatin1String("--input")       ? &input
                         : option == QLatin1String("--output")    ? &output
                         : option == QLatin1String("--catalogue") ? &catalogue
                         : option == QLatin1String("--language")  ? &language
                                                                  : nullptr;
        if (!value)
            return usage(QStringLiteral("unknown option '%1'").arg(option));
        if (args.isEmpty() || args.first().isEmpty() ||
            args.first().startsWith(QLatin1String("--")))
            return usage(QStringLiteral("%1 needs a value").arg(option));
        *value = args.takeFirst();
    }
    if (catalogue.isEmpty())
        catalogue = TLanguage::CatalogPath();
    catalogue = QDir::cleanPath(QDir::current().absoluteFilePath(catalogue));

    int languageId = 0;
    if (!language.isEmpty()) {
        bool ok = false;
        languageId = language.toInt(&ok);
        if (!ok || languageId <= 0)
            return usage(
                QStringLiteral("'%1' is no language id (a number such as 2052)").arg(language));
    }

    QString error;
    if (command == QLatin1String("export")) {
        if (languageId == 0 || output.isEmpty())
            return usage(QStringLiteral("export needs --language and --output"));
        if (!input.isEmpty())
            return usage(QStringLiteral("export takes no --input"));
        if (!ExportTranslationFile(catalogue, languageId, output, &error))
            return fail(error);
        std::printf("Exported %s (%d) to %s\n", qPrintable(LanguageDisplayName(languageId)),
                    languageId, qPrintable(QDir::toNativeSeparators(output)));
        return 0;
    }
    if (input.isEmpty())
        return usage(QStringLiteral("import needs --input"));
    if (!output.isEmpty())
        return usage(QStringLiteral("import takes no --output"));
    int imported = 0;
    if (!ImportTranslationFile(catalogue, input, languageId, &error, &imported))
        return fail(error);
    std::printf("Imported %d texts into %s\n", imported,
                qPrintable(QDir::toNativeSeparators(catalogue)));
    return 0;
}

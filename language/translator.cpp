#include "translator.h"

#include "catalogue.h"
#include "data/connection.h"
#include "data/errors.h"
#include "data/languageids.h"
#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <memory>

void CatalogueTranslator::Load(Connection &conn, int languageId)
{
    m_texts = TranslationsOf(conn, languageId);
    m_locale = LanguageLocale(languageId);
}

QString CatalogueTranslator::translate(const char *context, const char *sourceText,
                                       const char *disambiguation, int) const
{
    if (m_texts.isEmpty() || !sourceText)
        return QString();
    const QString ctx = QString::fromUtf8(context);
    const QString source = QString::fromUtf8(sourceText);
    const QString comment = QString::fromUtf8(disambiguation);
    auto found = m_texts.constFind(TranslationKey(ctx, source, comment));
    // As Qt's own translator: a text asked for with a disambiguation the file does not carry
    // takes the translation without one.
    if (found == m_texts.constEnd() && !comment.isEmpty())
        found = m_texts.constFind(TranslationKey(ctx, source, QString()));
    return found == m_texts.constEnd() ? QString() : *found;
}

namespace {

std::unique_ptr<CatalogueTranslator> g_catalogue;
std::unique_ptr<QTranslator> g_qt;

} // namespace

int InstallInterfaceLanguage(int languageId)
{
    if (g_catalogue)
        QCoreApplication::removeTranslator(g_catalogue.get());
    if (g_qt)
        QCoreApplication::removeTranslator(g_qt.get());
    g_catalogue.reset();
    g_qt.reset();
    const QString locale = LanguageLocale(languageId);
    if (languageId == kEnglishLanguageID || locale.isEmpty()) {
        QLocale::setDefault(QLocale::system());
        return 0;
    }
    QLocale::setDefault(QLocale(locale));

    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + locale,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        g_qt = std::move(qt);
    }

    auto catalogue = std::make_unique<CatalogueTranslator>();
    try {
        Connection conn;
        OpenCatalogue(conn, TLanguage::CatalogPath());
        catalogue->Load(conn, languageId);
    } catch (const AppError &) {
        return 0;
    }
    const int count = catalogue->count();
    QCoreApplication::installTranslator(catalogue.get());
    g_catalogue = std::move(catalogue);
    return count;
}

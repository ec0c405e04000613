#pragma once
// The interface language at run time: the catalogue's translations of one language served to
// Qt's translation lookup (tr, QCoreApplication::translate, the forms' retranslateUi), Qt's
// own translation of its dialogs and buttons, and the language's locale for dates and numbers.
#include <QHash>
#include <QTranslator>

class Connection;

class CatalogueTranslator : public QTranslator
{
    Q_OBJECT
public:
    explicit CatalogueTranslator(QObject *parent = nullptr) : QTranslator(parent) {}

    // Reads the language's translations from the open catalogue, once; throws DbError.
    void Load(Connection &conn, int languageId);

    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return m_texts.isEmpty(); }
    int count() const { return m_texts.size(); }

private:
    QHash<QString, QString> m_texts;
    QString m_locale;
};

// Installs the language `languageId` for the run, before any form is made: the catalogue's
// translations (from the program folder's catalogue), Qt's own translation of the language
// and its locale as the default. English (1033) installs nothing and keeps the system's
// locale. A language installed before is removed first. Returns the number of the catalogue's
// translations installed; a catalogue that can not be read installs none (its forms say so).
int InstallInterfaceLanguage(int languageId);

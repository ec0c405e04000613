#pragma once
// The language component every form carries (Language1). It keeps the texts of forms per
// language in the catalogue DB/Language.mdb beside the hotel database, over a connection of
// its own: it captures the form's texts into the catalogue, loads them back onto the form,
// and hands out the form's numbered dialog texts and titles.
//
// Rows are selected by the program's product name (AppName), the form's objectName and the
// component's language id. The texts of one component are stored in the line format of
// language/propertytext.h.
#include "data/connection.h"
#include "propertytext.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class Query;

class TLanguage : public QObject
{
    Q_OBJECT
public:
    // Opens the catalogue; creates the DB folder and the catalogue with its tables when
    // missing (language/catalogue.h). A catalogue that can be neither read nor created leaves the
    // component without one (Readable() false): it loads nothing, captures nothing, and hands out
    // the program's own dialog texts and titles.
    explicit TLanguage(QObject *parent);
    ~TLanguage() override;

    int LanguageID = 0;
    void SetLanguageID(int id) { LanguageID = id; }

    // The program's product name from the version block.
    QString AppName;

    // The form's dialog texts, one per line, as the catalogue last loaded them.
    QStringList Variable;

    // Setting Active to true loads the language, every time it is set so.
    void SetActive(bool active);
    bool Active() const { return m_active; }

    // Applies the catalogue's texts for the form and language to the form and its
    // components, and loads the form's dialog texts.
    void LoadLanguage(LoadScope scope = LoadScope::All);

    // Applies the catalogue's texts of one component the form made after its language was
    // loaded (its texts set by the program), so that the catalogue's captured texts win.
    void LoadComponent(QObject *component);

    // The capture: writes the texts of the form and its components into the catalogue, in one
    // transaction. When the form has been captured before for this language, asks
    // `confirmRebuild` first; false leaves the catalogue as it was. Returns whether rows were
    // written. Does nothing when the component does not sit on a form.
    bool SaveLanguage(const std::function<bool()> &confirmRebuild);

    // Dialog text `number`: the catalogue's line when it has a non-empty one, else the
    // program's own wording (language/dialogtexts.h) in the language of the run (translated
    // under the form's name), else empty.
    QString GetDialogText(int number) const;
    // Dialog title `number`, read from the catalogue at each call; the program's own title
    // when the catalogue has none.
    QString GetDialogTitle(int number) const;
    // The language ids the catalogue holds texts for: captured forms and translations.
    QStringList GetLanguageList() const;

    // Whether the catalogue could be read; else why not.
    bool Readable() const { return m_unreadable.isEmpty(); }
    QString UnreadableReason() const { return m_unreadable; }

    // The catalogue file of this program folder.
    static QString CatalogPath();
    // The catalogue's connection (tests read the tables through it).
    Connection &connection() { return m_conn; }

signals:
    // Emitted once the form's designer setup has finished (the form's setupUi connects its
    // slot on_Language1_FormCreated by name); the form base loads the language there.
    void FormCreated();

protected:
    void connectNotify(const QMetaMethod &signal) override;

private:
    QWidget *form() const;
    QString formName() const;
    // The selection lines after the first line of every statement on the form's rows.
    void addSelection(Query &query) const;
    void openCatalogue();

    mutable Connection m_conn;
    bool m_active = false;
    QString m_unreadable; // why the catalogue could not be read; empty when it could
};

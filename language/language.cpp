#include "language.h"

#include "catalogue.h"
#include "data/appdir.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "data/fileversion.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "dialogtexts.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QWidget>

namespace {

// The lines of a stored text (CR LF, LF or CR between lines); a final line break does not
// start another line.
QStringList textLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(breaks);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A built-in dialog text in the language of the run: the translation under the form's name,
// or the text itself.
QString translatedBuiltIn(const QString &form, const QString &text)
{
    if (text.isEmpty())
        return text;
    return QCoreApplication::translate(form.toUtf8().constData(), text.toUtf8().constData());
}

} // namespace

TLanguage::TLanguage(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Language1"));
    AppName = TFileVersion().GetValue(QStringLiteral("ProductName"));
    // The catalogue holds interface texts only: when it cannot be read or made, the form
    // shows its built-in texts and the program goes on.
    try {
        openCatalogue();
    } catch (const AppError &e) {
        m_conn.Close();
        m_unreadable = e.text();
        if (m_unreadable.isEmpty())
            m_unreadable = QStringLiteral("The file could not be read.");
    }
}

void TLanguage::openCatalogue()
{
    OpenCatalogue(m_conn, CatalogPath());
}

TLanguage::~TLanguage() = default;

QString TLanguage::CatalogPath()
{
    return ProgramPath(QStringLiteral("DB/Language.mdb"));
}

QWidget *TLanguage::form() const
{
    return qobject_cast<QWidget *>(parent());
}

QString TLanguage::formName() const
{
    return parent() ? parent()->objectName() : QString();
}

void TLanguage::addSelection(Query &query) const
{
    query.Add(QStringLiteral("where"));
    query.Add(QStringLiteral("AppName=") + QuotedStr(AppName));
    query.Add(QStringLiteral("and"));
    query.Add(QStringLiteral("FormName=") + QuotedStr(formName()));
    query.Add(QStringLiteral("and"));
    query.Add(QStringLiteral("LanguageID=") + QString::number(LanguageID));
}

void TLanguage::connectNotify(const QMetaMethod &signal)
{
    // uic's setupUi ends by connecting the form's slots by name; the form base's slot for
    // this signal is connected then, which tells that the form's widgets exist.
    if (signal == QMetaMethod::fromSignal(&TLanguage::FormCreated))
        emit FormCreated();
}

void TLanguage::SetActive(bool active)
{
    m_active = active;
    if (active)
        LoadLanguage();
}

void TLanguage::LoadLanguage(LoadScope scope)
{
    if (!Readable())
        return;
    if (scope == LoadScope::All) {
        Variable.clear(); // a form or language without rows has no dialog texts of its own
        // Ordered, so that "the last row read decides" gives the same list every time.
        Query dialogs(m_conn);
        dialogs.Add(QStringLiteral("Select * From Dialog_Table"));
        addSelection(dialogs);
        dialogs.Add(QStringLiteral("Order By DialogID, ID"));
        dialogs.Open();
        for (; !dialogs.Eof(); dialogs.Next())
            Variable = textLines(dialogs.AsString(QStringLiteral("MessageStr")));
    }

    QWidget *owner = form();
    if (!owner)
        return;
    Query rows(m_conn);
    rows.Add(QStringLiteral("Select * From Component_Table"));
    addSelection(rows);
    rows.Add(QStringLiteral("Order By ID"));
    rows.Open();
    if (rows.IsEmpty())
        return;
    const QList<QObject *> components = FormComponents(owner, {this});
    for (; !rows.Eof(); rows.Next()) {
        const QString name = rows.AsString(QStringLiteral("ComponentName"));
        QObject *target = nullptr;
        for (QObject *c : components)
            if (c->objectName() == name) {
                target = c;
                break;
            }
        if (!target && name == owner->objectName())
            target = owner;
        if (target)
            ApplyPropertyLines(
                target, textLines(rows.AsString(QStringLiteral("ComponentProperty"))), scope);
    }
}

void TLanguage::LoadComponent(QObject *component)
{
    if (!Readable() || !component || !form())
        return;
    Query rows(m_conn);
    rows.Add(QStringLiteral("Select * From Component_Table"));
    addSelection(rows);
    rows.Add(QStringLiteral("and"));
    rows.Add(QStringLiteral("ComponentName=") + QuotedStr(component->objectName()));
    rows.Add(QStringLiteral("Order By ID"));
    rows.Open();
    for (; !rows.Eof(); rows.Next())
        ApplyPropertyLines(component,
                           textLines(rows.AsString(QStringLiteral("ComponentProperty"))));
}

bool TLanguage::SaveLanguage(const std::function<bool()> &confirmRebuild)
{
    QWidget *owner = form();
    if (!owner || !Readable())
        return false;
    Query existing(m_conn);
    existing.Add(QStringLiteral("Select * From Component_Table"));
    addSelection(existing);
    existing.Open();
    const bool rebuild = !existing.IsEmpty();
    existing.Close();
    if (rebuild && !(confirmRebuild && confirmRebuild()))
        return false;

    Transaction transaction(m_conn);
    if (rebuild) {
        Query remove(m_conn);
        remove.Add(QStringLiteral("Delete From Component_Table"));
        addSelection(remove);
        remove.ExecSQL();
    }
    auto store = [&](QObject *object, bool withItems) {
        InsertRow(m_conn, QStringLiteral("Component_Table"),
                  {{QStringLiteral("AppName"), AppName},
                   {QStringLiteral("FormName"), owner->objectName()},
                   {QStringLiteral("LanguageID"), LanguageID},
                   {QStringLiteral("ComponentName"), object->objectName()},
                   {QStringLiteral("ComponentClass"),
                    QString::fromLatin1(object->metaObject()->className())},
                   {QStringLiteral("ComponentProperty"),
                    CapturePropertyLines(object, withItems).join(QLatin1String("\r\n"))}});
    };
    for (QObject *component : FormComponents(owner, {this}))
        store(component, true);
    store(owner, false);
    transaction.Commit();
    return true;
}

QString TLanguage::GetDialogText(int number) const
{
    if (number >= 0 && number < Variable.size() && !Variable.at(number).isEmpty())
        return Variable.at(number);
    return translatedBuiltIn(formName(), BuiltInDialogText(formName(), number));
}

QString TLanguage::GetDialogTitle(int number) const
{
    if (!Readable())
        return translatedBuiltIn(formName(), BuiltInDialogTitle(formName(), number));
    Query q(m_conn);
    q.Add(QStringLiteral("Select Title from Dialog_Table"));
    addSelection(q);
    q.Add(QStringLiteral("and"));
    q.Add(QStringLiteral("DialogID=") + QString::number(number));
    q.Add(QStringLiteral("Order By ID"));
    q.Open();
    const QString title = q.IsEmpty() ? QString() : q.AsString(QStringLiteral("Title"));
    if (!title.isEmpty())
        return title;
    return translatedBuiltIn(formName(), BuiltInDialogTitle(formName(), number));
}

QStringList TLanguage::GetLanguageList() const
{
    if (!Readable())
        return {};
    // The languages of captured forms, then those of translations.
    QStringList ids;
    Query q(m_conn);
    q.Add(QStringLiteral("Select DISTINCT LanguageID From Component_Table"));
    q.Open();
    for (; !q.Eof(); q.Next())
        ids.append(q.AsString(QStringLiteral("LanguageID")));
    for (const CatalogueLanguage &language : CatalogueLanguages(m_conn))
        if (!ids.contains(QString::number(language.id)))
            ids.append(QString::number(language.id));
    return ids;
}

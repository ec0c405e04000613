#pragma once
// What the program's tests share: a scripted dialog seam, a hotel database in a
// temporary program folder, and a way to answer modal forms.
#include "data/dm.h"
#include "ui/dialogs.h"

#include <QList>
#include <QMap>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <optional>

class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString text, caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    QList<Shown> messages;
    QList<MsgResult> answers;                  // consumed in order; Ok / Yes when empty
    QList<std::optional<QString>> inputs;      // nullopt cancels
    QList<QPair<QString, QString>> inputBoxes; // caption and prompt of each input box shown
    QStringList files;                         // empty text cancels
    QStringList offered;                       // suggested name or start folder of each file dialog
    // Runs while a message box is shown, before it is answered: what the event loop of a
    // real box would handle meanwhile (a socket, a timer).
    std::function<void(const Shown &)> whileShown;

    MsgResult message(const QString &text, const QString &caption, MsgIcon icon,
                      MsgButtons buttons) override;
    bool inputText(const QString &caption, const QString &prompt, QString &value) override;
    QString openFileName(const QString &caption, const QString &filter,
                         const QString &folder) override;
    QString saveFileName(const QString &caption, const QString &filter,
                         const QString &suggested) override;

    QStringList texts() const;
    void clear() { messages.clear(); }
};

// A program folder in a temporary directory with DB/lock.mdb, the data module connected
// to it and the scripted dialogs installed. One per test function.
class TestHotel
{
public:
    explicit TestHotel(bool demo = true);
    ~TestHotel();

    QString dir() const { return m_dir.path(); }
    QString dbPath() const;
    ScriptedDialogs dialogs;
    Tdm module;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql);
    // The detail lines of EXPLAIN QUERY PLAN for a statement of several lines.
    QStringList queryPlan(const QStringList &lines);
    void writeIni(const QString &text);
    // Makes the message library of the build reachable from the program folder.
    void installMessageLibrary();
    // Makes the database file read-only and opens it again. Where file modes do not bind
    // (the superuser), the connection is made to refuse writes the way SQLite refuses them
    // on a read-only file.
    void makeDatabaseReadOnly();
    // Logs on an operator with every right (stored directly).
    void logOnAdministrator(const QString &staffer = QStringLiteral("admin"));

private:
    QTemporaryDir m_dir;
};

// The virtual encoder of the card library, in a folder of its own, driven by the
// virtual-encoder tool of the build.
class VirtualEncoder
{
public:
    VirtualEncoder();
    ~VirtualEncoder();
    QString dir() const { return m_dir.path(); }
    // Runs the tool with these arguments; returns its standard output (fails the test run
    // on a non-zero exit).
    QString run(const QStringList &arguments);
    void connectOn(int port = 1, const QString &code = QStringLiteral("0A0B0C0D"));
    void putBlank() { run({QStringLiteral("put-blank")}); }
    void take() { run({QStringLiteral("take")}); }
    // The `Name: value` lines of `show` as a map; empty for no card.
    QMap<QString, QString> show();

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// Runs `answer` on the modal widget with this objectName once it is the active modal
// widget (polling the event loop), for forms that a command opens with exec().
void WhenModalOpens(const QString &objectName, std::function<void(QWidget *)> answer);

// The widget of a form by its objectName; ends the test run when it is missing.
template <typename T> T *child(QWidget *form, const char *name)
{
    T *w = form->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no %s in %s", name, qPrintable(form->objectName()));
    return w;
}

// A test main that runs the class under the program's application object.
#define QUENMAR_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QuenmarApplication app(argc, argv);                                                        \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

class QAbstractItemModel;

// Writes a list as a report (PRINT_... kind) into a PDF file through the staged report
// library, as "Save PDF..." does; false when the library refuses.
bool SaveReportPdf(QAbstractItemModel *list, int kind, const QString &file);
// The text of a PDF file, laid out as on the page (pdftotext -layout), or in reading order.
QString PdfText(const QString &file, bool layout = true);

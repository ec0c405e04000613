#include "testhotel.h"

#include "app/logon.h"
#include "data/appdir.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/schema.h"
#include "data/settings.h"
#include "print/print.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>
#include <unistd.h>

MsgResult ScriptedDialogs::message(const QString &text, const QString &caption, MsgIcon icon,
                                   MsgButtons buttons)
{
    messages.append({text, caption, icon, buttons});
    if (whileShown)
        whileShown(messages.last());
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

bool ScriptedDialogs::inputText(const QString &caption, const QString &prompt, QString &value)
{
    inputBoxes.append({caption, prompt});
    if (inputs.isEmpty())
        return false;
    const std::optional<QString> next = inputs.takeFirst();
    if (!next)
        return false;
    value = *next;
    return true;
}

QString ScriptedDialogs::openFileName(const QString &, const QString &, const QString &folder)
{
    offered.append(folder);
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::saveFileName(const QString &, const QString &, const QString &suggested)
{
    offered.append(suggested);
    return files.isEmpty() ? QString() : files.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList t;
    for (const Shown &m : messages)
        t.append(m.text);
    return t;
}

TestHotel::TestHotel(bool demo)
{
    SetProgramDir(m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("DB"));
    // The pictures of the room board, as in the staged program folder.
    QFile::link(QStringLiteral(QUENMAR_STAGE_DIR "/pic"), m_dir.path() + QStringLiteral("/pic"));
    QString error;
    if (!CreateHotelDatabase(dbPath(), demo, &error))
        qFatal("cannot create the test database: %s", qPrintable(error));
    setDialogs(&dialogs);
    dm = &module;
    LockSystemInfo = TLockSystemInfo();
    if (!OpenDatabaseFile(dbPath()))
        qFatal("cannot open the test database");
}

TestHotel::~TestHotel()
{
    dm = nullptr;
    setDialogs(nullptr);
    SetNow(QDateTime());
    SetProgramDir(QString());
}

void TestHotel::makeDatabaseReadOnly()
{
    const QString path = dbPath();
    if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther) ||
        !OpenDatabaseFile(path))
        qFatal("cannot reopen the test database read-only");
    if (::access(QFile::encodeName(path).constData(), W_OK) == 0)
        exec(QStringLiteral("PRAGMA query_only=ON"));
}

QString TestHotel::dbPath() const
{
    return m_dir.path() + QStringLiteral("/DB/lock.mdb");
}

void TestHotel::exec(const QString &sql)
{
    QSqlQuery q(module.conn.database());
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

QVariant TestHotel::scalar(const QString &sql)
{
    QSqlQuery q(module.conn.database());
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q.next() ? q.value(0) : QVariant();
}

QStringList TestHotel::queryPlan(const QStringList &lines)
{
    QSqlQuery q(module.conn.database());
    const QString sql = QStringLiteral("EXPLAIN QUERY PLAN ") + lines.join('\n');
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    QStringList details;
    while (q.next())
        details.append(q.value(3).toString());
    return details;
}

void TestHotel::writeIni(const QString &text)
{
    QFile f(m_dir.path() + QStringLiteral("/Quenmar.ini"));
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
}

void TestHotel::logOnAdministrator(const QString &staffer)
{
    CreateFirstAccount(staffer, QStringLiteral("secret"));
}

void WhenModalOpens(const QString &objectName, std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, objectName]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != objectName)
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

void TestHotel::installMessageLibrary()
{
    QFile::link(QStringLiteral(QUENMAR_STAGE_DIR "/Dll"), m_dir.path() + QStringLiteral("/Dll"));
}

VirtualEncoder::VirtualEncoder() : m_previous(qgetenv("KESTRUNE_ENCODER_DIR"))
{
    qputenv("KESTRUNE_ENCODER_DIR", m_dir.path().toLocal8Bit());
}

VirtualEncoder::~VirtualEncoder()
{
    if (m_previous.isEmpty())
        qunsetenv("KESTRUNE_ENCODER_DIR");
    else
        qputenv("KESTRUNE_ENCODER_DIR", m_previous);
}

QString VirtualEncoder::run(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(QUENMAR_STAGE_DIR "/virtual-encoder"),
               QStringList{QStringLiteral("--dir"), m_dir.path()} + arguments);
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        qFatal("virtual-encoder %s failed: %s", qPrintable(arguments.join(' ')),
               tool.readAllStandardError().constData());
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void VirtualEncoder::connectOn(int port, const QString &code)
{
    run({QStringLiteral("connect"), QStringLiteral("--port"), QString::number(port),
         QStringLiteral("--code"), code});
}

QMap<QString, QString> VirtualEncoder::show()
{
    QMap<QString, QString> fields;
    for (const QString &line : run({QStringLiteral("show")}).split('\n', Qt::SkipEmptyParts)) {
        const int colon = line.indexOf(QStringLiteral(": "));
        if (colon > 0)
            fields.insert(line.left(colon), line.mid(colon + 2).trimmed());
    }
    return fields;
}

bool SaveReportPdf(QAbstractItemModel *list, int kind, const QString &file)
{
    void *library = dlopen(QUENMAR_STAGE_DIR "/Dll/libPrint.so", RTLD_NOW | RTLD_NODELETE);
    if (!library)
        qFatal("%s", dlerror());
    auto entry = reinterpret_cast<PrintFormSavePdfFn>(dlsym(library, "PrintForm_SavePdf"));
    TPrintFromDll record{};
    record.List = list;
    record.Kind = uint8_t(kind);
    const bool ok = entry && entry(record, QFile::encodeName(file).constData()) == 1;
    dlclose(library);
    return ok;
}

QString PdfText(const QString &file, bool layout)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {layout ? QStringLiteral("-layout") : QStringLiteral("-raw"), file, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        qFatal("pdftotext %s failed", qPrintable(file));
    return QString::fromUtf8(tool.readAllStandardOutput());
}

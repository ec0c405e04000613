#include "cardcommand.h"

#include "bookkeeping.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "data/transaction.h"
#include "ui/errorguard.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <exception>

namespace {
// The card command under way, if any: the outermost one, the only one that can start.
CardCommand *running = nullptr;
} // namespace

bool CardCommandRunning()
{
    return running != nullptr;
}

bool CardCommandRefused()
{
    return CardBusy || running;
}

void RepaintOnly()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PauseWithoutInput(int ms)
{
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

CardCommand::CardCommand(QWidget *button) : m_button(button)
{
    // CardBusy alone is not enough: the main window's timer clears it every 500 ms, also
    // while a command waits in a message box or a pause.
    if (CardCommandRefused())
        return;
    CardBusy = true;
    m_started = true;
    running = this;
    if (m_button)
        m_button->setEnabled(false);
    RepaintOnly(); // the disabled button is drawn before the card call
}

CardCommand::~CardCommand()
{
    if (running == this)
        running = nullptr;
    // A hold that no recording joined keeps what the command stored (a copy of a card is
    // recorded without a transaction of its own) and lets the counters go.
    if (m_held && m_held->Connected() && !m_held->EndHold() && std::uncaught_exceptions() == 0)
        ShowTopLevelError(QCoreApplication::translate(
            "CardCommand", "The card command could not store its records."));
    if (m_started && !m_keepDisabled && m_button)
        m_button->setEnabled(true);
}

QString CounterBusyText()
{
    return QCoreApplication::translate("CardCommand",
                                       "Another workstation is issuing a card with the same "
                                       "serial counter. No card was written; try again in a "
                                       "moment.");
}

void HoldCountersForCardCommand(Connection &conn)
{
    if (!running || conn.Holding())
        return;
    try {
        conn.BeginHold();
        // A database that cannot be written (a read-only file, a read-only server) may
        // still begin the hold; a write that changes nothing finds out before the card call.
        if (conn.Holding()) {
            Query probe(conn);
            probe.Add(QStringLiteral("Update AllCardSn Set CardSn=CardSn Where 1=0"));
            probe.ExecSQL();
        }
    } catch (const DbError &e) {
        // Nothing is written: a card that cannot be recorded would be a valid key without a
        // record, and its serial would be handed out again.
        if (conn.Holding())
            conn.RollbackTrans();
        if (e.text().contains(QStringLiteral("locked"), Qt::CaseInsensitive) ||
            e.text().contains(QStringLiteral("busy"), Qt::CaseInsensitive))
            throw DbError(CounterBusyText());
        throw DbError(NotWritableText(e.text()));
    }
    if (conn.Holding())
        running->m_held = &conn;
}

QString NotWritableText(const QString &databaseText)
{
    return QCoreApplication::translate("CardCommand",
                                       "The database cannot store the card's records: %1. "
                                       "No card was written.")
        .arg(databaseText);
}

QString NotRecordedText(const QString &databaseText)
{
    const QString lead = QCoreApplication::translate(
        "CardCommand", "The card was written but it was not recorded: ");
    if (databaseText.startsWith(lead))
        return databaseText; // told once, however deep the steps went
    // The database's own reason, without what the database driver appends to it ("Unable to
    // fetch row", "Unable to execute statement") and without a full stop of its own.
    static const QRegularExpression driver(QStringLiteral("\\s*\\bUnable to [^.]*\\.?\\s*$"));
    QString reason = databaseText;
    reason.remove(driver);
    reason = reason.trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    if (reason.isEmpty())
        reason = databaseText.trimmed();
    return lead + reason +
           QCoreApplication::translate("CardCommand", ". Take the card back and issue it again.");
}

void RecordWrittenCard(Connection &conn, const std::function<void()> &steps)
{
    try {
        Transaction transaction(conn);
        steps();
        transaction.Commit();
    } catch (const AppError &e) {
        throw DbError(NotRecordedText(e.text()));
    }
}

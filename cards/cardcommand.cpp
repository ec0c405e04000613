#include "cardcommand.h"

#include "bookkeeping.h"
#include "data/errors.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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
    if (CardBusy)
        return;
    CardBusy = true;
    m_started = true;
    if (m_button)
        m_button->setEnabled(false);
    RepaintOnly(); // the disabled button is drawn before the card call
}

CardCommand::~CardCommand()
{
    if (m_started && !m_keepDisabled && m_button)
        m_button->setEnabled(true);
}

QString NotRecordedText(const QString &databaseText)
{
    return QStringLiteral("The card was written but it was not recorded: %1. "
                          "Take the card back and issue it again.")
        .arg(databaseText);
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

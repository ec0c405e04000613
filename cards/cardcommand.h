#pragma once
// What every card command shares: the guard around the card call and the recording of a
// card that was written.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class Connection;

// Starts a card command unless another is under way or CardBusy is set. A command is under
// way from its start to the end of its scope, every nested wait and message box included,
// so a timer or a socket handled meanwhile (a key request of the property management
// system) cannot start another. While it runs, the button
// that started it is disabled, and the window is repainted without taking any key or click,
// so nothing the operator does can change what the command checked before its card call.
// The button is enabled again on every way out of the scope, errors included, unless the
// command keeps it disabled (a check-in that succeeded).
//
//     CardCommand command(ui->Issue_Bt);
//     if (!command.Started())
//         return;
// True while a card command is under way.
bool CardCommandRunning();
// True when a card command cannot start now: one is under way, or CardBusy is still set
// (a command ended before the main window's next 500 ms tick).
bool CardCommandRefused();

class CardCommand
{
public:
    explicit CardCommand(QWidget *button);
    ~CardCommand();
    CardCommand(const CardCommand &) = delete;
    CardCommand &operator=(const CardCommand &) = delete;

    bool Started() const { return m_started; }
    void KeepButtonDisabled() { m_keepDisabled = true; }

private:
    QPointer<QWidget> m_button;
    Connection *m_held = nullptr;
    friend void HoldCountersForCardCommand(Connection &conn);
    bool m_started = false;
    bool m_keepDisabled = false;
};

// While a card command runs, the serial counter it reads is held until its card is
// recorded (RecordWrittenCard joins the hold) or the command ends (what it stored is kept),
// so two workstations never hand out the same serial. The serial reads call this; outside
// a card command it does nothing. A wait of more than a few seconds for another workstation
// raises a DbError saying so, before any card is written; so does any other failure to
// begin the hold (a database that cannot be written), with the database's reason.
void HoldCountersForCardCommand(Connection &conn);
QString CounterBusyText();
QString NotWritableText(const QString &databaseText);

// Lets pending paint events through, but no key or click.
void RepaintOnly();
// Lets `ms` milliseconds pass (so the operator sees a result) while paint events and timers
// run; no key or click is taken meanwhile.
void PauseWithoutInput(int ms);

// The database steps after a successful card call, in one transaction. A database error
// undoes every step and is raised again as a DbError saying that the card was written but
// not recorded, so the operator takes the card back and issues it again.
void RecordWrittenCard(Connection &conn, const std::function<void()> &steps);
// That sentence, with the database's reason once and in its own words (what the database
// driver adds to it left out).
QString NotRecordedText(const QString &databaseText);

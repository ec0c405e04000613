// A second workstation for the serial counter tests: reads the next guest card serial of a
// room in a card command, keeps the "card call" going for a while, then records the card.
//   serial-worker --file PATH | --server NAME USER PASSWORD   ROOM HOLD_MS
// Prints "serial N" once the serial is read and "recorded" at the end; an error is printed
// as "error TEXT" with exit code 3.
//   serial-worker --file PATH | --server NAME USER PASSWORD   --log COUNT
// appends COUNT rows to the operation log, each in a transaction of its own, and prints
// "logged".
#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/serverdb.h"
#include "data/settings.h"
#include "oplog/operationlog.h"

#include <QApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    Tdm module;
    dm = &module;
    try {
        if (args.value(0) == QLatin1String("--file")) {
            LockSystemInfo.ConnType = 0;
            if (!OpenDatabaseFile(args.value(1)))
                throw AppError(QStringLiteral("cannot open ") + args.value(1));
            args = args.mid(2);
        } else {
            LockSystemInfo.ConnType = 1;
            SetServerLogin(module.conn, args.value(1), args.value(2), args.value(3));
            module.conn.Open();
            args = args.mid(4);
        }
        if (args.value(0) == QLatin1String("--log")) {
            LockSystemInfo.Staffer = QStringLiteral("worker%1").arg(app.applicationPid());
            for (int i = 0; i < args.value(1).toInt(); ++i)
                LogOperation(module.conn, LogAction::Backup, QString(), QString::number(i));
            std::printf("logged\n");
            dm = nullptr;
            return 0;
        }
        const QString room = args.value(0);
        CardCommand command(nullptr);
        uint16_t serial[5] = {1, 0, 0, 0, 0};
        GetRoomCardSn(room, serial);
        std::printf("serial %d\n", serial[0] + serial[1] * 256);
        std::fflush(stdout);
        QThread::msleep(args.value(1).toULong());
        RecordWrittenCard(module.conn, [&] { IncRoomCardSn(room); });
        std::printf("recorded\n");
    } catch (const AppError &e) {
        std::printf("error %s\n", qPrintable(e.text()));
        return 3;
    }
    dm = nullptr;
    return 0;
}

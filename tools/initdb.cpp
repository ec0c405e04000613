// quenmar-initdb: creates a delivered hotel database.
//   quenmar-initdb FILE          every table with its reference rows
//   quenmar-initdb --demo FILE   and a small demo hotel
//   quenmar-initdb --server HOST[:PORT] --user USER [--password-file FILE]
//                  [--demo | --from FILE]
//       the same on a database server (the database quorvel, created when missing), for
//       several workstations; --from copies every row of an existing hotel database file.
//       Without --password-file the server's usual ways apply (PGPASSWORD, ~/.pgpass).
//   quenmar-initdb --verify-log FILE
//   quenmar-initdb --verify-log --server HOST[:PORT] --user USER [--password-file FILE]
//       checks the operation log's chain of hashes: "Log intact" (exit status 0), or the first
//       row where the chain breaks (exit status 1).
#include "data/connection.h"
#include "data/errors.h"
#include "data/schema.h"
#include "data/serverdb.h"
#include "data/settings.h"
#include "oplog/operationlog.h"
#include "operators/operators.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quenmar-initdb [--demo] FILE\n"
                         "       quenmar-initdb --server HOST[:PORT] --user USER "
                         "[--password-file FILE] [--demo | --from FILE]\n"
                         "       quenmar-initdb --verify-log FILE\n"
                         "       quenmar-initdb --verify-log --server HOST[:PORT] --user USER "
                         "[--password-file FILE]\n");
    return 2;
}

// The first line of a password file; false (told on stderr) when it cannot be read.
bool readPassword(const QString &passwordFile, QString *password)
{
    if (passwordFile.isEmpty())
        return true;
    QFile f(passwordFile);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quenmar-initdb: %s: %s\n", qPrintable(passwordFile),
                     qPrintable(f.errorString()));
        return false;
    }
    *password = QString::fromUtf8(f.readLine()).remove('\n').remove('\r');
    return true;
}

// Takes the value of an option ("--user U") out of the arguments; false when the option is
// there without a value.
bool takeValue(QStringList &args, const QString &option, QString *value)
{
    const int i = args.indexOf(option);
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    *value = args[i + 1];
    args.remove(i, 2);
    return true;
}

int serverMain(QStringList args, bool demo)
{
    QString server, user, passwordFile, from;
    if (!takeValue(args, QStringLiteral("--server"), &server) ||
        !takeValue(args, QStringLiteral("--user"), &user) ||
        !takeValue(args, QStringLiteral("--password-file"), &passwordFile) ||
        !takeValue(args, QStringLiteral("--from"), &from) || !args.isEmpty() || user.isEmpty() ||
        (demo && !from.isEmpty()))
        return usage();
    QString password;
    if (!readPassword(passwordFile, &password))
        return 1;
    try {
        Connection conn;
        SetServerLogin(conn, server, user, password);
        // Plain passwords of an older file arrive hashed.
        CreateServerHotelDatabase(conn, demo, from,
                                  [](Connection &server) { HashPlainPasswordRows(server); });
    } catch (const AppError &e) {
        std::fprintf(stderr, "quenmar-initdb: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("%s: hotel database %s created%s\n",
                qPrintable(server.isEmpty() ? QStringLiteral("local server") : server),
                kServerDatabase,
                !from.isEmpty() ? qPrintable(QStringLiteral(" with the rows of ") + from)
                : demo          ? " with the demo hotel"
                                : "");
    return 0;
}

// Checks the operation log of a database file, or of the server's hotel database.
int verifyMain(QStringList args)
{
    Connection conn;
    QString name;
    if (args.contains(QStringLiteral("--server"))) {
        QString server, user, passwordFile, password;
        if (!takeValue(args, QStringLiteral("--server"), &server) ||
            !takeValue(args, QStringLiteral("--user"), &user) ||
            !takeValue(args, QStringLiteral("--password-file"), &passwordFile) ||
            !args.isEmpty() || user.isEmpty())
            return usage();
        if (!readPassword(passwordFile, &password))
            return 1;
        SetServerLogin(conn, server, user, password);
        name = server.isEmpty() ? QStringLiteral("local server") : server;
    } else {
        if (args.size() != 1 || args[0].startsWith('-'))
            return usage();
        conn.ConnectionString = JetConnectionString(args[0]);
        conn.DatabaseFile = args[0];
        name = args[0];
    }
    try {
        conn.Open();
        if (!conn.database().tables().contains(QStringLiteral("OperationLog"),
                                               Qt::CaseInsensitive)) {
            std::fprintf(stderr, "quenmar-initdb: %s has no operation log\n", qPrintable(name));
            return 1;
        }
        const LogCheck check = VerifyOperationLog(conn);
        std::printf("%s: %lld rows checked: %s\n", qPrintable(name),
                    static_cast<long long>(check.Rows), qPrintable(check.Text()));
        return check.Intact ? 0 : 1;
    } catch (const AppError &e) {
        std::fprintf(stderr, "quenmar-initdb: %s\n", qPrintable(e.text()));
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.removeAll(QStringLiteral("--verify-log")) > 0)
        return verifyMain(args);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.contains(QStringLiteral("--server")))
        return serverMain(args, demo);
    if (args.size() != 1 || args[0].startsWith('-'))
        return usage();
    const QString path = args[0];
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        QString error;
        if (!CreateHotelDatabase(path, demo, &error)) {
            std::fprintf(stderr, "quenmar-initdb: %s\n", qPrintable(error));
            return 1;
        }
    } catch (const AppError &e) {
        std::fprintf(stderr, "quenmar-initdb: %s\n", qPrintable(e.text()));
        QFile::remove(path);
        return 1;
    }
    std::printf("%s: hotel database created%s\n", qPrintable(path),
                demo ? " with the demo hotel" : "");
    return 0;
}

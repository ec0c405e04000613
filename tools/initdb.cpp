// quenmar-initdb: creates a delivered hotel database.
//   quenmar-initdb FILE          every table with its reference rows
//   quenmar-initdb --demo FILE   and a small demo hotel
//   quenmar-initdb --server HOST[:PORT] --user USER [--password-file FILE]
//                  [--demo | --from FILE]
//       the same on a database server (the database quorvel, created when missing), for
//       several workstations; --from copies every row of an existing hotel database file.
//       Without --password-file the server's usual ways apply (PGPASSWORD, ~/.pgpass).
#include "data/connection.h"
#include "data/errors.h"
#include "data/schema.h"
#include "data/serverdb.h"
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
                         "[--password-file FILE] [--demo | --from FILE]\n");
    return 2;
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
    if (!passwordFile.isEmpty()) {
        QFile f(passwordFile);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "quenmar-initdb: %s: %s\n", qPrintable(passwordFile),
                         qPrintable(f.errorString()));
            return 1;
        }
        password = QString::fromUtf8(f.readLine()).remove('\n').remove('\r');
    }
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
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

// quenmar-initdb: creates a delivered hotel database.
//   quenmar-initdb FILE          every table with its reference rows
//   quenmar-initdb --demo FILE   and a small demo hotel
#include "data/errors.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.size() != 1 || args[0].startsWith('-')) {
        std::fprintf(stderr, "usage: quenmar-initdb [--demo] FILE\n");
        return 2;
    }
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

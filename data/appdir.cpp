#include "appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString overrideDir;
}

QString ProgramDir()
{
    if (!overrideDir.isEmpty())
        return overrideDir;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}

void SetProgramDir(const QString &dir)
{
    overrideDir = dir;
}

QString ResolvePathCase(const QString &path)
{
    QString p = path;
    p.replace('\\', '/');
    const bool absolute = p.startsWith('/');
    const QStringList parts = p.split('/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool searching = true;
    for (const QString &part : parts) {
        QString next = part;
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        if (searching && !QFileInfo::exists(QDir(base).filePath(part))) {
            const QStringList entries =
                QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            auto it = std::find_if(entries.begin(), entries.end(), [&](const QString &e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (it != entries.end())
                next = *it;
            else
                searching = false; // nothing below a missing folder can be matched
        }
        current = current.isEmpty()       ? next
                  : current.endsWith('/') ? current + next
                                          : current + '/' + next;
    }
    return current;
}

QString ProgramPath(const QString &relative)
{
    return ResolvePathCase(QDir(ProgramDir()).filePath(QString(relative).replace('\\', '/')));
}

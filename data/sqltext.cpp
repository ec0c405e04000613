#include "sqltext.h"

#include "errors.h"

QString QuotedStr(const QString &value)
{
    QString doubled = value;
    doubled.replace('\'', QStringLiteral("''"));
    return '\'' + doubled + '\'';
}

QString DateTimeText(const QDateTime &value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SqlDateTime(const QDateTime &value)
{
    return QuotedStr(DateTimeText(value));
}

QDateTime ParseDateTimeText(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm:ss",
                               "yyyy-MM-dd HH:mm:ss.zzz"}) {
        QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(format));
        if (dt.isValid())
            return dt;
    }
    const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

QString EqualsEntry(const QString &column, const QString &entry)
{
    if (entry.isEmpty())
        return column + QStringLiteral(" is Null");
    bool isNumber = false;
    const qlonglong number = entry.toLongLong(&isNumber);
    if (isNumber && QString::number(number) == entry)
        return column + '=' + entry;
    return column + '=' + QuotedStr(entry);
}

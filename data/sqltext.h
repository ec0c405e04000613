#pragma once
// The one place where values become SQL text.
#include <QDateTime>
#include <QString>

// A text value as an SQL string literal: apostrophes doubled, enclosed in apostrophes.
// Nothing a person types can leave the literal.
QString QuotedStr(const QString &value);

// "<column>=<value>" for a building or floor entry taken from the rooms themselves: an
// empty entry is "<column> is Null", a whole number goes in as a number, and any other
// text as a quoted text value.
QString EqualsEntry(const QString &column, const QString &entry);

// The one text form of date-times, in statements and stored values alike:
// yyyy-MM-dd HH:mm:ss, local time. It sorts as the instants do.
QString DateTimeText(const QDateTime &value);
// DateTimeText between apostrophes, for statements.
QString SqlDateTime(const QDateTime &value);
// Reads the stored form back (also without seconds, or a date alone); invalid otherwise.
QDateTime ParseDateTimeText(const QString &text);

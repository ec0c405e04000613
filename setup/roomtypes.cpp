#include "roomtypes.h"

#include "data/connection.h"
#include "data/errors.h"
#include "data/numbers.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <optional>

namespace {

constexpr int kMaxGuests = 99;
constexpr double kMaxRate = 999999.99;

// An amount of money: digits with at most two decimals after "." or the locale's
// separator, from 0 to kMaxRate.
std::optional<double> ParseRate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-')))
        return std::nullopt;
    const auto value = ParseDecimal(t);
    if (!value || *value > kMaxRate)
        return std::nullopt;
    const qsizetype separator =
        std::max(t.lastIndexOf(QLatin1Char('.')), t.lastIndexOf(QLocale().decimalPoint()));
    if (separator >= 0 && t.size() - separator - 1 > 2)
        return std::nullopt;
    return value;
}

// Throws AppError when another room type (not `exceptId`) has this title, ignoring letter
// case. Compared here rather than in SQL: the database folds the case of ASCII letters only.
void CheckTitleFree(Connection &conn, const QString &title, qint64 exceptId)
{
    if (title.isEmpty())
        return; // the table's rule refuses it
    QSqlQuery q(conn.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select ID, Title from RoomType")))
        throw DbError(q.lastError().text());
    while (q.next()) {
        if (q.value(0).toLongLong() != exceptId &&
            q.value(1).toString().trimmed().compare(title, Qt::CaseInsensitive) == 0)
            throw AppError(
                QCoreApplication::translate("RoomTypes", "The room type \"%1\" already exists.")
                    .arg(q.value(1).toString()));
    }
}

} // namespace

FieldValues RoomTypeFields(const QString &title, const QString &size, const QString &rate)
{
    FieldValues values{{QStringLiteral("Title"), title.trimmed()}};
    if (!size.isEmpty()) {
        const auto guests = ParseWholeNumber(size.trimmed(), 0, kMaxGuests);
        if (!guests)
            throw ConvertError(QCoreApplication::translate(
                                   "RoomTypes", "Guest count must be a whole number from 0 to %1")
                                   .arg(kMaxGuests));
        values.append({QStringLiteral("Size"), *guests});
    }
    if (!rate.isEmpty()) {
        const auto amount = ParseRate(rate);
        if (!amount)
            throw ConvertError(QCoreApplication::translate(
                "RoomTypes", "Rate must be an amount from 0 to 999,999.99 with at most two "
                             "decimals"));
        values.append({QStringLiteral("Piece"), *amount});
    }
    return values;
}

namespace {

// "Title=Standard, Size=2, Piece=288" for the operation log.
QString described(const FieldValues &values)
{
    QStringList parts;
    for (const auto &[column, value] : values)
        parts.append(QStringLiteral("%1=%2").arg(column, value.toString()));
    return parts.join(QStringLiteral(", "));
}

} // namespace

qint64 AddRoomType(Table &roomTypes, const QString &title, const QString &size, const QString &rate)
{
    const FieldValues values = RoomTypeFields(title, size, rate);
    CheckTitleFree(roomTypes.connection(), values.first().second.toString(), -1);
    JoinedTransaction transaction(roomTypes.connection());
    const qint64 id = roomTypes.Append(values);
    if (id >= 0)
        LogOperation(roomTypes.connection(), LogAction::RoomType, QString(),
                     QStringLiteral("added: ") + described(values));
    transaction.Commit();
    return id;
}

int RoomTypeRow(const Table &roomTypes, qint64 id)
{
    if (!roomTypes.Active() || !roomTypes.HasField(QStringLiteral("ID")))
        return -1;
    const QStringList names = roomTypes.FieldNames();
    int column = -1;
    for (int i = 0; i < names.size() && column < 0; ++i)
        if (names[i].compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0)
            column = i;
    for (int row = 0; row < roomTypes.rows().size(); ++row)
        if (roomTypes.rows()[row].value(column).toLongLong() == id)
            return row;
    return -1;
}

bool UpdateRoomType(Table &roomTypes, qint64 id, const QString &title, const QString &size,
                    const QString &rate)
{
    const FieldValues values = RoomTypeFields(title, size, rate);
    CheckTitleFree(roomTypes.connection(), values.first().second.toString(), id);
    if (!roomTypes.Active())
        roomTypes.Open();
    const int row = RoomTypeRow(roomTypes, id);
    if (row < 0)
        throw AppError(
            QCoreApplication::translate("RoomTypes", "The room type is no longer there."));
    roomTypes.MoveTo(row);
    FieldValues before;
    for (const auto &field : values)
        before.append({field.first, roomTypes.FieldByName(field.first)});
    JoinedTransaction transaction(roomTypes.connection());
    const bool stored = roomTypes.Edit(values);
    if (stored)
        LogOperation(roomTypes.connection(), LogAction::RoomType, QString(),
                     QStringLiteral("changed: %1 -> %2").arg(described(before), described(values)));
    transaction.Commit();
    return stored;
}

void DeleteRoomType(Table &roomTypes, qint64 id)
{
    Connection &conn = roomTypes.connection();
    JoinedTransaction transaction(conn);
    Query gone(conn);
    gone.Add(QStringLiteral("select Title from RoomType where ID=%1").arg(id));
    gone.Open();
    if (DeleteRows(conn, roomTypes.TableName, QStringLiteral("ID"), id) > 0)
        LogOperation(conn, LogAction::RoomType, QString(),
                     QStringLiteral("deleted: Title=") + gone.AsString(QStringLiteral("Title")));
    transaction.Commit();
    if (roomTypes.Active())
        roomTypes.Open();
}

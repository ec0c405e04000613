#include "districts.h"

#include "data/connection.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "data/numbers.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

QStringList DistrictListLines()
{
    return {QStringLiteral("Select "), QStringLiteral("DistrictNumber,Notes "),
            QStringLiteral("From District"), QStringLiteral("order by DistrictNumber")};
}

bool DistrictExists(Connection &conn, int number)
{
    QSqlQuery q(conn.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("select count(*) from District where DistrictNumber=?")))
        throw DbError(q.lastError().text());
    q.addBindValue(number);
    if (!q.exec() || !q.next())
        throw DbError(q.lastError().text());
    return q.value(0).toInt() > 0;
}

void AddDistrict(Connection &conn, int number, const QString &notes)
{
    JoinedTransaction transaction(conn);
    InsertRow(conn, QStringLiteral("District"),
              {{QStringLiteral("DistrictNumber"), number}, {QStringLiteral("Notes"), notes}});
    LogOperation(conn, LogAction::Group, QString(),
                 QStringLiteral("added: group %1 (%2)").arg(number).arg(notes));
    transaction.Commit();
}

void DeleteDistrict(Connection &conn, const QVariant &number)
{
    JoinedTransaction transaction(conn);
    if (DeleteRows(conn, QStringLiteral("District"), QStringLiteral("DistrictNumber"), number) > 0)
        LogOperation(conn, LogAction::Group, QString(),
                     QStringLiteral("deleted: group %1").arg(number.toString()));
    transaction.Commit();
}

QString DistrictNumberRefusalText()
{
    return QCoreApplication::translate("Districts",
                                       "Group no. must be a whole number from %1 to %2")
        .arg(kFirstDistrictNumber)
        .arg(kLastDistrictNumber);
}

DistrictSave SaveDistrict(Connection &conn, const QString &numberText, const QString &notes)
{
    const auto parsed =
        ParseWholeNumber(numberText.trimmed(), kFirstDistrictNumber, kLastDistrictNumber);
    if (!parsed)
        return DistrictSave::NotANumber;
    const int number = *parsed;
    if (DistrictExists(conn, number))
        return DistrictSave::Exists;
    AddDistrict(conn, number, notes);
    return DistrictSave::Stored;
}

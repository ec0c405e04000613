#pragma once
// The hotel database on a database server shared by several workstations: its schema with
// the DateDiff function, and the setting-up that quenmar-initdb does. The program itself
// never creates tables on the server.
#include <QString>
#include <QStringList>

#include <functional>

class Connection;

// Where a server is: "host", "host:port", "[address]:port", or the folder of a local socket;
// empty for the default local socket.
struct ServerAddress
{
    QString Host;
    int Port = -1;
};
ServerAddress ParseServerName(const QString &serverName);

// Sets the server, login and password of a connection of the server kind.
void SetServerLogin(Connection &conn, const QString &serverName, const QString &user,
                    const QString &password);

// Statements of the database file's schema in the server's dialect.
QStringList ServerStatements(const QStringList &fileStatements);
// The statements that create the hotel's tables, reference rows and the DateDiff function on
// the server.
QStringList ServerSchemaStatements();

// Sets up the hotel database on the server `conn` is configured for (not yet open): creates
// the database when it is missing, refuses one that already holds the hotel's tables, then
// creates the schema with the reference rows, and either the demo hotel or every row of the
// hotel database file `fromFile`. `copied`, when given, runs on the copied rows inside the
// same transaction (to bring them up to date on the way). All or nothing. Throws
// DbError/AppError.
void CreateServerHotelDatabase(Connection &conn, bool demo, const QString &fromFile,
                               const std::function<void(Connection &)> &copied = {});

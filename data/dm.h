#pragma once
// The data module: the one connection, the shared free query and the table objects.
#include "connection.h"
#include "dataset.h"

#include <QStringList>

class Tdm
{
public:
    Tdm();

    Connection conn;
    Query other_adoq;
    Table RoomType_ado;
    Table Operator_ado;
    Table MakeCardRecord_ado;
    Table RoomState_ado;
    Table Groups_ado;

    // Fills `items` with the first column of the kind's statement (0 to 6) and returns the
    // 1-based position of `current` among them, or -1. An unknown kind leaves `items` alone.
    int GetDataTypeItems(int kind, QStringList &items, const QString &current);
};

// Whether the logged-on operator's account holds this right (a column of Operator); false
// when the account is gone.
bool LoggedOnOperatorHas(const QString &rightColumn);

// The data module of the run; created before anything else.
extern Tdm *dm;

#pragma once
// The room board's query: every room with its open stay, narrowed by building and floor.
#include <QString>
#include <QStringList>
#include <QVector>

struct BoardRoom
{
    QString RoomStr;
    int Room = 0;
    // 0 vacant, 1 vacant in state 1, 2 occupied, 3 occupied in state 1; -1 no picture.
    int Picture = -1;
};

// The statement of the board. An empty filter text means every building or floor.
QStringList RoomBoardLines(const QString &building, const QString &floor);
// Runs the statement and returns one entry per row, in its order.
QVector<BoardRoom> LoadRoomBoard(const QString &building, const QString &floor);

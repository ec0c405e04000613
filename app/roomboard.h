#pragma once
// The room board: its query (every room with its open stay, narrowed by building and
// floor), the list model the main window shows, and the selection kept across a rebuild.
#include <QAbstractListModel>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class QItemSelectionModel;

struct BoardRoom
{
    QString RoomStr;
    int Room = 0;
    // 0 vacant, 1 vacant in state 1, 2 occupied, 3 occupied in state 1; -1 no picture.
    int Picture = -1;
};

// The statement of the board. No filter entry (nullopt) means every building or floor; an
// empty entry is the rooms without a building or floor, as in the room list.
QStringList RoomBoardLines(const std::optional<QString> &building,
                           const std::optional<QString> &floor);
// Runs the statement and returns one entry per row, in its order.
QVector<BoardRoom> LoadRoomBoard(const std::optional<QString> &building,
                                 const std::optional<QString> &floor);

// The rooms of the board with their pictures, as one list model: a rebuild replaces the
// whole list at once.
class RoomBoardModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    QVector<BoardRoom> rooms;
    const QList<QIcon> *icons = nullptr;

    void setRooms(QVector<BoardRoom> next);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
};

// What the operator had selected on the board, kept across a rebuild: every selected
// occurrence of a door plate (a room with two open stays shows twice), found again by
// plate and occurrence in the new list.
class BoardSelection
{
public:
    static BoardSelection Take(const QVector<BoardRoom> &rooms,
                               const QItemSelectionModel &selection);
    void Restore(const RoomBoardModel &model, QItemSelectionModel &selection) const;

private:
    QStringList m_plates;
    QList<QList<int>> m_occurrences; // per plate, its selected occurrences
};

#pragma once
// The grid of the room list: a read-only model over the rows of the room list query, and a
// table view that colours rows by occupancy and selects rows only by mouse or Space.
#include "ui/querygridmodel.h"

#include <QStyledItemDelegate>
#include <QTableView>

class Query;

// One column, the door plate, titled "Room No."; a row is occupied when its open stay's
// GuestInTime is set. The rows are the query's; reset the model around every Open.
class RoomListModel : public QueryGridModel
{
    Q_OBJECT
public:
    explicit RoomListModel(const Query &query, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool occupied(int row) const;

    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endResetModel;
};

// Draws a selected row white on navy, any other row black on white (vacant) or on red
// (occupied), whatever the style's own colours are.
class RoomRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

// Whole rows, several at once: a click selects one row, Ctrl+click adds or removes one.
// The arrow keys only move the current row; Space selects it (Ctrl+Space toggles), so that
// the rows drawn as selected are always the ones the picker hands over.
class TRoomGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TRoomGrid(QWidget *parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
};

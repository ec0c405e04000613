#pragma once
// The editor of a grid cell: a drop-down of the column's pick list where the column has one
// (QueryGridModel::PickListRole), the ordinary text editor otherwise. Choosing an entry
// stores it at once.
#include <QStyledItemDelegate>

class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

signals:
    // An editor was opened on this cell (before anything is typed into it).
    void editorOpened(const QModelIndex &index) const;
};

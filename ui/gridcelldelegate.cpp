#include "gridcelldelegate.h"

#include "querygridmodel.h"

#include <QComboBox>

namespace {

QStringList pickListOf(const QModelIndex &index)
{
    return index.data(QueryGridModel::PickListRole).toStringList();
}

} // namespace

QWidget *GridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    emit editorOpened(index);
    const QStringList items = pickListOf(index);
    if (items.isEmpty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("PickList"));
    box->addItems(items);
    box->setFrame(false);
    auto *self = const_cast<GridCellDelegate *>(this);
    connect(box, &QComboBox::activated, self, [self, box] {
        emit self->commitData(box);
        emit self->closeEditor(box);
    });
    return box;
}

void GridCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        // A value that is not (or no longer) in the list is shown as it is.
        const QString current = index.data(Qt::EditRole).toString();
        if (box->findText(current) < 0 && !current.isEmpty())
            box->addItem(current);
        box->setCurrentIndex(box->findText(current));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

#include "querygridmodel.h"

#include "data/dataset.h"
#include "errorguard.h"

#include <QTableView>

QueryGridModel::QueryGridModel(const Query &query, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
}

QueryGridModel::QueryGridModel(Query &query, QList<GridColumn> columns, QObject *parent)
    : QueryGridModel(static_cast<const Query &>(query), std::move(columns), parent)
{
    m_fetch = &query;
}

int QueryGridModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int QueryGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_announced >= 0 ? m_announced : int(m_query.rows().size());
}

bool QueryGridModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_fetch && m_fetch->CanFetchMore();
}

void QueryGridModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // The view learns of the rows only after they are read: until then it sees the old count.
    const int before = rowCount();
    m_announced = before;
    int read = 0;
    RunGuarded([&] { read = m_fetch->FetchMore(FetchBatch); });
    if (read <= 0) {
        m_announced = -1;
        return;
    }
    beginInsertRows(QModelIndex(), before, before + read - 1);
    m_announced = -1;
    endInsertRows();
}

int QueryGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int QueryGridModel::queryColumn(const QString &field) const
{
    const QStringList names = m_query.FieldNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant QueryGridModel::value(int row, const QString &field) const
{
    if (row < 0 || row >= m_query.rows().size())
        return QVariant();
    const int column = queryColumn(field);
    return column < 0 ? QVariant() : m_query.rows()[row].value(column);
}

QVariant QueryGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const QVariant v = value(index.row(), m_columns[index.column()].field);
    return role == Qt::DisplayRole && v.isNull() ? QVariant(QString()) : v;
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole)
            return m_columns[section].title;
        if (role == HiddenColumnRole)
            return !m_columns[section].visible;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool QueryGridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                                   int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    m_columns[section].title = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags QueryGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() < m_columns.size() && m_columns[index.column()].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool QueryGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !onEdit || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return onEdit(index.row(), m_columns[index.column()].field, value);
}

void QueryGridModel::Reload(const std::function<void()> &reopen)
{
    beginResetModel();
    struct End
    {
        QueryGridModel *model;
        ~End() { model->endResetModel(); }
    } end{this};
    reopen();
}

void QueryGridModel::ApplyColumns(QTableView *view) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        view->setColumnHidden(i, !m_columns[i].visible);
}

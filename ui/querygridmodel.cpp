#include "querygridmodel.h"

#include "data/dataset.h"
#include "errorguard.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>

QString WidestText(const QWidget *view, const QStringList &texts)
{
    QString widest;
    int widestAdvance = -1;
    for (const QString &text : texts) {
        const int advance = view->fontMetrics().horizontalAdvance(text);
        if (advance > widestAdvance) {
            widest = text;
            widestAdvance = advance;
        }
    }
    return widest;
}

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

void QueryGridModel::setColumnEditable(const QString &field, bool editable)
{
    const int column = columnOf(field);
    if (column >= 0)
        m_columns[column].editable = editable;
}

void QueryGridModel::setPickList(const QString &field, const QStringList &items)
{
    const int column = columnOf(field);
    if (column >= 0)
        m_columns[column].pickList = items;
}

void QueryGridModel::setFreeText(const QStringList &fields)
{
    for (const QString &field : fields) {
        const int column = columnOf(field);
        if (column >= 0)
            m_columns[column].freeText = true;
    }
}

void QueryGridModel::setWidthSample(const QString &field, const QString &sample)
{
    const int column = columnOf(field);
    if (column >= 0)
        m_columns[column].widthSample = sample;
}

int QueryGridModel::queryRows() const
{
    return m_announced >= 0 ? m_announced : int(m_query.rows().size());
}

int QueryGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : queryRows() + (m_newRow ? 1 : 0);
}

bool QueryGridModel::canFetchMore(const QModelIndex &parent) const
{
    // Not while a row is entered or edited: its position stays where it is.
    return !parent.isValid() && m_fetch && m_editRow < 0 && !m_newRow && m_fetch->CanFetchMore();
}

void QueryGridModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // The view learns of the rows only after they are read: until then it sees the old count.
    const int before = queryRows();
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

const QVariant *QueryGridModel::edited(int row, const QString &field) const
{
    if (row != m_editRow)
        return nullptr;
    for (const auto &edit : m_edits)
        if (edit.first.compare(field, Qt::CaseInsensitive) == 0)
            return &edit.second;
    return nullptr;
}

QVariant QueryGridModel::value(int row, const QString &field) const
{
    if (const QVariant *v = edited(row, field))
        return *v;
    if (row < 0 || row >= queryRows())
        return QVariant();
    const int column = queryColumn(field);
    return column < 0 ? QVariant() : m_query.rows()[row].value(column);
}

QVariant QueryGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    if (role == PickListRole)
        return m_columns[index.column()].pickList;
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
        if (role == FreeTextColumnRole)
            return m_columns[section].freeText;
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
    // While a row is being entered or edited with kept edits, only that row can be edited.
    const bool rowOpen = onEdit || m_editRow < 0 || index.row() == m_editRow;
    if (index.column() < m_columns.size() && m_columns[index.column()].editable && rowOpen)
        f |= Qt::ItemIsEditable;
    return f;
}

bool QueryGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString &field = m_columns[index.column()].field;
    if (onEdit)
        return onEdit(index.row(), field, value);
    // An editor closed without a change starts no edit.
    const QVariant old = this->value(index.row(), field);
    if (old.toString() == value.toString() && old.isNull() == value.isNull())
        return true;
    const bool starts = m_editRow < 0;
    m_editRow = index.row();
    bool replaced = false;
    for (auto &edit : m_edits) {
        if (edit.first.compare(field, Qt::CaseInsensitive) == 0) {
            edit.second = value;
            replaced = true;
        }
    }
    if (!replaced)
        m_edits.append({field, value});
    emit dataChanged(index, index);
    if (starts)
        emit editStarted(m_editRow);
    return true;
}

int QueryGridModel::AppendRow(const FieldValues &values)
{
    CancelEdits();
    const int row = queryRows();
    beginInsertRows(QModelIndex(), row, row);
    m_newRow = true;
    m_editRow = row;
    m_edits = values;
    endInsertRows();
    emit editStarted(row);
    return row;
}

void QueryGridModel::clearEdits()
{
    m_editRow = -1;
    m_newRow = false;
    m_edits.clear();
}

void QueryGridModel::CancelEdits()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    if (m_newRow) {
        beginRemoveRows(QModelIndex(), row, row);
        clearEdits();
        endRemoveRows();
        return;
    }
    clearEdits();
    if (!m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void QueryGridModel::Reload(const std::function<void()> &reopen)
{
    beginResetModel();
    struct End
    {
        QueryGridModel *model;
        ~End() { model->endResetModel(); }
    } end{this};
    clearEdits();
    reopen();
}

void QueryGridModel::ApplyColumns(QTableView *view) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        view->setColumnHidden(i, !m_columns[i].visible);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // With columns of free texts, the other columns (times, numbers, types) keep the width
    // of their texts and the free texts share the rest.
    if (std::none_of(m_columns.cbegin(), m_columns.cend(),
                     [](const GridColumn &c) { return c.freeText; }))
        return;
    QHeaderView *header = view->horizontalHeader();
    // A column without a sample (a name of no known set) fits the rows in view, not the
    // first thousand rows read, which would cost more at every listing than its statements.
    header->setResizeContentsPrecision(0);
    for (int i = 0; i < m_columns.size(); ++i) {
        const GridColumn &c = m_columns[i];
        if (c.freeText)
            continue;
        if (c.widthSample.isEmpty()) {
            header->setSectionResizeMode(i, QHeaderView::ResizeToContents);
            continue;
        }
        // The sample as a cell shows it (the style's margins around the text) or the title,
        // whichever is wider.
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.font = view->font();
        option.text = c.widthSample;
        option.features = QStyleOptionViewItem::HasDisplay;
        const int cell = view->style()
                             ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view)
                             .width();
        header->setSectionResizeMode(i, QHeaderView::Interactive);
        header->resizeSection(i, std::max(cell + view->showGrid(), header->sectionSizeHint(i)));
    }
}

#pragma once
// The one grid model of the program's list forms: the rows of a query, shown through a list
// of column definitions (field, title, shown or hidden, read-only or editable, pick list). Header
// titles can be replaced with setHeaderData, so the language catalogue can set them.
// Over a query that reads its rows on demand (LazyQuery) the model reads further rows as
// the view scrolls to them.
//
// Editing in place works one of two ways. With onEdit set, every edit is handed over at
// once. Without it, the model keeps the edits of one row (an existing row, or a new row
// shown after the query's rows) until the form stores them and reloads, or cancels them;
// while a row is being entered or edited the other rows are read-only.
#include "data/dataset.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>

class Query;
class QTableView;
class QWidget;

struct GridColumn
{
    GridColumn(QString field, QString title, bool visible = true, bool editable = false,
               QStringList pickList = {})
        : field(std::move(field)), title(std::move(title)), visible(visible), editable(editable),
          pickList(std::move(pickList))
    {
    }

    QString field;         // the query's column
    QString title;         // the header title
    bool visible = true;   // hidden columns are in the model but not shown
    bool editable = false; // the cell can be edited in place
    QStringList pickList;  // for an editable cell: the values to choose from (empty: free text)
    bool freeText = false; // names and explanations: a printed list wraps them in the column
    // Beside free texts: the widest text the column shows (a time, a title of a known set), so
    // the column is as wide as that text from the start instead of being measured over its
    // rows at every listing. Empty: measured over the rows.
    QString widthSample;
};

// Of texts a column may show, the one the view draws widest (a width sample).
QString WidestText(const QWidget *view, const QStringList &texts);

class QueryGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The pick list of a cell's column (a QStringList), for the editor.
    static constexpr int PickListRole = Qt::UserRole + 1;

    // Shows the rows the query holds.
    QueryGridModel(const Query &query, QList<GridColumn> columns, QObject *parent = nullptr);
    // The same, and reads further rows of a query that reads them on demand.
    QueryGridModel(Query &query, QList<GridColumn> columns, QObject *parent = nullptr);

    // Header data of this role (horizontal) is true for a column the grid does not show.
    static constexpr int HiddenColumnRole = Qt::UserRole + 2;
    // Header data of this role (horizontal) is true for a column of free texts (setFreeText).
    static constexpr int FreeTextColumnRole = Qt::UserRole + 3;
    // Rows read per fetch.
    static constexpr int FetchBatch = 256;

    const QList<GridColumn> &columns() const { return m_columns; }
    // The position of a column definition by field name (case-insensitive), or -1.
    int columnOf(const QString &field) const;
    void setColumnEditable(const QString &field, bool editable);
    void setPickList(const QString &field, const QStringList &items);
    // Marks columns as holding free texts (names, explanations) rather than fixed ones.
    void setFreeText(const QStringList &fields);
    // The widest text of a column (GridColumn::widthSample).
    void setWidthSample(const QString &field, const QString &sample);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Any column of a row by name, shown or not (with the row's pending edits); null for an
    // unknown column or row.
    QVariant value(int row, const QString &field) const;

    // Called for an edit of an editable cell: (row, field, new value); returns whether the
    // value was taken (the caller stores it and reopens the query inside Reload).
    std::function<bool(int, const QString &, const QVariant &)> onEdit;

    // Kept edits (without onEdit). A new row with these values, shown last and being
    // entered at once; returns its row. Any edits kept so far are dropped.
    int AppendRow(const FieldValues &values);
    // The row being entered or edited, or -1.
    int editRow() const { return m_editRow; }
    bool editingNewRow() const { return m_editRow >= 0 && m_newRow; }
    // The fields changed in the edited row; for a new row every value it holds.
    const FieldValues &edits() const { return m_edits; }
    // Drops the kept edits (and the new row).
    void CancelEdits();

    // Runs `reopen` (which opens the query again) between a model reset's begin and end.
    // Kept edits are dropped: the rows they belonged to may have moved.
    void Reload(const std::function<void()> &reopen);

    // Hides the columns whose definition is not visible, and gives the view the list forms' look:
    // no row header, compact rows, the columns sharing the view's width. Beside free texts a
    // column is as wide as its width sample, or else as its texts in view.
    void ApplyColumns(QTableView *view) const;

signals:
    // A row began to be entered or edited (its first kept edit, or AppendRow).
    void editStarted(int row);

private:
    int queryColumn(const QString &field) const;
    int queryRows() const;
    const QVariant *edited(int row, const QString &field) const;
    void clearEdits();

    const Query &m_query;
    Query *m_fetch = nullptr; // the same query when the model may read further rows
    int m_announced = -1;     // while rows are read: the row count the view knows
    QList<GridColumn> m_columns;
    int m_editRow = -1;
    bool m_newRow = false;
    FieldValues m_edits;
};

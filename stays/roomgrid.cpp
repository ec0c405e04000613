#include "roomgrid.h"

#include "data/dataset.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace {

const QColor kSelectedBack(0x00, 0x00, 0x80); // navy
const QColor kSelectedText(Qt::white);
const QColor kVacantBack(Qt::white);
const QColor kOccupiedBack(0xFF, 0x00, 0x00);
const QColor kRowText(Qt::black);

} // namespace

RoomListModel::RoomListModel(const Query &query, QObject *parent)
    : QueryGridModel(query,
                     {{QStringLiteral("RoomStr"),
                       QCoreApplication::translate("RoomGrid", "Room No."),
                       true,
                       false,
                       {}}},
                     parent)
{
}

bool RoomListModel::occupied(int row) const
{
    return !value(row, QStringLiteral("GuestInTime")).isNull();
}

QVariant RoomListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::BackgroundRole:
        return occupied(index.row()) ? kOccupiedBack : kVacantBack;
    case Qt::ForegroundRole:
        return kRowText;
    default:
        return QueryGridModel::data(index, role);
    }
}

void RoomRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor back = selected ? kSelectedBack : index.data(Qt::BackgroundRole).value<QColor>();
    painter->save();
    painter->fillRect(opt.rect, back);
    painter->setPen(selected ? kSelectedText : kRowText);
    painter->setFont(opt.font);
    const QRect textRect = opt.rect.adjusted(4, 0, -4, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, textRect.width()));
    painter->restore();
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = opt.rect.adjusted(1, 1, -1, -1);
        focus.backgroundColor = back;
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : nullptr;
        if (style)
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

TRoomGrid::TRoomGrid(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new RoomRowDelegate(this));
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    // Compact rows: a room number is one short line.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
}

QItemSelectionModel::SelectionFlags TRoomGrid::selectionCommand(const QModelIndex &index,
                                                                const QEvent *event) const
{
    if (event && event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return QItemSelectionModel::NoUpdate;
    }
    return QTableView::selectionCommand(index, event);
}

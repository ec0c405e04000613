// The report library: lays out a list handed over by the front-desk program as a paged
// table with a heading, shows it in a print preview, prints it or writes it as a PDF file.
#include "print/print.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace {

struct Report
{
    QString hotel;
    QString title;
    QStringList heading; // lines under the title
    QString printed;
    QStringList headers;
    QList<QStringList> rows;
    bool landscape = false;
};

QString property(const QObject *list, const char *name)
{
    return list->property(name).toString();
}

bool usable(const TPrintFromDll &record)
{
    return record.List &&
           (record.Kind == PRINT_OPEN_DOOR_RECORDS || record.Kind == PRINT_ISSUE_RECORDS ||
            record.Kind == PRINT_OPERATION_LOG);
}

// Reads the whole list: the shown columns of every row, reading on-demand rows to the end.
Report collect(const TPrintFromDll &record)
{
    auto *model = static_cast<QAbstractItemModel *>(record.List);
    Report report;
    report.hotel = property(model, "HotelName");
    report.printed = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (record.Kind == PRINT_OPEN_DOOR_RECORDS) {
        report.title = QStringLiteral("Door opening records");
        report.heading << QStringLiteral("Room no.: %1").arg(property(model, "RoomStr"));
    } else if (record.Kind == PRINT_OPERATION_LOG) {
        report.title = QStringLiteral("Operation log");
        report.heading << QStringLiteral("Days: %1").arg(property(model, "Days"));
        report.landscape = true;
    } else {
        report.title = QStringLiteral("Card issue records");
        report.heading << QStringLiteral("Issue days: %1").arg(property(model, "Days"))
                       << QStringLiteral("Card type: %1").arg(property(model, "CardType"));
        report.landscape = true;
    }
    report.heading << QStringLiteral("Printed: %1").arg(report.printed);

    while (model->canFetchMore(QModelIndex())) {
        const int before = model->rowCount();
        model->fetchMore(QModelIndex());
        if (model->rowCount() == before)
            break;
    }
    QList<int> columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, PRINT_HIDDEN_COLUMN_ROLE).toBool())
            continue;
        columns.append(c);
        report.headers.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    const int rowCount = model->rowCount();
    report.rows.reserve(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        QStringList row;
        for (int c : columns)
            row.append(model->index(r, c).data(Qt::DisplayRole).toString());
        report.rows.append(row);
    }
    return report;
}

void setUp(QPrinter &printer, const Report &report)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setDocName(report.title);
}

QFont font(qreal points, bool bold = false)
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Lays the report out on the printer's pages: the heading on the first page, the column
// titles on every page, whole rows only, and "Page n of m" at the foot of every page.
bool render(QPrinter &printer, const Report &report)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF area(QPointF(0, 0),
                      printer.pageLayout().paintRectPixels(printer.resolution()).size());

    const QFont hotelFont = font(15, true), titleFont = font(12, true), headingFont = font(9),
                headerFont = font(9, true), cellFont = font(9), footFont = font(8);
    const QFontMetricsF hotelFm(hotelFont, &printer), titleFm(titleFont, &printer),
        headingFm(headingFont, &printer), headerFm(headerFont, &printer),
        cellFm(cellFont, &printer), footFm(footFont, &printer);
    const qreal pad = cellFm.averageCharWidth();
    const qreal rowHeight = std::ceil(cellFm.height() * 1.5);
    const qreal headerHeight = std::ceil(headerFm.height() * 1.7);
    const qreal footHeight = std::ceil(footFm.height() * 2.5);

    // Column widths: each column's widest text, scaled so that the columns fill the width.
    const int columns = int(report.headers.size());
    QList<qreal> widths(columns, 0);
    for (int c = 0; c < columns; ++c) {
        widths[c] = headerFm.horizontalAdvance(report.headers[c]);
        for (const QStringList &row : report.rows)
            widths[c] = std::max(widths[c], cellFm.horizontalAdvance(row.value(c)));
        widths[c] += 2 * pad;
    }
    qreal total = 0;
    for (qreal w : widths)
        total += w;
    if (total > 0)
        for (qreal &w : widths)
            w *= area.width() / total;

    qreal headingHeight = hotelFm.height() * 1.3 + titleFm.height() * 1.6;
    headingHeight += headingFm.height() * 1.3 * report.heading.size() + headingFm.height();
    headingHeight = std::ceil(headingHeight);

    const qreal tableSpace = area.height() - footHeight - headerHeight;
    const int firstRows = std::max(1, int((tableSpace - headingHeight) / rowHeight));
    const int otherRows = std::max(1, int(tableSpace / rowHeight));
    const int rowCount = int(report.rows.size());
    const int pages =
        rowCount <= firstRows ? 1 : 1 + (rowCount - firstRows + otherRows - 1) / otherRows;

    auto drawCells = [&](qreal y, qreal height, const QStringList &cells, const QFont &f,
                         const QFontMetricsF &fm) {
        painter.setFont(f);
        qreal x = 0;
        for (int c = 0; c < columns; ++c) {
            const QRectF cell(x + pad, y, widths[c] - 2 * pad, height);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                             fm.elidedText(cells.value(c), Qt::ElideRight, cell.width()));
            x += widths[c];
        }
    };

    int next = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            printer.newPage();
        qreal y = 0;
        if (page == 1) {
            painter.setPen(Qt::black);
            painter.setFont(hotelFont);
            painter.drawText(QRectF(0, y, area.width(), hotelFm.height()), Qt::AlignLeft,
                             report.hotel);
            y += hotelFm.height() * 1.3;
            painter.setFont(titleFont);
            painter.drawText(QRectF(0, y, area.width(), titleFm.height()), Qt::AlignLeft,
                             report.title);
            y += titleFm.height() * 1.6;
            painter.setFont(headingFont);
            for (const QString &line : report.heading) {
                painter.drawText(QRectF(0, y, area.width(), headingFm.height()), Qt::AlignLeft,
                                 line);
                y += headingFm.height() * 1.3;
            }
            y = headingHeight;
        }
        // Column titles on a grey band, repeated on every page.
        painter.fillRect(QRectF(0, y, area.width(), headerHeight), QColor(225, 225, 225));
        painter.setPen(Qt::black);
        drawCells(y, headerHeight, report.headers, headerFont, headerFm);
        y += headerHeight;
        painter.drawLine(QPointF(0, y), QPointF(area.width(), y));

        const int capacity = page == 1 ? firstRows : otherRows;
        const int end = std::min(rowCount, next + capacity);
        for (; next < end; ++next) {
            painter.setPen(Qt::black);
            drawCells(y, rowHeight, report.rows[next], cellFont, cellFm);
            y += rowHeight;
            painter.setPen(QPen(QColor(200, 200, 200), 0));
            painter.drawLine(QPointF(0, y), QPointF(area.width(), y));
        }
        painter.setPen(Qt::black);
        if (rowCount == 0) {
            painter.setFont(cellFont);
            painter.drawText(QRectF(pad, y, area.width(), rowHeight), Qt::AlignVCenter,
                             QStringLiteral("No records."));
        }

        // The foot of the page.
        painter.setFont(footFont);
        const QRectF foot(0, area.height() - footFm.height() * 1.2, area.width(),
                          footFm.height() * 1.2);
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom,
                         report.title + QStringLiteral(" - ") + report.printed);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }
    painter.end();
    return true;
}

bool writePdf(const Report &report, const QString &fileName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    setUp(printer, report);
    return render(printer, report);
}

} // namespace

extern "C" PRINT_API void PrintForm_Show(TPrintFromDll Record)
{
    if (!usable(Record))
        return;
    const Report report = collect(Record);
    auto *parent = static_cast<QWidget *>(Record.Handle);

    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, report);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview_Form"));
    preview.setWindowTitle(QStringLiteral("Print preview - ") + report.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&report](QPrinter *target) { render(*target, report); });

    // Saving a PDF straight from the preview, beside printing.
    if (auto *toolBar = preview.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QStringLiteral("Save PDF..."));
        save->setObjectName(QStringLiteral("SavePdf_Action"));
        save->setToolTip(QStringLiteral("Save the report as a PDF file"));
        QObject::connect(save, &QAction::triggered, &preview, [&preview, &report]() {
            const QString fileName = QFileDialog::getSaveFileName(
                &preview, QStringLiteral("Save the report as PDF"),
                QDir::home().filePath(report.title + QStringLiteral(".pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            if (fileName.isEmpty())
                return;
            if (!writePdf(report, fileName))
                QMessageBox::warning(&preview, report.title,
                                     QStringLiteral("The file %1 could not be written.")
                                         .arg(QDir::toNativeSeparators(fileName)));
        });
    }
    preview.exec();
}

extern "C" PRINT_API int32_t PrintForm_SavePdf(TPrintFromDll Record, const char *FileName)
{
    if (!usable(Record) || !FileName || !*FileName)
        return 0;
    return writePdf(collect(Record), QString::fromUtf8(FileName)) ? 1 : 0;
}

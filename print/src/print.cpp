// The report library: lays out a list handed over by the front-desk program as a paged
// table with a heading, shows it in a print preview, prints it or writes it as a PDF file.
#include "print/print.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRawFont>
#include <QTextLayout>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct Report
{
    QString hotel;
    QString title;
    QStringList heading; // lines under the title
    QString printed;
    QStringList headers;
    QList<bool> freeText; // per column: the texts wrap within the column
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
        report.title = QCoreApplication::translate("Print", "Door opening records");
        report.heading
            << QCoreApplication::translate("Print", "Room no.: %1").arg(property(model, "RoomStr"));
    } else if (record.Kind == PRINT_OPERATION_LOG) {
        report.title = QCoreApplication::translate("Print", "Operation log");
        report.heading
            << QCoreApplication::translate("Print", "Days: %1").arg(property(model, "Days"));
        report.landscape = true;
    } else {
        report.title = QCoreApplication::translate("Print", "Card issue records");
        report.heading
            << QCoreApplication::translate("Print", "Issue days: %1").arg(property(model, "Days"))
            << QCoreApplication::translate("Print", "Card type: %1")
                   .arg(property(model, "CardType"));
        report.landscape = true;
    }
    report.heading << QCoreApplication::translate("Print", "Printed: %1").arg(report.printed);

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
        report.freeText.append(
            model->headerData(c, Qt::Horizontal, PRINT_FREE_TEXT_COLUMN_ROLE).toBool());
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

// A text laid out for the printer: on one line, or wrapped within a width at word boundaries
// (within a word that is wider than the width).
class Block
{
public:
    Block(const QString &text, const QFont &font, QPaintDevice *device, qreal width, bool wrap)
        : m_layout(text, font, device)
    {
        QTextOption option;
        option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        m_layout.setTextOption(option);
        m_layout.setCacheEnabled(true);
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, m_height));
            m_height += line.height();
            m_width = std::max(m_width, line.naturalTextWidth());
        }
        m_layout.endLayout();
    }
    qreal height() const { return m_height; }
    qreal width() const { return m_width; } // of the widest line

    // The print preview records its pages as pictures and lays their texts out again for
    // the screen, where other fallback fonts for Chinese glyphs come out higher, lower or
    // smaller than on paper; drawn as outlines, the preview shows the glyphs the printer
    // gets. The PDF engine, which also drives the printers here, gets the text itself.
    void draw(QPainter &painter, const QPointF &origin) const
    {
        if (painter.paintEngine()->type() == QPaintEngine::Pdf) {
            m_layout.draw(&painter, origin);
            return;
        }
        QPainterPath outline;
        for (const QGlyphRun &run : m_layout.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                outline.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
        }
        painter.fillPath(outline.translated(origin), painter.pen().color());
    }

private:
    QTextLayout m_layout;
    qreal m_height = 0;
    qreal m_width = 0;
};

// Column widths for the page width. Columns of fixed texts (dates, times, card numbers, card
// types, door plates) get their widest text; the free-text columns share the rest, each at
// most its widest text, and wrap. Room left over widens every column alike. Only when the
// fixed columns alone do not fit are all columns narrowed and every column wraps.
QList<qreal> columnWidths(const Report &report, const QFontMetricsF &headerFm,
                          const QFontMetricsF &cellFm, qreal pad, qreal pageWidth, bool *wrapAll)
{
    const int columns = int(report.headers.size());
    QList<qreal> natural(columns, 0), least(columns, 0);
    for (int c = 0; c < columns; ++c) {
        natural[c] = headerFm.horizontalAdvance(report.headers[c]);
        for (const QStringList &row : report.rows)
            natural[c] = std::max(natural[c], cellFm.horizontalAdvance(row.value(c)));
        natural[c] += 2 * pad + 2; // a little over the measured text: it never wraps by rounding
        least[c] = report.freeText.value(c)
                       ? std::min(natural[c],
                                  std::max(headerFm.horizontalAdvance(report.headers[c]) + 2 * pad,
                                           12 * cellFm.averageCharWidth()))
                       : natural[c];
    }
    qreal leastTotal = 0, naturalTotal = 0;
    for (int c = 0; c < columns; ++c) {
        leastTotal += least[c];
        naturalTotal += natural[c];
    }
    *wrapAll = leastTotal > pageWidth;
    QList<qreal> widths = natural;
    if (*wrapAll || naturalTotal <= pageWidth) {
        // Scaled to the page: wider when there is room, narrower when even the fixed
        // columns do not fit.
        if (naturalTotal > 0)
            for (qreal &w : widths)
                w *= pageWidth / naturalTotal;
        return widths;
    }
    // The free-text columns share what the fixed ones leave: a column narrower than an even
    // share keeps its width and leaves the rest to the others.
    qreal room = pageWidth;
    QList<int> sharing;
    for (int c = 0; c < columns; ++c) {
        if (report.freeText.value(c))
            sharing.append(c);
        else
            room -= natural[c];
    }
    for (bool settled = true; settled && !sharing.isEmpty();) {
        settled = false;
        const qreal share = room / qreal(sharing.size());
        for (qsizetype i = 0; i < sharing.size(); ++i) {
            if (natural[sharing[i]] <= share) {
                room -= natural[sharing[i]];
                sharing.removeAt(i);
                settled = true;
                break;
            }
        }
    }
    for (int c : sharing)
        widths[c] = std::max(least[c], room / qreal(sharing.size()));
    return widths;
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
    const QFontMetricsF headerFm(headerFont, &printer), cellFm(cellFont, &printer),
        footFm(footFont, &printer);
    const qreal pad = cellFm.averageCharWidth();
    const qreal cellSpace = std::ceil(cellFm.height() * 0.5);
    const qreal headerSpace = std::ceil(headerFm.height() * 0.7);
    const qreal footHeight = std::ceil(footFm.height() * 2.5);

    const int columns = int(report.headers.size());
    bool wrapAll = false;
    const QList<qreal> widths = columnWidths(report, headerFm, cellFm, pad, area.width(), &wrapAll);
    auto wraps = [&](int c) { return wrapAll || report.freeText.value(c); };

    // One row of cells, laid out in its columns; its height is its tallest cell's.
    struct Line
    {
        std::vector<std::unique_ptr<Block>> cells;
        qreal height = 0;
    };
    auto layOutRow = [&](const QStringList &texts, const QFont &f, qreal space, qreal least) {
        Line line;
        line.height = least;
        for (int c = 0; c < columns; ++c) {
            line.cells.push_back(std::make_unique<Block>(texts.value(c), f, &printer,
                                                         widths[c] - 2 * pad, wraps(c)));
            line.height = std::max(line.height, line.cells.back()->height());
        }
        line.height = std::ceil(line.height + space);
        return line;
    };
    auto drawRow = [&](const Line &line, qreal y) {
        qreal x = 0;
        for (int c = 0; c < columns; ++c) {
            const Block &cell = *line.cells[size_t(c)];
            cell.draw(painter, QPointF(x + pad, y + (line.height - cell.height()) / 2));
            x += widths[c];
        }
    };

    const Line header = layOutRow(report.headers, headerFont, headerSpace, headerFm.height());
    std::vector<Line> rows;
    rows.reserve(size_t(report.rows.size()));
    for (const QStringList &row : report.rows)
        rows.push_back(layOutRow(row, cellFont, cellSpace, cellFm.height()));

    // The heading: hotel name, title and the heading lines, wrapped to the page width.
    std::vector<std::pair<std::unique_ptr<Block>, qreal>> heading; // block, space under it
    auto addHeading = [&](const QString &text, const QFont &f, qreal spacing) {
        auto block = std::make_unique<Block>(text, f, &printer, area.width(), true);
        const qreal space = QFontMetricsF(f, &printer).height() * spacing;
        heading.emplace_back(std::move(block), space);
    };
    addHeading(report.hotel, hotelFont, 0.3);
    addHeading(report.title, titleFont, 0.6);
    for (const QString &line : report.heading)
        addHeading(line, headingFont, 0.3);
    qreal headingHeight = QFontMetricsF(headingFont, &printer).height();
    for (const auto &[block, space] : heading)
        headingHeight += block->height() + space;
    headingHeight = std::ceil(headingHeight);

    // Pages: as many whole rows as fit under the column titles (at least one).
    const qreal tableSpace = area.height() - footHeight - header.height;
    std::vector<size_t> pageStarts{0};
    qreal used = headingHeight;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (used + rows[r].height > tableSpace && r > pageStarts.back()) {
            pageStarts.push_back(r);
            used = 0;
        }
        used += rows[r].height;
    }
    const int pages = int(pageStarts.size());

    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            printer.newPage();
        qreal y = 0;
        painter.setPen(Qt::black);
        if (page == 1) {
            for (const auto &[block, space] : heading) {
                block->draw(painter, QPointF(0, y));
                y += block->height() + space;
            }
            y = headingHeight;
        }
        // Column titles on a grey band, repeated on every page.
        painter.fillRect(QRectF(0, y, area.width(), header.height), QColor(225, 225, 225));
        painter.setPen(Qt::black);
        drawRow(header, y);
        y += header.height;
        painter.drawLine(QPointF(0, y), QPointF(area.width(), y));

        const size_t end = page < pages ? pageStarts[size_t(page)] : rows.size();
        for (size_t r = pageStarts[size_t(page - 1)]; r < end; ++r) {
            painter.setPen(Qt::black);
            drawRow(rows[r], y);
            y += rows[r].height;
            painter.setPen(QPen(QColor(200, 200, 200), 0));
            painter.drawLine(QPointF(0, y), QPointF(area.width(), y));
        }
        painter.setPen(Qt::black);
        if (rows.empty()) {
            const Block none(QCoreApplication::translate("Print", "No records."), cellFont,
                             &printer, area.width(), false);
            none.draw(painter, QPointF(pad, y + cellSpace / 2));
        }

        // The foot of the page.
        const Block left(report.title + QStringLiteral(" - ") + report.printed, footFont, &printer,
                         area.width(), false);
        const Block right(
            QCoreApplication::translate("Print", "Page %1 of %2").arg(page).arg(pages), footFont,
            &printer, area.width(), false);
        const qreal footY = area.height() - std::max(left.height(), right.height());
        left.draw(painter, QPointF(0, footY));
        right.draw(painter, QPointF(area.width() - right.width(), footY));
    }
    painter.end();
    return true;
}

// Writes the report as a PDF file, on the page layout given (the report's own when none).
bool writePdf(const Report &report, const QString &fileName, const QPageLayout *layout = nullptr)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    setUp(printer, report);
    if (layout)
        printer.setPageLayout(*layout);
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
    preview.setWindowTitle(QCoreApplication::translate("Print", "Print preview - ") + report.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&report](QPrinter *target) { render(*target, report); });

    // Saving a PDF straight from the preview, beside printing.
    if (auto *toolBar = preview.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QCoreApplication::translate("Print", "Save PDF..."));
        save->setObjectName(QStringLiteral("SavePdf_Action"));
        save->setToolTip(QCoreApplication::translate("Print", "Save the report as a PDF file"));
        // The file is written on the page layout chosen in the preview.
        QObject::connect(save, &QAction::triggered, &preview, [&preview, &printer, &report]() {
            QFileDialog dialog(&preview,
                               QCoreApplication::translate("Print", "Save the report as PDF"),
                               QDir::home().filePath(report.title + QStringLiteral(".pdf")),
                               QCoreApplication::translate("Print", "PDF files (*.pdf)"));
            dialog.setObjectName(QStringLiteral("SavePdf_Dialog"));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("pdf"));
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return;
            const QString fileName = dialog.selectedFiles().constFirst();
            const QPageLayout layout = printer.pageLayout();
            if (!writePdf(report, fileName, &layout))
                QMessageBox::warning(
                    &preview, report.title,
                    QCoreApplication::translate("Print", "The file %1 could not be written.")
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

#include "valuation/ui/ReportPages.h"

#include "platform/ExportTarget.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// Twelve columns fit a landscape page at this size.
constexpr double kBodyPointSize = 7.5;
constexpr double kTitlePointSize = 11.0;
// Room for the tallest paragraph: text is laid out in a box this many pages high.
constexpr double kUnboundedHeight = 1.0e7;

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// What one page holds: a run of table rows (bond rows, then the totals as the last), below the
// report's title on the first page, and a run of notes.
struct Page {
    bool withTitle = false;
    int firstRow = 0;
    int endRow = 0;
    std::size_t firstNote = 0;
    std::size_t endNote = 0;
};

// What the painter reads of a table: its rows (bond rows, the totals last), each column's title
// and whether it holds amounts, and the texts around it.
struct PaintedTable {
    int rowCount;
    std::function<TextRow(int)> row;
    std::function<std::string(std::size_t)> title;
    std::function<bool(std::size_t)> isAmount;
    std::size_t columnCount;
    const ReportPageTexts& texts;
};

PaintedTable paintedTableOf(const ReportPrintout& printout) {
    const ReportSnapshot& snapshot = printout.snapshot;
    const ReportColumnPositions& columns = printout.columns;
    return {snapshot.bondCount() + 1,
            [&snapshot, &columns](int row) {
                return reportTableRow(snapshot, columns,
                                      row < snapshot.bondCount() ? row + 2
                                                                 : snapshot.rowCount() - 1);
            },
            [&columns](std::size_t column) {
                return std::string(kReportColumns[columns[column]].title);
            },
            [&columns](std::size_t column) { return kReportColumns[columns[column]].isAmount; },
            columns.size(),
            printout.texts};
}

PaintedTable paintedTableOf(const TablePrintout& printout) {
    const std::vector<TextRow>& table = printout.table;
    return {static_cast<int>(table.size()) - 1,
            [&table](int row) { return table[static_cast<std::size_t>(row) + 1]; },
            [&table](std::size_t column) { return table.front()[column]; },
            printout.isAmount,
            table.front().size(),
            printout.texts};
}

class ReportPainter {
  public:
    ReportPainter(QPagedPaintDevice& device, const PaintedTable& printout)
        : device_(device), printout_(printout), body_(fontOfSize(kBodyPointSize, false)),
          bold_(fontOfSize(kBodyPointSize, true)), title_(fontOfSize(kTitlePointSize, true)),
          bodyMetrics_(body_, &device), boldMetrics_(bold_, &device),
          titleMetrics_(title_, &device) {
        padding_ = bodyMetrics_.height() * 0.25;
        rowHeight_ = std::max(bodyMetrics_.height(), boldMetrics_.height()) + 2 * padding_;
        gap_ = bodyMetrics_.lineSpacing() * 0.6;
        measureColumns();
        measureBlocks();
        paginate();
    }

    int pageCount() const { return static_cast<int>(pages_.size()); }

    void paint(QPainter& painter, int pageIndex) const {
        const Page& page = pages_[static_cast<std::size_t>(pageIndex)];
        painter.save();
        painter.scale(scale_, scale_);
        double y = 0;
        if (page.withTitle) {
            painter.setFont(title_);
            painter.drawText(QRectF(0, y, pageWidth_, titleHeight_), Qt::TextWordWrap,
                             qText(printout_.texts.title));
            y += titleHeight_ + gap_;
            painter.setFont(body_);
            painter.drawText(QRectF(0, y, pageWidth_, captionHeight_), Qt::TextWordWrap,
                             qText(printout_.texts.caption));
            y += captionHeight_ + gap_;
        }
        if (page.endRow > page.firstRow) {
            y = paintTable(painter, y, page.firstRow, page.endRow);
            y += gap_;
        }
        painter.setFont(body_);
        for (std::size_t note = page.firstNote; note < page.endNote; ++note) {
            painter.drawText(QRectF(0, y, pageWidth_, noteHeights_[note]), Qt::TextWordWrap,
                             qText(printout_.texts.notes[note]));
            y += noteHeights_[note] + gap_;
        }
        painter.restore();
    }

  private:
    static QFont fontOfSize(double points, bool bold) {
        QFont font = QGuiApplication::font();
        font.setPointSizeF(points);
        font.setBold(bold);
        return font;
    }

    // Bond rows first, the totals last.
    int tableRowCount() const { return printout_.rowCount; }
    bool isTotals(int tableRow) const { return tableRow == tableRowCount() - 1; }

    // Each column as wide as its widest cell or title; when that is wider than the page, the
    // titles wrap between words, and when that is still too wide, everything is drawn smaller.
    void measureColumns() {
        const std::size_t count = printout_.columnCount;
        std::vector<double> cells(count, 0.0);
        for (int row = 0; row < tableRowCount(); ++row) {
            const TextRow texts = printout_.row(row);
            const QFontMetricsF& metrics = isTotals(row) ? boldMetrics_ : bodyMetrics_;
            for (std::size_t column = 0; column < count; ++column) {
                cells[column] =
                    std::max(cells[column], metrics.horizontalAdvance(qText(texts[column])));
            }
        }
        std::vector<double> wholeTitles(count);
        std::vector<double> wrappedTitles(count);
        for (std::size_t column = 0; column < count; ++column) {
            const QString title = qText(titleOf(column));
            wholeTitles[column] = std::max(cells[column], boldMetrics_.horizontalAdvance(title));
            double widestWord = 0;
            for (const QString& word : title.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                widestWord = std::max(widestWord, boldMetrics_.horizontalAdvance(word));
            }
            wrappedTitles[column] = std::max(cells[column], widestWord);
        }
        const double available = device_.width();
        auto tableWidth = [this](const std::vector<double>& texts) {
            double width = 0;
            for (double text : texts) {
                width += text + 2 * padding_ + 1;
            }
            return width;
        };
        const std::vector<double>& chosen =
            tableWidth(wholeTitles) <= available ? wholeTitles : wrappedTitles;
        widths_.clear();
        for (double text : chosen) {
            widths_.push_back(std::ceil(text + 2 * padding_ + 1));
        }
        const double width = tableWidth(chosen);
        scale_ = width > available ? available / width : 1.0;
        pageWidth_ = available / scale_;
        pageHeight_ = device_.height() / scale_;
        headingHeight_ = 0;
        for (std::size_t column = 0; column < count; ++column) {
            const QRectF box = boldMetrics_.boundingRect(
                QRectF(0, 0, widths_[column] - 2 * padding_, kUnboundedHeight),
                Qt::TextWordWrap | Qt::AlignHCenter, qText(titleOf(column)));
            headingHeight_ = std::max(headingHeight_, box.height() + 2 * padding_);
        }
    }

    std::string titleOf(std::size_t column) const { return printout_.title(column); }

    double wrappedHeight(const QFontMetricsF& metrics, const std::string& text) const {
        return metrics
            .boundingRect(QRectF(0, 0, pageWidth_, kUnboundedHeight), Qt::TextWordWrap, qText(text))
            .height();
    }

    void measureBlocks() {
        titleHeight_ = wrappedHeight(titleMetrics_, printout_.texts.title);
        captionHeight_ = wrappedHeight(bodyMetrics_, printout_.texts.caption);
        for (const std::string& note : printout_.texts.notes) {
            noteHeights_.push_back(wrappedHeight(bodyMetrics_, note));
        }
    }

    // Pages in order: the table's rows as many to a page as fit under the column titles, then
    // the notes, each kept whole on a page.
    void paginate() {
        Page page;
        page.withTitle = true;
        double y = titleHeight_ + captionHeight_ + 2 * gap_;
        auto nextPage = [this, &page, &y] {
            pages_.push_back(page);
            page = Page();
            page.firstRow = page.endRow = pages_.back().endRow;
            page.firstNote = page.endNote = pages_.back().endNote;
            y = 0;
        };
        int row = 0;
        while (row < tableRowCount()) {
            if (y > 0 && y + headingHeight_ + rowHeight_ > pageHeight_) {
                nextPage();
            }
            y += headingHeight_;
            const int fit = std::max(1, static_cast<int>((pageHeight_ - y) / rowHeight_));
            const int rows = std::min(fit, tableRowCount() - row);
            page.firstRow = row;
            row += rows;
            page.endRow = row;
            y += rows * rowHeight_ + gap_;
            if (row < tableRowCount()) {
                nextPage();
            }
        }
        for (std::size_t note = 0; note < noteHeights_.size(); ++note) {
            if (y > 0 && y + noteHeights_[note] > pageHeight_) {
                nextPage();
            }
            page.endNote = note + 1;
            y += noteHeights_[note] + gap_;
        }
        pages_.push_back(page);
    }

    // The column titles, then the rows, in a grid; gives where the table ends.
    double paintTable(QPainter& painter, double top, int firstRow, int endRow) const {
        const std::size_t count = widths_.size();
        painter.setFont(bold_);
        double x = 0;
        for (std::size_t column = 0; column < count; ++column) {
            painter.drawText(QRectF(x + padding_, top + padding_, widths_[column] - 2 * padding_,
                                    headingHeight_ - 2 * padding_),
                             Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignVCenter,
                             qText(titleOf(column)));
            x += widths_[column];
        }
        const double tableWidth = x;
        double y = top + headingHeight_;
        for (int row = firstRow; row < endRow; ++row) {
            const bool totals = isTotals(row);
            painter.setFont(totals ? bold_ : body_);
            const QFontMetricsF& metrics = totals ? boldMetrics_ : bodyMetrics_;
            const TextRow texts = printout_.row(row);
            const double baseline = y + padding_ + metrics.ascent();
            x = 0;
            for (std::size_t column = 0; column < count; ++column) {
                const QString text = qText(texts[column]);
                const bool amount = printout_.isAmount(column);
                const double left =
                    amount ? x + widths_[column] - padding_ - metrics.horizontalAdvance(text)
                           : x + padding_;
                painter.drawText(QPointF(left, baseline), text);
                x += widths_[column];
            }
            y += rowHeight_;
        }
        // The grid: a line above every row and below the last, one beside every column.
        QPen pen(Qt::black);
        pen.setWidthF(device_.logicalDpiX() / 144.0 / scale_);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, top), QPointF(tableWidth, top));
        for (double line = top + headingHeight_; line <= y + 0.5; line += rowHeight_) {
            painter.drawLine(QPointF(0, line), QPointF(tableWidth, line));
        }
        x = 0;
        painter.drawLine(QPointF(0, top), QPointF(0, y));
        for (double width : widths_) {
            x += width;
            painter.drawLine(QPointF(x, top), QPointF(x, y));
        }
        return y;
    }

    QPagedPaintDevice& device_;
    const PaintedTable& printout_;
    QFont body_;
    QFont bold_;
    QFont title_;
    QFontMetricsF bodyMetrics_;
    QFontMetricsF boldMetrics_;
    QFontMetricsF titleMetrics_;
    double padding_ = 0;
    double rowHeight_ = 0;
    double headingHeight_ = 0;
    double gap_ = 0;
    double scale_ = 1.0;
    double pageWidth_ = 0;
    double pageHeight_ = 0;
    double titleHeight_ = 0;
    double captionHeight_ = 0;
    std::vector<double> widths_;
    std::vector<double> noteHeights_;
    std::vector<Page> pages_;
};

PaintOutcome paintPages(QPagedPaintDevice& device, const PaintedTable& printout,
                        const PageProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return PaintOutcome::Failed;
    }
    const ReportPainter pages(device, printout);
    for (int page = 0; page < pages.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            return PaintOutcome::Failed;
        }
        pages.paint(painter, page);
        if (progress && !progress(page + 1, pages.pageCount())) {
            return PaintOutcome::Cancelled;
        }
    }
    return painter.end() ? PaintOutcome::Done : PaintOutcome::Failed;
}

PaintOutcome writePdf(const std::string& path, const ResourceLocations& resources,
                      const PaintedTable& printout, const QPageLayout& layout,
                      const std::string& title, const PageProgress& progress, std::string* error) {
    // The whole file is made first, then written in one step: cancelled or failed midway, no
    // part of it reaches the disk.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    PaintOutcome outcome = PaintOutcome::Failed;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setTitle(qText(title));
        writer.setCreator(QStringLiteral("Orvelt"));
        outcome = paintPages(writer, printout, progress);
    }
    if (outcome == PaintOutcome::Failed && error != nullptr) {
        *error = "The pages could not be drawn.";
    }
    if (outcome != PaintOutcome::Done) {
        return outcome;
    }
    const std::string_view bytes(buffer.data().constData(),
                                 static_cast<std::size_t>(buffer.size()));
    return writeExportFile(path, bytes, resources, error) ? PaintOutcome::Done
                                                          : PaintOutcome::Failed;
}

} // namespace

PaintOutcome paintReportPages(QPagedPaintDevice& device, const ReportPrintout& printout,
                              const PageProgress& progress) {
    return paintPages(device, paintedTableOf(printout), progress);
}

PaintOutcome paintTablePages(QPagedPaintDevice& device, const TablePrintout& printout,
                             const PageProgress& progress) {
    return paintPages(device, paintedTableOf(printout), progress);
}

QPageLayout reportPdfPageLayout() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                       QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
}

PaintOutcome writeReportPdf(const std::string& path, const ResourceLocations& resources,
                            const ReportPrintout& printout, const QPageLayout& layout,
                            const std::string& title, const PageProgress& progress,
                            std::string* error) {
    return writePdf(path, resources, paintedTableOf(printout), layout, title, progress, error);
}

PaintOutcome writeTablePdf(const std::string& path, const ResourceLocations& resources,
                           const TablePrintout& printout, const QPageLayout& layout,
                           const std::string& title, const PageProgress& progress,
                           std::string* error) {
    return writePdf(path, resources, paintedTableOf(printout), layout, title, progress, error);
}

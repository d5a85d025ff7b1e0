#include "valuation/ui/ReportHeaderView.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

namespace {

// The width of the title's wider line when it is broken at the space that makes that line the
// narrowest; the whole title's width when it has no space.
int twoLineWidth(const QString& title, const QFontMetrics& metrics) {
    int best = metrics.horizontalAdvance(title);
    for (qsizetype space = title.indexOf(QLatin1Char(' ')); space >= 0;
         space = title.indexOf(QLatin1Char(' '), space + 1)) {
        best = std::min(best, std::max(metrics.horizontalAdvance(title.left(space)),
                                       metrics.horizontalAdvance(title.mid(space + 1))));
    }
    return best;
}

} // namespace

ReportHeaderView::ReportHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // A click on a title sorts by its column.
    setSectionsClickable(true);
    // The painter breaks a title that does not fit its section between words.
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter |
                        static_cast<Qt::Alignment>(Qt::TextWordWrap));
}

QSize ReportHeaderView::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (model() == nullptr) {
        return size;
    }
    const QString title = model()->headerData(logicalIndex, orientation()).toString();
    QFont font = this->font();
    // Measured in bold, as the header measures its sections to have room for a bold title.
    font.setBold(true);
    const QFontMetrics metrics(font);
    size.rwidth() -= metrics.horizontalAdvance(title) - twoLineWidth(title, metrics);
    size.rheight() = std::max(size.height(), 2 * metrics.lineSpacing() + 6);
    return size;
}

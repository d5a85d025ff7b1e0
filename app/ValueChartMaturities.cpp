#include "app/ValueChartMaturities.h"

#include <QFontMetricsF>
#include <array>

namespace {

// The periods marks are grouped by, in months, finest first; 0 puts every mark in one group.
// A period starts at a January of a year that is a multiple of its length in years.
constexpr std::array<int, 9> kPeriods = {1, 3, 6, 12, 24, 60, 120, 240, 0};
// The least room between two labels, in pixels.
constexpr double kLabelSpacing = 12.0;

int monthIndex(const YearMonth& month) {
    return month.year * 12 + month.month - 1;
}

QString shortMonthName(int month) {
    return QString::fromUtf8(monthName(month).substr(0, 3));
}

QString labelOf(const MaturityMark& mark) {
    QString period;
    if (mark.first == mark.last) {
        period = QString::fromStdString(mark.first.name());
    } else if (mark.first.year == mark.last.year) {
        period = QStringLiteral("%1–%2 %3")
                     .arg(shortMonthName(mark.first.month), shortMonthName(mark.last.month),
                          QString::number(mark.first.year));
    } else {
        period = QStringLiteral("%1–%2").arg(mark.first.year).arg(mark.last.year);
    }
    if (mark.bonds > 1) {
        period += QStringLiteral(" (%1 bonds)").arg(QString::number(mark.bonds));
    }
    return period;
}

std::vector<MaturityMark> groupedBy(const std::vector<FinalMaturity>& maturities, int period) {
    std::vector<MaturityMark> marks;
    int lastKey = -1;
    for (const FinalMaturity& maturity : maturities) {
        const int key = period == 0 ? 0 : monthIndex(maturity.month) / period;
        if (marks.empty() || key != lastKey) {
            marks.push_back({maturity.month, maturity.month, 0, {}});
            lastKey = key;
        }
        marks.back().last = maturity.month;
        marks.back().bonds += maturity.bonds;
    }
    for (MaturityMark& mark : marks) {
        mark.label = labelOf(mark);
    }
    return marks;
}

bool labelsFit(const std::vector<MaturityMark>& marks, YearMonth from, double pixelsPerMonth,
               const QFontMetricsF& metrics) {
    const auto centre = [&](const MaturityMark& mark) {
        return (mark.first.monthsSince(from) + mark.last.monthsSince(from)) / 2.0 * pixelsPerMonth;
    };
    for (std::size_t index = 1; index < marks.size(); ++index) {
        const double room = centre(marks[index]) - centre(marks[index - 1]);
        const double needed = (metrics.horizontalAdvance(marks[index].label) +
                               metrics.horizontalAdvance(marks[index - 1].label)) /
                                  2.0 +
                              kLabelSpacing;
        if (room < needed) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<MaturityMark> maturityMarks(const std::vector<FinalMaturity>& maturities,
                                        YearMonth from, YearMonth to, double pixelsPerMonth,
                                        const QFontMetricsF& metrics) {
    std::vector<FinalMaturity> inRange;
    for (const FinalMaturity& maturity : maturities) {
        if (maturity.month >= from && maturity.month <= to) {
            inRange.push_back(maturity);
        }
    }
    std::vector<MaturityMark> marks;
    for (const int period : kPeriods) {
        marks = groupedBy(inRange, period);
        if (labelsFit(marks, from, pixelsPerMonth, metrics)) {
            break;
        }
    }
    return marks;
}

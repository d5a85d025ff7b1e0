#include "app/ValueChartView.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <set>

namespace {

const QColor kPortfolioColor(0x1f, 0x4e, 0x99);
const QColor kSelectionColor(0xd9, 0x73, 0x0d);
const QColor kMaturityColor(0x70, 0x70, 0x70);
const QColor kShownMonthColor(0xc0, 0x39, 0x2b);

// The months on the horizontal axis, one unit each.
double monthPosition(const YearMonth& month) {
    return month.year * 12.0 + (month.month - 1);
}

} // namespace

ValueChartView::ValueChartView(QWidget* parent) : QChartView(parent) {
    setObjectName("valueChart");
    setRenderHint(QPainter::Antialiasing);
    // Reached by Tab like any other part of a window.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Value over time"));
    setMinimumSize(480, 320);

    QChart* graph = chart();
    // Dates and amounts as the rest of the application writes them, not in the user's locale.
    graph->setLocalizeNumbers(false);
    graph->setLocale(QLocale::c());
    graph->legend()->setAlignment(Qt::AlignBottom);

    monthAxis_ = new QCategoryAxis;
    monthAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    amountAxis_ = new QValueAxis;
    // "$1234": a point, no thousands separators.
    amountAxis_->setLabelFormat("$%.0f");
    amountAxis_->setTitleText(tr("Worth"));
    graph->addAxis(monthAxis_, Qt::AlignBottom);
    graph->addAxis(amountAxis_, Qt::AlignLeft);
    rebuildSeries();
}

void ValueChartView::setSnapshot(std::shared_ptr<const ReportSnapshot> snapshot,
                                 ValueTableRef table, bool sameBonds) {
    snapshot_ = std::move(snapshot);
    table_ = std::move(table);
    if (sameBonds) {
        return;
    }
    std::vector<Bond> bonds;
    if (snapshot_) {
        bonds.reserve(snapshot_->rows.size());
        for (const ReportRow& row : snapshot_->rows) {
            bonds.push_back(row.bond);
        }
    }
    portfolio_ = worthOverTime(bonds, table_.get());
    ++computations_;
    computeSelection();
    rebuildSeries();
}

void ValueChartView::setSelection(std::vector<std::string> serials) {
    selectedSerials_ = std::move(serials);
    computeSelection();
    rebuildSeries();
}

void ValueChartView::setShownMonth(std::optional<YearMonth> month) {
    shownMonth_ = month;
    placeShownMonthMarker();
}

void ValueChartView::computeSelection() {
    if (selectedSerials_.empty()) {
        selection_ = {};
        return;
    }
    const std::set<std::string> chosen(selectedSerials_.begin(), selectedSerials_.end());
    std::vector<Bond> selected;
    if (snapshot_) {
        for (const ReportRow& row : snapshot_->rows) {
            if (chosen.count(row.bond.serial) != 0) {
                selected.push_back(row.bond);
            }
        }
    }
    selection_ = worthOverTime(selected, table_.get());
    ++computations_;
}

bool ValueChartView::inRange(const YearMonth& month) const {
    return !portfolio_.months.empty() && month >= portfolio_.months.front().month &&
           month <= portfolio_.months.back().month;
}

void ValueChartView::rebuildSeries() {
    QChart* graph = chart();
    shownMonthMarker_ = nullptr;
    graph->removeAllSeries();

    const std::vector<MonthWorth>& months = portfolio_.months;
    // Without a table there are no months to show.
    monthAxis_->setVisible(!months.empty());
    amountAxis_->setVisible(!months.empty());
    const YearMonth first = months.empty() ? YearMonth{2000, 1} : months.front().month;
    const YearMonth last = months.empty() ? YearMonth{2001, 1} : months.back().month;
    for (const QString& label : monthAxis_->categoriesLabels()) {
        monthAxis_->remove(label);
    }
    monthAxis_->setStartValue(monthPosition(first));
    monthAxis_->setRange(monthPosition(first), monthPosition(last));
    // A label at each January, every other year over a long range.
    const int step = last.year - first.year > 10 ? 2 : 1;
    for (int year = first.year + 1; year <= last.year; year += step) {
        monthAxis_->append(QString::number(year), monthPosition({year, 1}));
    }

    double highest = 0.0;
    for (const WorthOverTime* worth : {&portfolio_, &selection_}) {
        for (const MonthWorth& month : worth->months) {
            highest = std::max(highest, month.worth.value_or(Amount()).dollars());
        }
    }
    amountAxis_->setRange(0.0, highest > 0.0 ? highest * 1.05 : 100.0);
    amountAxis_->applyNiceNumbers();

    addLine(portfolio_, "portfolio", tr("Portfolio"), kPortfolioColor);
    addLine(selection_, "selection", tr("Selected bonds"), kSelectionColor);
    QPen maturityPen(kMaturityColor, 1.0, Qt::DashLine);
    bool firstMarker = true;
    for (const YearMonth& maturity : portfolio_.finalMaturities) {
        if (inRange(maturity)) {
            addMarker(maturity, "finalMaturity", tr("Final maturity"), maturityPen, firstMarker);
            firstMarker = false;
        }
    }
    placeShownMonthMarker();
}

void ValueChartView::addLine(const WorthOverTime& worth, const char* objectName,
                             const QString& name, const QColor& color) {
    bool firstRun = true;
    for (const WorthRun& run : worth.runs()) {
        auto* series = new QLineSeries;
        series->setObjectName(objectName);
        series->setName(name);
        series->setPen(QPen(color, 2.0));
        for (std::size_t index = run.first; index < run.first + run.count; ++index) {
            series->append(monthPosition(worth.months[index].month),
                           worth.months[index].worth->dollars());
        }
        // A month alone between gaps would draw no line at all.
        series->setPointsVisible(run.count == 1);
        chart()->addSeries(series);
        series->attachAxis(monthAxis_);
        series->attachAxis(amountAxis_);
        // One entry in the legend for the whole line, however many pieces it has.
        for (QLegendMarker* marker : chart()->legend()->markers(series)) {
            marker->setVisible(firstRun);
        }
        firstRun = false;
    }
}

QLineSeries* ValueChartView::addMarker(const YearMonth& month, const char* objectName,
                                       const QString& name, const QPen& pen, bool inLegend) {
    auto* series = new QLineSeries;
    series->setObjectName(objectName);
    series->setName(name);
    series->setPen(pen);
    series->append(monthPosition(month), amountAxis_->min());
    series->append(monthPosition(month), amountAxis_->max());
    chart()->addSeries(series);
    series->attachAxis(monthAxis_);
    series->attachAxis(amountAxis_);
    for (QLegendMarker* marker : chart()->legend()->markers(series)) {
        marker->setVisible(inLegend);
    }
    return series;
}

void ValueChartView::placeShownMonthMarker() {
    if (shownMonthMarker_ != nullptr) {
        chart()->removeSeries(shownMonthMarker_);
        delete shownMonthMarker_;
        shownMonthMarker_ = nullptr;
    }
    if (!shownMonth_ || !inRange(*shownMonth_)) {
        return;
    }
    const QString name = tr("Shown month: %1").arg(QString::fromStdString(shownMonth_->name()));
    shownMonthMarker_ =
        addMarker(*shownMonth_, "shownMonth", name, QPen(kShownMonthColor, 1.5), true);
}

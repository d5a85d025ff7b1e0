#include "app/ValueChartView.h"

#include "app/ValueChartMaturities.h"
#include "valuation/Projection.h"
#include "valuation/ReportSnapshot.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <set>

namespace {

const QColor kPortfolioColor(0x1f, 0x4e, 0x99);
const QColor kSelectionColor(0xd9, 0x73, 0x0d);
const QColor kMaturityColor(0x70, 0x70, 0x70);
const QColor kMaturityStripColor(0x70, 0x70, 0x70, 0x60);
const QColor kShownMonthColor(0xc0, 0x39, 0x2b);
// The share of the plot's height a group of maturity marks takes at its top.
constexpr double kStripHeight = 0.04;

// The months on the horizontal axis, one unit each.
double monthPosition(const YearMonth& month) {
    return month.year * 12.0 + (month.month - 1);
}

YearMonth monthAtPosition(double position) {
    const int index = static_cast<int>(std::lround(position));
    return {index / 12, index % 12 + 1};
}

std::vector<Bond> bondsWithSerials(const std::vector<Bond>& bonds,
                                   const std::vector<std::string>& serials) {
    const std::set<std::string> chosen(serials.begin(), serials.end());
    std::vector<Bond> found;
    for (const Bond& bond : bonds) {
        if (chosen.count(bond.serial) != 0) {
            found.push_back(bond);
        }
    }
    return found;
}

double highestWorth(const WorthOverTime& worth) {
    double highest = 0.0;
    for (const MonthWorth& month : worth.months) {
        highest = std::max(highest, month.worth.value_or(Amount()).dollars());
    }
    return highest;
}

// A scale from $0 to a little above the highest worth, with whole dollars unless the amounts are
// that small.
void setAmountRange(QValueAxis* axis, double highest) {
    axis->setRange(0.0, highest > 0.0 ? highest * 1.05 : 100.0);
    axis->applyNiceNumbers();
    // "$1234": a point, no thousands separators.
    axis->setLabelFormat(axis->max() < 10.0 ? "$%.2f" : "$%.0f");
}

QString worthText(const WorthOverTime& worth, const YearMonth& month) {
    const MonthWorth* entry = worth.at(month);
    if (entry != nullptr && entry->worth) {
        const QString amount = QString::fromStdString(amountText(*entry->worth));
        return entry->projected ? QString::fromStdString(std::string(kProjectedMark)) + amount +
                                      QStringLiteral(" (projected)")
                                : amount;
    }
    if (entry != nullptr && entry->bondsWithoutValue > 0) {
        return entry->bondsWithoutValue == 1 ? QStringLiteral("not known: 1 bond has no value")
                                             : QStringLiteral("not known: %1 bonds have no value")
                                                   .arg(QString::number(entry->bondsWithoutValue));
    }
    if (!worth.firstIssue || month < *worth.firstIssue) {
        return QStringLiteral("not issued yet");
    }
    return QStringLiteral("not known");
}

// The read-out's box: its text on a light ground, so that the lines behind it do not cross it.
class ReadOutItem : public QGraphicsTextItem {
  public:
    using QGraphicsTextItem::QGraphicsTextItem;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget) override {
        painter->setPen(QPen(QColor(0x90, 0x90, 0x90)));
        painter->setBrush(QColor(0xff, 0xff, 0xff, 0xee));
        painter->drawRect(boundingRect());
        QGraphicsTextItem::paint(painter, option, widget);
    }
};

} // namespace

ValueChartView::ValueChartView(QWidget* parent)
    : QChartView(parent), bonds_(std::make_shared<const std::vector<Bond>>()) {
    setObjectName("valueChart");
    setRenderHint(QPainter::Antialiasing);
    // Reached by Tab like any other part of a window; the arrow keys then move the read-out.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Value over time"));
    setMinimumSize(480, 320);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    QChart* graph = chart();
    // Dates and amounts as the rest of the application writes them, not in the user's locale.
    graph->setLocalizeNumbers(false);
    graph->setLocale(QLocale::c());
    graph->legend()->setAlignment(Qt::AlignBottom);

    monthAxis_ = new QCategoryAxis;
    monthAxis_->setObjectName("months");
    monthAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    maturityAxis_ = new QCategoryAxis;
    maturityAxis_->setObjectName("maturities");
    maturityAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    maturityAxis_->setTitleText(QStringLiteral("Final maturity"));
    maturityAxis_->setGridLineVisible(false);
    maturityAxis_->setTruncateLabels(false);
    maturityAxis_->setLabelsBrush(kMaturityColor);
    amountAxis_ = new QValueAxis;
    amountAxis_->setObjectName("worth");
    amountAxis_->setTitleText(QStringLiteral("Portfolio"));
    amountAxis_->setTitleBrush(kPortfolioColor);
    selectionAxis_ = new QValueAxis;
    selectionAxis_->setObjectName("selectionWorth");
    selectionAxis_->setTitleText(QStringLiteral("Selected bonds"));
    selectionAxis_->setTitleBrush(kSelectionColor);
    selectionAxis_->setLabelsBrush(kSelectionColor);
    selectionAxis_->setGridLineVisible(false);
    graph->addAxis(monthAxis_, Qt::AlignBottom);
    graph->addAxis(maturityAxis_, Qt::AlignTop);
    graph->addAxis(amountAxis_, Qt::AlignLeft);
    graph->addAxis(selectionAxis_, Qt::AlignRight);

    computingText_ =
        new QGraphicsSimpleTextItem(QStringLiteral("Computing the worth by month…"), graph);
    computingText_->setZValue(10);
    readOutLine_ = new QGraphicsLineItem(graph);
    readOutLine_->setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0, Qt::DotLine));
    readOutLine_->setZValue(10);
    readOut_ = new ReadOutItem(graph);
    readOut_->setObjectName("readOut");
    readOut_->setZValue(11);
    showReadOut(std::nullopt);
    // The marks are grouped for the plot's width, and what floats over the plot follows it.
    connect(graph, &QChart::plotAreaChanged, this, [this] {
        QMetaObject::invokeMethod(this, &ValueChartView::placeOverPlot, Qt::QueuedConnection);
    });
    rebuildSeries();
}

ValueChartView::~ValueChartView() {
    // The workers end before anything they might report to goes.
    for (Job* job : {&portfolioJob_, &selectionJob_}) {
        job->worker.request_stop();
        if (job->worker.joinable()) {
            job->worker.join();
        }
    }
}

void ValueChartView::setBonds(std::vector<Bond> bonds, ValueTableRef table,
                              std::optional<YearMonth> horizon) {
    horizon_ = horizon;
    setBonds(std::move(bonds), std::move(table));
}

std::optional<YearMonth> ValueChartView::lastMonthDrawn() const {
    if (!table_ || table_->redemptionMonths().empty()) {
        return std::nullopt;
    }
    return lastMonth();
}

void ValueChartView::setBonds(std::vector<Bond> bonds, ValueTableRef table) {
    bonds_ = std::make_shared<const std::vector<Bond>>(std::move(bonds));
    table_ = std::move(table);
    compute(Line::Portfolio);
    compute(Line::Selection);
    rebuildSeries();
}

void ValueChartView::setSelection(std::vector<std::string> serials) {
    if (serials == selectedSerials_) {
        return;
    }
    selectedSerials_ = std::move(serials);
    compute(Line::Selection);
    rebuildSeries();
}

void ValueChartView::setShownMonth(std::optional<YearMonth> month) {
    shownMonth_ = month;
    placeShownMonthMarker();
}

void ValueChartView::setHorizon(std::optional<YearMonth> horizon) {
    if (horizon == horizon_) {
        return;
    }
    horizon_ = horizon;
    compute(Line::Portfolio);
    compute(Line::Selection);
    rebuildSeries();
}

YearMonth ValueChartView::lastMonth() const {
    const YearMonth last = table_->redemptionMonths().back();
    if (!horizon_ || *horizon_ <= last) {
        return last;
    }
    return std::min(*horizon_, lastProjectedMonth(*table_).value_or(last));
}

void ValueChartView::compute(Line line) {
    Job& job = line == Line::Portfolio ? portfolioJob_ : selectionJob_;
    (line == Line::Portfolio ? portfolio_ : selection_) = {};
    const long generation = ++job.generation;
    job.running = line == Line::Portfolio || !selectedSerials_.empty();
    if (!job.running) {
        // Nothing to compute; one still running has nothing left to report.
        job.worker = std::jthread();
        return;
    }
    // The worker holds its own share of the bonds and the table, which nothing changes.
    job.worker =
        std::jthread([this, line, generation, bonds = bonds_, table = table_,
                      serials = selectedSerials_, horizon = horizon_](std::stop_token stop) {
            auto worth = std::make_shared<WorthOverTime>();
            if (line == Line::Portfolio) {
                *worth = worthOverTime(*bonds, table.get(), stop, horizon);
            } else if (const std::vector<Bond> selected = bondsWithSerials(*bonds, serials);
                       !selected.empty()) {
                // Serials of another portfolio select nothing here: no line at all.
                *worth = worthOverTime(selected, table.get(), stop, horizon);
            }
            if (stop.stop_requested()) {
                return;
            }
            QMetaObject::invokeMethod(
                this,
                [this, line, generation, worth] { takeWorth(line, generation, std::move(*worth)); },
                Qt::QueuedConnection);
        });
}

void ValueChartView::takeWorth(Line line, long generation, WorthOverTime worth) {
    Job& job = line == Line::Portfolio ? portfolioJob_ : selectionJob_;
    if (generation != job.generation) {
        return;
    }
    job.running = false;
    (line == Line::Portfolio ? portfolio_ : selection_) = std::move(worth);
    rebuildSeries();
    emit worthDrawn();
}

bool ValueChartView::inRange(const YearMonth& month) const {
    return table_ && !table_->redemptionMonths().empty() &&
           month >= table_->redemptionMonths().front() && month <= lastMonth();
}

void ValueChartView::rebuildSeries() {
    QChart* graph = chart();
    shownMonthMarker_ = nullptr;
    maturitySeries_.clear();
    graph->removeAllSeries();

    // The months are the table's, known before any worth is.
    const bool hasMonths = table_ && !table_->redemptionMonths().empty();
    monthAxis_->setVisible(hasMonths);
    amountAxis_->setVisible(hasMonths);
    const YearMonth first = hasMonths ? table_->redemptionMonths().front() : YearMonth{2000, 1};
    const YearMonth last = hasMonths ? lastMonth() : YearMonth{2001, 1};
    for (const QString& label : monthAxis_->categoriesLabels()) {
        monthAxis_->remove(label);
    }
    monthAxis_->setStartValue(monthPosition(first));
    monthAxis_->setRange(monthPosition(first), monthPosition(last));
    maturityAxis_->setStartValue(monthPosition(first));
    maturityAxis_->setRange(monthPosition(first), monthPosition(last));
    // A label at each January, every other year over a long range.
    const int step = last.year - first.year > 10 ? 2 : 1;
    for (int year = first.year + 1; year <= last.year; year += step) {
        monthAxis_->append(QString::number(year), monthPosition({year, 1}));
    }

    setAmountRange(amountAxis_, highestWorth(portfolio_));
    setAmountRange(selectionAxis_, highestWorth(selection_));
    // The selection is a part of the portfolio, often a small one: on the portfolio's scale its
    // line would lie flat along the bottom.
    selectionAxis_->setVisible(!selection_.runs().empty());
    addLine(portfolio_, "portfolio", QStringLiteral("Portfolio"), kPortfolioColor, amountAxis_);
    addLine(selection_, "selection", QStringLiteral("Selected bonds"), kSelectionColor,
            selectionAxis_);
    markScale_ = -1.0;
    placeOverPlot();
}

void ValueChartView::rebuildMaturityMarks() {
    const QRectF plot = chart()->plotArea();
    const double span = monthAxis_->max() - monthAxis_->min();
    const double scale = span > 0.0 ? plot.width() / span : 0.0;
    if (std::abs(scale - markScale_) < 1e-6) {
        return;
    }
    markScale_ = scale;
    for (QAbstractSeries* series : maturitySeries_) {
        chart()->removeSeries(series);
        delete series;
    }
    maturitySeries_.clear();
    for (const QString& label : maturityAxis_->categoriesLabels()) {
        maturityAxis_->remove(label);
    }
    const std::vector<MaturityMark> marks =
        monthAxis_->isVisible()
            ? maturityMarks(portfolio_.finalMaturities, monthAtPosition(monthAxis_->min()),
                            monthAtPosition(monthAxis_->max()), scale,
                            QFontMetricsF(maturityAxis_->labelsFont()))
            : std::vector<MaturityMark>();
    maturityAxis_->setVisible(!marks.empty());
    const QPen linePen(kMaturityColor, 1.0, Qt::DashLine);
    for (const MaturityMark& mark : marks) {
        const bool inLegend = maturitySeries_.empty();
        maturityAxis_->append(mark.label,
                              (monthPosition(mark.first) + monthPosition(mark.last)) / 2.0);
        if (mark.first == mark.last) {
            maturitySeries_.push_back(addMarker(
                mark.first, "finalMaturity", QStringLiteral("Final maturity"), linePen, inLegend));
            continue;
        }
        maturitySeries_.push_back(addMaturityStrip(mark, linePen, inLegend));
    }
    // Last in the legend, as before the marks were drawn anew.
    placeShownMonthMarker();
}

QAreaSeries* ValueChartView::addMaturityStrip(const MaturityMark& mark, const QPen& pen,
                                              bool inLegend) {
    // A strip under the group's label over the months its bonds mature in, which leaves the
    // lines below it clear.
    auto* strip = new QAreaSeries;
    auto* top = new QLineSeries(strip);
    auto* bottom = new QLineSeries(strip);
    const double stripBottom =
        amountAxis_->max() - (amountAxis_->max() - amountAxis_->min()) * kStripHeight;
    for (const YearMonth& month : {mark.first, mark.last}) {
        top->append(monthPosition(month), amountAxis_->max());
        bottom->append(monthPosition(month), stripBottom);
    }
    strip->setUpperSeries(top);
    strip->setLowerSeries(bottom);
    strip->setObjectName("finalMaturity");
    strip->setName(QStringLiteral("Final maturity"));
    strip->setPen(pen);
    strip->setBrush(kMaturityStripColor);
    chart()->addSeries(strip);
    strip->attachAxis(monthAxis_);
    strip->attachAxis(amountAxis_);
    for (QLegendMarker* marker : chart()->legend()->markers(strip)) {
        marker->setVisible(inLegend);
    }
    return strip;
}

void ValueChartView::addLine(const WorthOverTime& worth, const char* objectName,
                             const QString& name, const QColor& color, QValueAxis* axis) {
    bool firstRun = true;
    bool firstProjected = true;
    for (const WorthRun& run : worth.runs()) {
        // The table's months solid; the projected ones dashed, from the last month of the table
        // on where the run holds it, so that the line goes on unbroken.
        std::size_t projectedFrom = run.first;
        while (projectedFrom < run.first + run.count && !worth.months[projectedFrom].projected) {
            ++projectedFrom;
        }
        for (const bool projected : {false, true}) {
            const std::size_t begin =
                projected ? std::max(run.first,
                                     projectedFrom == run.first ? run.first : projectedFrom - 1)
                          : run.first;
            const std::size_t end = projected ? run.first + run.count : projectedFrom;
            if (begin >= end || (projected && projectedFrom == run.first + run.count)) {
                continue;
            }
            auto* series = new QLineSeries;
            series->setObjectName(objectName);
            series->setName(projected ? QStringLiteral("%1, projected").arg(name) : name);
            series->setPen(QPen(color, 2.0, projected ? Qt::DashLine : Qt::SolidLine));
            for (std::size_t index = begin; index < end; ++index) {
                series->append(monthPosition(worth.months[index].month),
                               worth.months[index].worth->dollars());
            }
            // A month alone between gaps would draw no line at all.
            series->setPointsVisible(end - begin == 1);
            chart()->addSeries(series);
            series->attachAxis(monthAxis_);
            series->attachAxis(axis);
            // One entry in the legend for each kind of line, however many pieces it has.
            bool& first = projected ? firstProjected : firstRun;
            for (QLegendMarker* marker : chart()->legend()->markers(series)) {
                marker->setVisible(first);
            }
            first = false;
        }
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
    const QString name =
        QStringLiteral("Shown month: %1").arg(QString::fromStdString(shownMonth_->name()));
    shownMonthMarker_ =
        addMarker(*shownMonth_, "shownMonth", name, QPen(kShownMonthColor, 1.5), true);
}

void ValueChartView::placeOverPlot() {
    rebuildMaturityMarks();
    const QRectF plot = chart()->plotArea();
    computingText_->setVisible(computing());
    computingText_->setPos(plot.center() - computingText_->boundingRect().center());
    showReadOut(readOutMonth_);
}

QString ValueChartView::readOutText() const {
    return readOut_->isVisible() ? readOut_->toPlainText() : QString();
}

QString ValueChartView::readOutOf(const YearMonth& month) const {
    QStringList lines{QString::fromStdString(month.name())};
    lines << QStringLiteral("Portfolio: %1").arg(worthText(portfolio_, month));
    if (selectionJob_.running || !selection_.months.empty()) {
        lines << QStringLiteral("Selected bonds: %1")
                     .arg(selectionJob_.running ? QStringLiteral("being computed")
                                                : worthText(selection_, month));
    }
    const auto maturity =
        std::find_if(portfolio_.finalMaturities.begin(), portfolio_.finalMaturities.end(),
                     [&month](const FinalMaturity& candidate) { return candidate.month == month; });
    if (maturity != portfolio_.finalMaturities.end()) {
        lines << (maturity->bonds == 1 ? QStringLiteral("Final maturity: 1 bond")
                                       : QStringLiteral("Final maturity: %1 bonds")
                                             .arg(QString::number(maturity->bonds)));
    }
    return lines.join('\n');
}

void ValueChartView::showReadOut(std::optional<YearMonth> month) {
    readOutMonth_ = month && inRange(*month) && !portfolioJob_.running ? month : std::nullopt;
    readOut_->setVisible(readOutMonth_.has_value());
    readOutLine_->setVisible(readOutMonth_.has_value());
    if (!readOutMonth_) {
        setAccessibleDescription({});
        return;
    }
    const QRectF plot = chart()->plotArea();
    const double span = monthAxis_->max() - monthAxis_->min();
    const double x =
        plot.left() + (monthPosition(*readOutMonth_) - monthAxis_->min()) / span * plot.width();
    readOutLine_->setLine(x, plot.top(), x, plot.bottom());
    readOut_->setPlainText(readOutOf(*readOutMonth_));
    // What a screen reader reads of the chart as the arrow keys move the read-out.
    setAccessibleDescription(readOut_->toPlainText());
    // Beside the line, on the side with room for it.
    const QRectF box = readOut_->boundingRect();
    const double left = x + 8.0 + box.width() <= plot.right() ? x + 8.0 : x - 8.0 - box.width();
    readOut_->setPos(left, plot.top() + 8.0);
}

void ValueChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    const QRectF plot = chart()->plotArea();
    if (plot.contains(point) && plot.width() > 0.0) {
        const double position = monthAxis_->min() + (point.x() - plot.left()) / plot.width() *
                                                        (monthAxis_->max() - monthAxis_->min());
        showReadOut(monthAtPosition(position));
    } else {
        showReadOut(std::nullopt);
    }
    QChartView::mouseMoveEvent(event);
}

void ValueChartView::leaveEvent(QEvent* event) {
    showReadOut(std::nullopt);
    QChartView::leaveEvent(event);
}

void ValueChartView::focusOutEvent(QFocusEvent* event) {
    showReadOut(std::nullopt);
    QChartView::focusOutEvent(event);
}

void ValueChartView::keyPressEvent(QKeyEvent* event) {
    if (!table_ || table_->redemptionMonths().empty()) {
        QChartView::keyPressEvent(event);
        return;
    }
    const YearMonth first = table_->redemptionMonths().front();
    const YearMonth last = lastMonth();
    // From the month shown when the read-out is not out yet.
    const YearMonth from =
        readOutMonth_.value_or(shownMonth_ && inRange(*shownMonth_) ? *shownMonth_ : last);
    std::optional<YearMonth> to;
    switch (event->key()) {
    case Qt::Key_Left:
        to = readOutMonth_ ? std::max(first, from.plusMonths(-1)) : from;
        break;
    case Qt::Key_Right:
        to = readOutMonth_ ? std::min(last, from.plusMonths(1)) : from;
        break;
    case Qt::Key_Home:
        to = first;
        break;
    case Qt::Key_End:
        to = last;
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    showReadOut(to);
    event->accept();
}

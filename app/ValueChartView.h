#pragma once

// A chart of what bonds are worth by month over the months the value table holds: the
// portfolio's worth as one line and the selected bonds' worth as a second, each drawn as separate
// pieces where months have no worth (see WorthOverTime), with a dashed vertical marker at each
// final maturity within the months and a solid one at the month shown. The worth is computed when
// it is given the bonds (a portfolio's snapshot) or the selection, never while the chart is
// drawn. Amounts and
// dates on the axes read the same whatever the user's locale.
//
// Series carry object names for what they show: "portfolio", "selection" (one series per
// piece), "finalMaturity" (one per marker) and "shownMonth".

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"
#include "valuation/WorthOverTime.h"

#include <QChartView>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

class ValueChartView : public QChartView {
    Q_OBJECT

  public:
    explicit ValueChartView(QWidget* parent = nullptr);

    // The portfolio's snapshot, whose bonds the chart shows, and the table they are valued
    // with (none: no chart). The worth is computed anew, unless `sameBonds` says the snapshot's
    // bonds and table are those shown already (only the month moved).
    void setSnapshot(std::shared_ptr<const ReportSnapshot> snapshot, ValueTableRef table,
                     bool sameBonds = false);
    // The bonds the second line adds up, by serial; none: no second line.
    void setSelection(std::vector<std::string> serials);
    // The month the marker stands at; none (or a month outside the table's): no marker.
    void setShownMonth(std::optional<YearMonth> month);

    const WorthOverTime& portfolioWorth() const { return portfolio_; }
    const WorthOverTime& selectionWorth() const { return selection_; }
    // How many times a worth over time has been computed.
    long computationCount() const { return computations_; }

  private:
    void computeSelection();
    // Draws the lines and markers anew from the worth already computed.
    void rebuildSeries();
    void addLine(const WorthOverTime& worth, const char* objectName, const QString& name,
                 const QColor& color);
    QLineSeries* addMarker(const YearMonth& month, const char* objectName, const QString& name,
                           const QPen& pen, bool inLegend);
    void placeShownMonthMarker();
    bool inRange(const YearMonth& month) const;

    std::shared_ptr<const ReportSnapshot> snapshot_;
    ValueTableRef table_;
    std::vector<std::string> selectedSerials_;
    std::optional<YearMonth> shownMonth_;
    WorthOverTime portfolio_;
    WorthOverTime selection_;
    long computations_ = 0;

    QCategoryAxis* monthAxis_ = nullptr;
    QValueAxis* amountAxis_ = nullptr;
    QLineSeries* shownMonthMarker_ = nullptr;
};

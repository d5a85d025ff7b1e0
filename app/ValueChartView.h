#pragma once

// A chart of what bonds are worth by month over the months the value table holds, and after them
// up to a horizon the owner sets, projected and drawn dashed (see Projection.h): the
// portfolio's worth as one line on the left scale and the selected bonds' worth as a second on a
// scale of its own at the right, each drawn as separate pieces where months have no worth (see
// WorthOverTime); the final maturities as labelled marks, grouped where they are dense (see
// ValueChartMaturities.h); and a solid marker at the month shown. Pointing at the plot, or
// moving with the arrow keys while the chart has the focus, reads out the month and each line's
// amount.
//
// The worth is computed on a worker thread when the bonds, the table or the selection change,
// never while the chart is drawn, and drawn when it is ready; the window stays responsive
// meanwhile, and a change during a computation supersedes it. Amounts and dates on the axes read
// the same whatever the user's locale.
//
// Series carry object names for what they show: "portfolio", "selection" (one series per
// piece), "finalMaturity" (one per mark: a line, or a strip for a group) and "shownMonth"; the
// axes are "months", "worth", "selectionWorth" and "maturities" (the marks' labels, at the top).

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ValueTable.h"
#include "valuation/WorthOverTime.h"

struct MaturityMark;

#include <QChartView>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QAreaSeries;
class QCategoryAxis;
class QGraphicsLineItem;
class QGraphicsSimpleTextItem;
class QGraphicsTextItem;
class QLineSeries;
class QValueAxis;

class ValueChartView : public QChartView {
    Q_OBJECT

  public:
    explicit ValueChartView(QWidget* parent = nullptr);
    ~ValueChartView() override;

    // The portfolio's bonds (as the report reads them) and the table they are valued with; the
    // worth is computed anew. Its owner calls it when the bonds or the table changed.
    void setBonds(std::vector<Bond> bonds, ValueTableRef table);
    // The same with the horizon (setHorizon) set at once, the worth computed once.
    void setBonds(std::vector<Bond> bonds, ValueTableRef table, std::optional<YearMonth> horizon);
    // The bonds the second line adds up, by serial; none: no second line.
    void setSelection(std::vector<std::string> serials);
    // The month the marker stands at; none (or a month outside the chart's): no marker.
    void setShownMonth(std::optional<YearMonth> month);
    // The last month drawn after the table's, projected; none (or one within the table): none.
    // The worth is computed anew.
    void setHorizon(std::optional<YearMonth> horizon);
    const std::optional<YearMonth>& horizon() const { return horizon_; }

    // The bonds last set; the portfolio's worth refers to them by index.
    const std::vector<Bond>& bonds() const { return *bonds_; }
    // The worth drawn; empty while it is being computed.
    const WorthOverTime& portfolioWorth() const { return portfolio_; }
    // Whether a worth is being computed; worthDrawn follows when it is drawn.
    bool computing() const { return portfolioJob_.running || selectionJob_.running; }
    // What the read-out shows, a line for the month and one for each line and mark there; empty
    // when it is hidden.
    QString readOutText() const;

  signals:
    // A computed worth is drawn.
    void worthDrawn();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // One kind of worth on its worker; a result of an older generation is dropped.
    struct Job {
        std::jthread worker;
        long generation = 0;
        bool running = false;
    };
    enum class Line { Portfolio, Selection };

    void compute(Line line);
    void takeWorth(Line line, long generation, WorthOverTime worth);
    // Groups the marks for the plot's width and places what floats over the plot.
    void placeOverPlot();
    // Draws the lines and markers anew from the worth already computed.
    void rebuildSeries();
    void rebuildMaturityMarks();
    QAreaSeries* addMaturityStrip(const MaturityMark& mark, const QPen& pen, bool inLegend);
    void addLine(const WorthOverTime& worth, const char* objectName, const QString& name,
                 const QColor& color, QValueAxis* axis);
    QLineSeries* addMarker(const YearMonth& month, const char* objectName, const QString& name,
                           const QPen& pen, bool inLegend);
    void placeShownMonthMarker();
    bool inRange(const YearMonth& month) const;

  public:
    // The chart's last month: the table's, or the horizon after it; none without a table.
    std::optional<YearMonth> lastMonthDrawn() const;

  private:
    YearMonth lastMonth() const;
    void showReadOut(std::optional<YearMonth> month);
    QString readOutOf(const YearMonth& month) const;

    std::shared_ptr<const std::vector<Bond>> bonds_;
    ValueTableRef table_;
    std::vector<std::string> selectedSerials_;
    std::optional<YearMonth> shownMonth_;
    std::optional<YearMonth> horizon_;
    WorthOverTime portfolio_;
    WorthOverTime selection_;
    Job portfolioJob_;
    Job selectionJob_;
    // The pixels per month the maturity marks were last grouped for.
    double markScale_ = -1.0;

    QCategoryAxis* monthAxis_ = nullptr;
    QCategoryAxis* maturityAxis_ = nullptr;
    QValueAxis* amountAxis_ = nullptr;
    QValueAxis* selectionAxis_ = nullptr;
    QLineSeries* shownMonthMarker_ = nullptr;
    std::vector<QAbstractSeries*> maturitySeries_;
    QGraphicsSimpleTextItem* computingText_ = nullptr;
    QGraphicsLineItem* readOutLine_ = nullptr;
    QGraphicsTextItem* readOut_ = nullptr;
    std::optional<YearMonth> readOutMonth_;
};

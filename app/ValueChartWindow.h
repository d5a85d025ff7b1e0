#pragma once

// The "Value Over Time" window: the chart of the open portfolio's worth by month, following the
// application controller: another portfolio opened, bonds changed, the month shown moved, or new
// values read. With no portfolio open the chart is empty and its title says so. Below the chart,
// a note names the bonds that leave months of the line without a worth; there is no note when
// the line has no gap of that kind.

#include "app/TaskWindowController.h"

class ApplicationController;
class QLabel;
class ValueChartView;

class ValueChartWindow : public TaskWindowController {
    Q_OBJECT

  public:
    explicit ValueChartWindow(ApplicationController& controller);

    ValueChartView* chartView() const { return chart_; }

  public slots:
    // Reads the open portfolio's bonds and the value table again; the chart recomputes only
    // when they differ from those it shows.
    void followPortfolio();
    void followShownMonth();

  private:
    void showGapNote();

    ApplicationController& controller_;
    ValueChartView* chart_ = nullptr;
    QLabel* note_ = nullptr;
};

#pragma once

// The "Value Over Time" window: the chart of the open portfolio's worth by month, drawn from the
// bonds of the session's snapshot of it. It follows the session: another portfolio opened, its
// bonds changed or new values read (the worth is computed anew), the month shown moved (only the
// marker moves). With no portfolio open the chart is empty and its title says so. Below the
// chart, a note names the bonds that leave months of the line without a worth; there is no note
// when the line has no gap of that kind.

#include "app/TaskWindowController.h"

class QLabel;
class Session;
class ValueChartView;

class ValueChartWindow : public TaskWindowController {
    Q_OBJECT

  public:
    explicit ValueChartWindow(WindowHost& host);

    ValueChartView* chartView() const { return chart_; }

  private:
    // Reads the open portfolio's bonds from its snapshot; the worth is computed anew unless
    // `onlyTheMonthMoved`.
    void followPortfolio(bool onlyTheMonthMoved = false);
    void followShownMonth();
    void showGapNote();

    Session& session_;
    ValueChartView* chart_ = nullptr;
    QLabel* note_ = nullptr;
};

#pragma once

// The "Value Over Time" window: the chart of the open portfolio's worth by month, drawn from the
// session's snapshot of it. It follows the session: another portfolio opened, its bonds changed or
// new values read (the worth is computed anew), the month shown moved (only the marker moves).
// With no portfolio open the chart is empty and its title says so.

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
    // Reads the open portfolio's snapshot; the worth is computed anew unless `sameBonds`.
    void followPortfolio(bool sameBonds = false);
    void followShownMonth();

    Session& session_;
    ValueChartView* chart_ = nullptr;
    QLabel* note_ = nullptr;
};

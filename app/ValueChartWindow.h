#pragma once

// The "Value Over Time" window: the chart of the open portfolio's worth by month, drawn from the
// bonds of the session's snapshot of it. It follows the session: another portfolio opened, its
// bonds changed or new values read (the worth is computed anew), the month shown moved (only the
// marker moves). With no portfolio open the chart is empty and its title says so. Below the
// chart, a note names the bonds that leave months of the line without a worth; there is no note
// when the line has no gap of that kind. After the table's months the line goes on projected,
// dashed, up to the year the owner sets (at first the latest final maturity of the portfolio's
// bonds), and a note names the projection's assumption.

#include "app/TaskWindow.h"
#include "store/YearMonth.h"

#include <optional>

class QLabel;
class QSpinBox;
class Session;
class ValueChartView;

class ValueChartWindow : public TaskWindow {
    Q_OBJECT

  public:
    explicit ValueChartWindow(WindowHost& host);

    ValueChartView* chartView() const { return chart_; }
    // The year the projected months run to; at its minimum, "none", nothing is projected.
    QSpinBox* horizonBox() const { return horizonBox_; }

  private:
    // Reads the open portfolio's bonds from its snapshot; the worth is computed anew unless
    // `onlyTheMonthMoved`.
    void followPortfolio(bool onlyTheMonthMoved = false);
    void followShownMonth();
    void showGapNote();
    // The horizon box's range and value, and the note on the projection, for the chart's months.
    void showHorizon();
    void horizonChosen(int year);

    Session& session_;
    ValueChartView* chart_ = nullptr;
    QLabel* note_ = nullptr;
    QSpinBox* horizonBox_ = nullptr;
    QLabel* projectionNote_ = nullptr;
    // The owner chose the horizon: it stays while the window is open.
    bool horizonChosen_ = false;
    std::optional<YearMonth> chosenHorizon_;
};

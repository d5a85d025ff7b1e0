#pragma once

// The "All Portfolios" window: every portfolio together at the month shown, one row per
// portfolio with its bonds, face value and value totals and the bonds those leave out, then the
// grand total. Its figures are the session's snapshots of the portfolios, followed as they
// change. Opening a row (Return or a double-click) opens that portfolio in the main window;
// Export… writes the table as CSV.

#include "app/TaskWindow.h"
#include "valuation/AllPortfolios.h"

class QLabel;
class QTableWidget;
class Session;

class AllPortfoliosWindow : public TaskWindow {
    Q_OBJECT

  public:
    explicit AllPortfoliosWindow(WindowHost& host);

    QTableWidget* table() const { return table_; }
    QLabel* summaryLabel() const { return summary_; }
    const AllPortfolios& shown() const { return shown_; }

    // Opens the portfolio of a table row; the total's row opens none.
    void openRow(int row);
    void exportReport();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Reads the figures anew once the changes of this turn of the event loop are in.
    void scheduleRefresh();
    void refresh();

    Session& session_;
    AllPortfolios shown_;
    QLabel* month_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
    bool refreshScheduled_ = false;
};

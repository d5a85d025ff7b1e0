#pragma once

// The "Estate" window: every bond held at a month (the month of a death) of the open portfolio
// or of all portfolios, with its registration, where it is kept, its redemption value and
// interest then, the totals and whether they are within the limit for settling without
// administration; the same listing as orvelt-cli estate.

#include "valuation/ui/HoldingWindow.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

class EstateWindow : public HoldingWindow {
    Q_OBJECT

  public:
    explicit EstateWindow(WindowHost& host);

    QSpinBox* yearBox() const { return year_; }
    QComboBox* monthBox() const { return month_; }
    QCheckBox* allPortfoliosBox() const { return all_; }

  protected:
    Shown compute() override;

  private:
    QComboBox* month_ = nullptr;
    QSpinBox* year_ = nullptr;
    QCheckBox* all_ = nullptr;
};

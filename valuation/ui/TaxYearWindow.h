#pragma once

// The "Tax Year" window: the open portfolio's interest for a calendar year, earned and
// reportable under the method chosen (at first the portfolio's own), each bond's Form 1099-INT
// amount and education exclusion, with the year's notes; the same figures as orvelt-cli tax.

#include "valuation/ui/HoldingWindow.h"

class QComboBox;
class QSpinBox;

class TaxYearWindow : public HoldingWindow {
    Q_OBJECT

  public:
    explicit TaxYearWindow(WindowHost& host);

    QSpinBox* yearBox() const { return year_; }
    QComboBox* methodBox() const { return method_; }

  protected:
    Shown compute() override;

  private:
    QSpinBox* year_ = nullptr;
    QComboBox* method_ = nullptr;
    // The portfolio whose stored method the method box shows.
    std::string methodOf_;
};

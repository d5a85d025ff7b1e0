#pragma once

// The "Tax Year" window: the open portfolio's interest for a calendar year, earned and
// reportable under the method chosen (at first the portfolio's own), each bond's Form 1099-INT
// amount and education exclusion, with the year's notes; or, instead of one year, the interest
// reportable in each coming year if every bond held is kept to final maturity. The same figures
// as orvelt-cli tax.

#include "store/Bond.h"
#include "store/PortfolioDetails.h"
#include "valuation/ui/HoldingWindow.h"

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;

class TaxYearWindow : public HoldingWindow {
    Q_OBJECT

  public:
    explicit TaxYearWindow(WindowHost& host);

    QSpinBox* yearBox() const { return year_; }
    QComboBox* methodBox() const { return method_; }
    // Shows, instead of one year, the interest reportable in each coming year.
    QCheckBox* scheduleBox() const { return schedule_; }

  protected:
    Shown compute() override;

  private:
    Shown yearShown(const std::vector<Bond>& bonds, const std::string& name, TaxMethod method);
    Shown scheduleShown(const std::vector<Bond>& bonds, const std::string& name, TaxMethod method);

    QSpinBox* year_ = nullptr;
    QComboBox* method_ = nullptr;
    QCheckBox* schedule_ = nullptr;
    // The portfolio and its stored method that the method box started at: the box follows a
    // change of either, and otherwise keeps the owner's choice.
    std::string methodOf_;
    std::optional<TaxMethod> storedMethod_;
};

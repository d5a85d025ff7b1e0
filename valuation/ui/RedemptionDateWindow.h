#pragma once

// The redemption date window: a month box (January to December, in calendar order) and a year
// box; OK makes the chosen month the host's redemption date when the value table covers it or
// projects it, and remembers it for the next start of the application. The months accepted are
// those of the value table in effect (the user's updated copy when there is one, else the shipped
// table), read once as the window is made, and the months after its last that are projected.

#include "app/TaskWindow.h"
#include "valuation/ValueTableMonths.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace Ui {
class RedemptionDateWindow;
}

class RedemptionDateWindow : public TaskWindow {
    Q_OBJECT

  public:
    // Reads the redemption months of the value table in effect and preselects the host's
    // redemption date.
    explicit RedemptionDateWindow(WindowHost& host);
    ~RedemptionDateWindow() override;

    QComboBox* monthBox() const { return monthBox_; }
    void setMonthBox(QComboBox* box) { monthBox_ = box; }
    QComboBox* yearBox() const { return yearBox_; }
    void setYearBox(QComboBox* box) { yearBox_ = box; }

    // The table's months the window accepts; setting them offers their years, and those of the
    // projected months after them, in the year box and names them in the window.
    const std::vector<RedemptionMonth>& redemptionMonths() const { return redemptionMonths_; }
    void setRedemptionMonths(std::vector<RedemptionMonth> months);

    // Whether the value table holds or projects the redemption month `month` (1 to 12) of `year`.
    bool acceptsRedemptionDate(int year, int month) const;

  public slots:
    void applyChosenMonth();
    void cancel();

  protected:
    // Escape cancels and Return presses OK, once no open list has taken them.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<Ui::RedemptionDateWindow> ui_;
    QComboBox* monthBox_ = nullptr;
    QComboBox* yearBox_ = nullptr;
    std::vector<RedemptionMonth> redemptionMonths_;
    // The last projected month; none without months.
    std::optional<RedemptionMonth> lastProjected_;
    // Why the value table in effect cannot be used; empty when it can.
    std::string tableProblem_;
};

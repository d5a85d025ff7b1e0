#pragma once

// The redemption date window: a month box (January to December, in calendar order) and a year
// box; OK stores the chosen month in the main view when the value table covers it.

#include "app/TaskWindowController.h"

#include <memory>

class QComboBox;

namespace Ui {
class RedemptionDateWindow;
}

class RedemptionDateWindowController : public TaskWindowController {
    Q_OBJECT

  public:
    explicit RedemptionDateWindowController(QWidget* parent = nullptr);
    ~RedemptionDateWindowController() override;

    QComboBox* monthBox() const { return monthBox_; }
    void setMonthBox(QComboBox* box) { monthBox_ = box; }
    QComboBox* yearBox() const { return yearBox_; }
    void setYearBox(QComboBox* box) { yearBox_ = box; }

    // Whether values can be found for the redemption month `month` (1 to 12) of `year`.
    static bool isSupportedRedemptionDate(int year, int month);

  public slots:
    void okPressed();
    void cancelPressed();

  protected:
    // Preselects the main view's redemption date.
    void windowDidLoad() override;

  private:
    std::unique_ptr<Ui::RedemptionDateWindow> ui_;
    QComboBox* monthBox_ = nullptr;
    QComboBox* yearBox_ = nullptr;
};

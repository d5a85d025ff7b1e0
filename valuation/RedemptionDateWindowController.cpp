#include "valuation/RedemptionDateWindowController.h"

#include "app/MainMenuView.h"
#include "platform/NumberText.h"
#include "platform/ToolkitServices.h"
#include "ui_RedemptionDateWindow.h"

#include <QComboBox>
#include <QPushButton>
#include <QShortcut>
#include <string>

RedemptionDateWindowController::RedemptionDateWindowController(QWidget* parent)
    : TaskWindowController(parent), ui_(std::make_unique<Ui::RedemptionDateWindow>()) {
    ui_->setupUi(this);
    setMonthBox(ui_->monthBox);
    setYearBox(ui_->yearBox);
    connect(ui_->okButton, &QPushButton::clicked, this, &RedemptionDateWindowController::okPressed);
    connect(ui_->cancelButton, &QPushButton::clicked, this,
            &RedemptionDateWindowController::cancelPressed);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &RedemptionDateWindowController::cancelPressed);
}

RedemptionDateWindowController::~RedemptionDateWindowController() = default;

bool RedemptionDateWindowController::isSupportedRedemptionDate(int year, int month) {
    return (year == 2009 && month >= 6 && month <= 12) ||
           (year == 2010 && month >= 1 && month <= 5);
}

void RedemptionDateWindowController::windowDidLoad() {
    MainMenuView* view = parentView();
    if (view == nullptr) {
        return;
    }
    const int monthIndex = intValueOfText(view->redemptionMonth()) - 1;
    monthBox_->setCurrentIndex(monthIndex >= 0 && monthIndex < monthBox_->count() ? monthIndex
                                                                                  : -1);
    yearBox_->setCurrentIndex(
        yearBox_->findText(QString::fromStdString(view->redemptionYear()), Qt::MatchExactly));
}

void RedemptionDateWindowController::okPressed() {
    MainMenuView* view = parentView();
    if (view == nullptr) {
        close();
        return;
    }
    const int month = monthBox_->currentIndex() + 1;
    const bool hasYear = yearBox_->currentIndex() >= 0;
    const std::string yearText = hasYear ? yearBox_->currentText().toStdString() : std::string();
    const int year = intValueOfText(yearText);
    std::string monthText = std::to_string(month);
    if (monthText.size() < 2) {
        monthText = "0" + monthText;
    }
    if (!hasYear || !isSupportedRedemptionDate(year, month)) {
        view->services().showErrorAlert(
            "Error", "This redemption date is not supported by the current version of Orvelt. "
                     "Valid redemption dates range from June 2009 to May 2010.");
        return;
    }
    view->setRedemptionMonth(monthText);
    view->setRedemptionYear(yearText);
    close();
}

void RedemptionDateWindowController::cancelPressed() {
    close();
}

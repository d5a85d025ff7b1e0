#pragma once

// The "Portfolio Details" dialog: the owner new bonds are entered with, the owner's birth month
// (or none given) and how the owner reports bond interest. OK keeps them as one change that Undo
// takes back, and stays open, with what was typed, while it is refused; Cancel and Escape change
// nothing.

#include <QDialog>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
struct PortfolioDetails;

class PortfolioDetailsDialog : public QDialog {
    Q_OBJECT

  public:
    // `apply` keeps the details and answers why it could not (empty when it did).
    using Apply = std::function<std::string(const PortfolioDetails&)>;

    PortfolioDetailsDialog(const std::string& portfolio, const PortfolioDetails& details,
                           Apply apply, QWidget* parent = nullptr);

    // The details as the fields hold them.
    PortfolioDetails details() const;

    QLineEdit* ownerField() const { return owner_; }
    // Its first item says the birth month is not given.
    QComboBox* birthMonthBox() const { return birthMonth_; }
    QSpinBox* birthYearBox() const { return birthYear_; }
    QComboBox* taxMethodBox() const { return taxMethod_; }
    QLabel* problemLabel() const { return problem_; }

    void accept() override;

  private:
    Apply apply_;
    // The portfolio had a tax method chosen, so the cash method shown is its choice.
    bool methodChosen_ = false;
    QLineEdit* owner_ = nullptr;
    QComboBox* birthMonth_ = nullptr;
    QSpinBox* birthYear_ = nullptr;
    QComboBox* taxMethod_ = nullptr;
    QLabel* problem_ = nullptr;
};

#pragma once

// The dialog that marks a bond cashed: the month (at first the month shown), for an electronic
// bond the part cashed (at first all of it), and the amount received, which follows the value
// table's value for the month and part until the owner types one. Where the table knows no
// value the owner types the amount. Mark Cashed keeps the dialog open, with what was typed, while
// the cashing is refused.

#include "store/Cashing.h"
#include "valuation/ValueTable.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class CashBondDialog : public QDialog {
    Q_OBJECT

  public:
    // `apply` marks the bond cashed and answers why it could not (empty when it did).
    using Apply = std::function<std::string(const Cashing&)>;

    CashBondDialog(const Bond& bond, ValueTableRef table, std::optional<YearMonth> month,
                   Apply apply, QWidget* parent = nullptr);

    Cashing cashing() const;

    QComboBox* monthBox() const { return month_; }
    QSpinBox* yearBox() const { return year_; }
    // Absent for a paper bond.
    QLineEdit* partField() const { return part_; }
    QLineEdit* receivedField() const { return received_; }
    QLabel* problemLabel() const { return problem_; }

    void accept() override;

  private:
    // The table's value of the part cashed in the month chosen, unless the owner typed one.
    void followValue();

    Bond bond_;
    ValueTableRef table_;
    Apply apply_;
    QComboBox* month_ = nullptr;
    QSpinBox* year_ = nullptr;
    QLineEdit* part_ = nullptr;
    QLineEdit* received_ = nullptr;
    QLabel* valueNote_ = nullptr;
    QLabel* problem_ = nullptr;
    bool receivedTyped_ = false;
};

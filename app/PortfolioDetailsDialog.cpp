#include "app/PortfolioDetailsDialog.h"

#include "store/PortfolioDetails.h"
#include "valuation/RememberedMonth.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// An owner of a savings bond was born in this year or later.
constexpr int kEarliestBirthYear = 1850;

} // namespace

PortfolioDetailsDialog::PortfolioDetailsDialog(const std::string& portfolio,
                                               const PortfolioDetails& details, Apply apply,
                                               QWidget* parent)
    : QDialog(parent), apply_(std::move(apply)), methodChosen_(details.taxMethod.has_value()) {
    setObjectName("portfolioDetailsDialog");
    setWindowTitle(QStringLiteral("Portfolio Details"));
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(
        QStringLiteral("The owner of the portfolio \"%1\": the tax year's figures and the "
                       "education exclusion use these details.")
            .arg(QString::fromStdString(portfolio)),
        this);
    about->setWordWrap(true);
    layout->addWidget(about);

    auto* form = new QFormLayout();
    owner_ = new QLineEdit(QString::fromStdString(details.defaultOwner), this);
    owner_->setObjectName("defaultOwnerField");
    owner_->setToolTip(QStringLiteral("New bonds of the portfolio are entered with this owner"));
    form->addRow(QStringLiteral("Default &owner:"), owner_);

    auto* born = new QHBoxLayout();
    birthMonth_ = new QComboBox(this);
    birthMonth_->setObjectName("birthMonthBox");
    birthMonth_->addItem(QStringLiteral("Not given"));
    for (int month = 1; month <= 12; ++month) {
        const std::string_view name = monthName(month);
        birthMonth_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    birthYear_ = new QSpinBox(this);
    birthYear_->setObjectName("birthYearBox");
    birthYear_->setGroupSeparatorShown(false);
    const YearMonth now = currentRedemptionMonth();
    birthYear_->setRange(kEarliestBirthYear, now.year);
    birthYear_->setValue(details.ownerBirthMonth ? details.ownerBirthMonth->year : now.year - 40);
    birthMonth_->setCurrentIndex(details.ownerBirthMonth ? details.ownerBirthMonth->month : 0);
    birthYear_->setEnabled(details.ownerBirthMonth.has_value());
    connect(birthMonth_, &QComboBox::currentIndexChanged, birthYear_,
            [this](int index) { birthYear_->setEnabled(index > 0); });
    born->addWidget(birthMonth_);
    born->addWidget(birthYear_);
    // A row of two boxes has no buddy of its own: the label's mnemonic goes to the month.
    auto* bornLabel = new QLabel(QStringLiteral("Owner's &birth month:"), this);
    bornLabel->setBuddy(birthMonth_);
    form->addRow(bornLabel, born);

    taxMethod_ = new QComboBox(this);
    taxMethod_->setObjectName("portfolioTaxMethodBox");
    taxMethod_->addItem(
        QStringLiteral("Cash method: interest reported when cashed or at final maturity"));
    taxMethod_->addItem(
        QStringLiteral("Accrual method: interest reported each year as it accrues"));
    taxMethod_->setCurrentIndex(details.effectiveTaxMethod() == TaxMethod::Accrual ? 1 : 0);
    form->addRow(QStringLiteral("&Tax method:"), taxMethod_);
    layout->addLayout(form);

    problem_ = new QLabel(this);
    problem_->setObjectName("detailsProblemLabel");
    problem_->setWordWrap(true);
    problem_->hide();
    layout->addWidget(problem_);

    // OK is the default button: Enter in a field keeps what was typed, never drops it.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

PortfolioDetails PortfolioDetailsDialog::details() const {
    PortfolioDetails details;
    details.defaultOwner = owner_->text().trimmed().toStdString();
    const int month = birthMonth_->currentIndex();
    details.ownerBirthMonth =
        month > 0 ? std::optional(YearMonth{birthYear_->value(), month}) : std::nullopt;
    const TaxMethod method = taxMethod_->currentIndex() == 1 ? TaxMethod::Accrual : TaxMethod::Cash;
    // A method never chosen stays so while the cash method it stands for is shown.
    if (methodChosen_ || method != TaxMethod::Cash) {
        details.taxMethod = method;
    }
    return details;
}

void PortfolioDetailsDialog::accept() {
    const PortfolioDetails chosen = details();
    std::string refusal;
    if (chosen.ownerBirthMonth && *chosen.ownerBirthMonth > currentRedemptionMonth()) {
        refusal = "The birth month is after this month. Please choose it again.";
    } else if (apply_) {
        refusal = apply_(chosen);
    }
    if (!refusal.empty()) {
        problem_->setText(QString::fromStdString(refusal));
        problem_->show();
        return;
    }
    QDialog::accept();
}

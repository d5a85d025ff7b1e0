#include "valuation/ui/TaxYearWindow.h"

#include "app/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "store/SeriesRules.h"
#include "valuation/TaxYear.h"
#include "valuation/ValueTableMonths.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

TaxYearWindow::TaxYearWindow(WindowHost& host)
    : HoldingWindow(host), year_(new QSpinBox(this)), method_(new QComboBox(this)) {
    setObjectName("taxYearWindow");
    year_->setObjectName("taxYearBox");
    method_->setObjectName("taxMethodBox");
    // The years the value table reaches; the one before the redemption month's, whose return is
    // due, at first.
    const std::vector<RedemptionMonth> months =
        redemptionMonthsInTable(host.session().valueTable().get());
    const int first = months.empty() ? kFirstSavingsBondIssue.year : months.front().year;
    const int last = months.empty() ? 2100 : months.back().year;
    year_->setRange(first, last);
    const std::optional<YearMonth> month = host.redemptionMonth();
    year_->setValue(month ? month->year - 1 : last);
    method_->addItem(QStringLiteral("Cash method"),
                     QString::fromUtf8(taxMethodKeyword(TaxMethod::Cash).data()));
    method_->addItem(QStringLiteral("Accrual method"),
                     QString::fromUtf8(taxMethodKeyword(TaxMethod::Accrual).data()));
    auto* yearLabel = new QLabel(QStringLiteral("Tax &year:"), this);
    yearLabel->setBuddy(year_);
    auto* methodLabel = new QLabel(QStringLiteral("&Method:"), this);
    methodLabel->setBuddy(method_);
    choices()->addWidget(yearLabel);
    choices()->addWidget(year_);
    choices()->addWidget(methodLabel);
    choices()->addWidget(method_);
    choices()->addStretch(1);
    connect(year_, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(method_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    refresh();
}

HoldingWindow::Shown TaxYearWindow::compute() {
    Session& session = host()->session();
    const std::string name = session.openPortfolio().value_or(std::string());
    const Portfolio* portfolio = session.store().portfolio(name);
    if (portfolio != nullptr && methodOf_ != name) {
        // Another portfolio: its own method first.
        methodOf_ = name;
        const QSignalBlocker quiet(method_);
        method_->setCurrentIndex(storedTaxMethod(*portfolio) == TaxMethod::Accrual ? 1 : 0);
    }
    const TaxMethod method = taxMethodOfKeyword(method_->currentData().toString().toStdString())
                                 .value_or(TaxMethod::Cash);
    const int year = year_->value();
    const TaxYearReport report =
        portfolio != nullptr
            ? computeTaxYear(portfolio->bonds, name, session.valueTable().get(), year, method,
                             storedOwnerBirthMonth(*portfolio))
            : computeTaxYear({}, "", session.valueTable().get(), year, method, std::nullopt);
    Shown shown;
    shown.title = portfolio != nullptr
                      ? "Tax Year " + std::to_string(year) + " - " + name
                      : "Tax Year " + std::to_string(year) + " - no portfolio open";
    shown.caption = "Interest of the calendar year " + std::to_string(year) + ", " +
                    std::string(taxMethodKeyword(method)) + " method";
    shown.table = report.table();
    shown.isAmount = &TaxYearReport::isAmountColumn;
    shown.notes = report.noteLines();
    shown.fileName = (name.empty() ? std::string("Tax Year") : name) + " " + std::to_string(year);
    return shown;
}

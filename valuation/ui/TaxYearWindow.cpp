#include "valuation/ui/TaxYearWindow.h"

#include "app/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "store/PortfolioDetails.h"
#include "store/SeriesRules.h"
#include "valuation/Projection.h"
#include "valuation/ReportableSchedule.h"
#include "valuation/TaxYear.h"
#include "valuation/ValueTableMonths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

TaxYearWindow::TaxYearWindow(WindowHost& host)
    : HoldingWindow(host), year_(new QSpinBox(this)), method_(new QComboBox(this)),
      schedule_(new QCheckBox(QStringLiteral("Each &coming year to final maturity"), this)) {
    setObjectName("taxYearWindow");
    schedule_->setObjectName("reportableScheduleBox");
    schedule_->setToolTip(
        QStringLiteral("The interest that becomes reportable each year from the redemption "
                       "month's if every bond held is kept to final maturity"));
    year_->setObjectName("taxYearBox");
    method_->setObjectName("taxMethodBox");
    // The years the value table reaches, and those projected after it; the one before the
    // redemption month's, whose return is due, at first.
    const ValueTable* table = host.session().valueTable().get();
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(table);
    const std::optional<YearMonth> lastProjected =
        table != nullptr ? lastProjectedMonth(*table) : std::nullopt;
    const int first = months.empty() ? kFirstSavingsBondIssue.year : months.front().year;
    const int last = lastProjected    ? lastProjected->year
                     : months.empty() ? 2100
                                      : months.back().year;
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
    choices()->addWidget(schedule_);
    choices()->addStretch(1);
    connect(year_, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(method_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(schedule_, &QCheckBox::toggled, this, [this](bool shown) {
        year_->setEnabled(!shown);
        refresh();
    });
    refresh();
}

HoldingWindow::Shown TaxYearWindow::compute() {
    Session& session = host()->session();
    const std::string name = session.openPortfolio().value_or(std::string());
    const Portfolio* portfolio = session.store().portfolio(name);
    const std::optional<TaxMethod> stored =
        portfolio != nullptr ? std::optional(portfolioDetailsOf(*portfolio).effectiveTaxMethod())
                             : std::nullopt;
    if (portfolio != nullptr && (methodOf_ != name || storedMethod_ != stored)) {
        // Another portfolio, or its method changed: its own method first.
        methodOf_ = name;
        storedMethod_ = stored;
        const QSignalBlocker quiet(method_);
        method_->setCurrentIndex(stored == TaxMethod::Accrual ? 1 : 0);
    }
    const TaxMethod method = taxMethodOfKeyword(method_->currentData().toString().toStdString())
                                 .value_or(TaxMethod::Cash);
    const std::vector<Bond> none;
    const std::vector<Bond>& bonds = portfolio != nullptr ? portfolio->bonds : none;
    Shown shown = schedule_->isChecked() ? scheduleShown(bonds, name, method)
                                         : yearShown(bonds, name, method);
    const std::string owner = portfolio != nullptr ? name : std::string("no portfolio open");
    shown.title += " - " + owner;
    if (stored && method != *stored) {
        // Looking at the other method keeps the owner's election as it is.
        shown.notes.insert(shown.notes.begin(),
                           "These figures use the " + std::string(taxMethodKeyword(method)) +
                               " method; the portfolio's own method, " +
                               std::string(taxMethodKeyword(*stored)) +
                               ", is unchanged (File > Portfolio Details sets it).");
    }
    return shown;
}

HoldingWindow::Shown TaxYearWindow::yearShown(const std::vector<Bond>& bonds,
                                              const std::string& name, TaxMethod method) {
    Session& session = host()->session();
    const Portfolio* portfolio = session.store().portfolio(name);
    const int year = year_->value();
    const TaxYearReport report = computeTaxYear(
        bonds, name, session.valueTable().get(), year, method,
        portfolio != nullptr ? portfolioDetailsOf(*portfolio).ownerBirthMonth : std::nullopt);
    Shown shown;
    shown.title = "Tax Year " + std::to_string(year);
    shown.caption = "Interest of the calendar year " + std::to_string(year) + ", " +
                    std::string(taxMethodKeyword(method)) + " method";
    if (report.projected()) {
        shown.caption += "; " + report.projectionCaption();
    }
    shown.table = report.table();
    shown.isAmount = &TaxYearReport::isAmountColumn;
    shown.notes = report.noteLines();
    shown.fileName = (name.empty() ? std::string("Tax Year") : name) + " " + std::to_string(year);
    return shown;
}

HoldingWindow::Shown TaxYearWindow::scheduleShown(const std::vector<Bond>& bonds,
                                                  const std::string& name, TaxMethod method) {
    Session& session = host()->session();
    const std::optional<YearMonth> month = session.redemptionMonth();
    const int from = month ? month->year : year_->value();
    const ReportableSchedule schedule =
        computeReportableSchedule(bonds, name, session.valueTable().get(), from, method);
    Shown shown;
    shown.title = "Reportable by Year";
    shown.caption = "Interest reportable each year from " + std::to_string(from) +
                    " if every bond held is kept to final maturity, " +
                    std::string(taxMethodKeyword(method)) + " method";
    if (schedule.projected()) {
        shown.caption += "; " + projectionCaptionAfter(*schedule.lastTableMonth);
    }
    shown.table = schedule.table();
    shown.isAmount = &ReportableSchedule::isAmountColumn;
    shown.notes = schedule.noteLines();
    shown.fileName = (name.empty() ? std::string("Tax") : name) + " Reportable by Year";
    return shown;
}

#include "valuation/ui/EstateWindow.h"

#include "app/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "store/SeriesRules.h"
#include "valuation/EstateListing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

EstateWindow::EstateWindow(WindowHost& host)
    : HoldingWindow(host), month_(new QComboBox(this)), year_(new QSpinBox(this)),
      all_(new QCheckBox(QStringLiteral("&All portfolios"), this)) {
    setObjectName("estateWindow");
    month_->setObjectName("estateMonthBox");
    year_->setObjectName("estateYearBox");
    all_->setObjectName("allPortfoliosBox");
    for (int month = 1; month <= 12; ++month) {
        const std::string_view name = monthName(month);
        month_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    // Any month may be asked for; one the table lacks says its values are not known.
    year_->setRange(kFirstSavingsBondIssue.year, 2100);
    const YearMonth start = host.redemptionMonth().value_or(YearMonth{2009, 6});
    month_->setCurrentIndex(start.month - 1);
    year_->setValue(start.year);
    all_->setChecked(!host.openPortfolio());
    auto* monthLabel = new QLabel(QStringLiteral("&Month of death:"), this);
    monthLabel->setBuddy(month_);
    choices()->addWidget(monthLabel);
    choices()->addWidget(month_);
    choices()->addWidget(year_);
    choices()->addWidget(all_);
    choices()->addStretch(1);
    connect(month_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(year_, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(all_, &QCheckBox::toggled, this, [this] { refresh(); });
    refresh();
}

HoldingWindow::Shown EstateWindow::compute() {
    Session& session = host()->session();
    const YearMonth month{year_->value(), month_->currentIndex() + 1};
    const std::string open = session.openPortfolio().value_or(std::string());
    const bool all = all_->isChecked() || !session.store().hasPortfolio(open);
    std::vector<PortfolioBondList> lists;
    for (const Portfolio& portfolio : session.store().portfolios()) {
        if (all || portfolio.name == open) {
            lists.push_back({portfolio.name, &portfolio.bonds});
        }
    }
    const std::string title = all ? "all portfolios" : "\"" + open + "\"";
    const EstateListing listing =
        computeEstateListing(lists, title, all, session.valueTable().get(), month);
    Shown shown;
    shown.title = "Estate - " + (all ? std::string("All Portfolios") : open);
    shown.caption = "Bonds of " + title + " held in " + month.name() +
                    ", valued at their redemption value that month";
    shown.table = listing.table();
    shown.isAmount = [all](std::size_t column) {
        return EstateListing::isAmountColumn(column, all);
    };
    shown.notes = listing.noteLines();
    shown.fileName = (all ? std::string("All Portfolios") : open) + " estate " + month.keyText();
    return shown;
}

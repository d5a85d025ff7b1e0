#include "app/ValueChartWindow.h"

#include "app/ValueChartView.h"
#include "app/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/SeriesRules.h"
#include "valuation/Projection.h"
#include "valuation/Session.h"

#include <QChart>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The bonds the note names; the rest are counted.
constexpr std::size_t kNamedBonds = 3;

QString bondNamed(const Bond& bond) {
    if (const std::optional<YearMonth> issue = bond.issued();
        issue && seriesRulesOf(bond.type) != nullptr) {
        return QStringLiteral("%1 bond \"%2\", issued %3")
            .arg(QString::fromStdString(bond.type), QString::fromStdString(bond.serial),
                 QString::fromStdString(issue->name()));
    }
    return QStringLiteral("the bond \"%1\" of series \"%2\", issued \"%3 %4\"")
        .arg(QString::fromStdString(bond.serial), QString::fromStdString(bond.type),
             QString::fromStdString(bond.issueMonth), QString::fromStdString(bond.issueYear));
}

QString monthsLacking(const Bond& bond, const BondWithoutValue& gap) {
    if (!bond.issued() || seriesRulesOf(bond.type) == nullptr) {
        return QStringLiteral("its series or issue date is not one Orvelt knows, so no month has "
                              "a worth");
    }
    const QString first = QString::fromStdString(gap.first.name());
    const QString last = QString::fromStdString(gap.last.name());
    if (gap.months == 1) {
        return QStringLiteral("no value in %1").arg(first);
    }
    if (gap.months == gap.last.monthsSince(gap.first) + 1) {
        return QStringLiteral("no value from %1 to %2").arg(first, last);
    }
    return QStringLiteral("no value in %1 months from %2 to %3")
        .arg(QString::number(gap.months), first, last);
}

} // namespace

ValueChartWindow::ValueChartWindow(WindowHost& host)
    : TaskWindow(host), session_(host.session()), chart_(new ValueChartView(this)),
      note_(new QLabel(this)) {
    setObjectName("valueChartWindow");
    setWindowTitle(QStringLiteral("Value Over Time"));
    note_->setObjectName("gapNote");
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->hide();
    horizonBox_ = new QSpinBox(this);
    horizonBox_->setObjectName("horizonYear");
    horizonBox_->setSpecialValueText(QStringLiteral("none"));
    horizonBox_->setAccessibleName(QStringLiteral("Project to the end of"));
    projectionNote_ = new QLabel(this);
    projectionNote_->setObjectName("projectionNote");
    projectionNote_->setWordWrap(true);
    auto* horizonLabel = new QLabel(QStringLiteral("&Project to the end of:"), this);
    horizonLabel->setBuddy(horizonBox_);
    auto* horizonRow = new QHBoxLayout;
    horizonRow->addWidget(horizonLabel);
    horizonRow->addWidget(horizonBox_);
    horizonRow->addWidget(projectionNote_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addLayout(horizonRow);
    layout->addWidget(note_);
    connect(horizonBox_, &QSpinBox::valueChanged, this, &ValueChartWindow::horizonChosen);
    resize(820, 540);

    connect(&session_, &Session::openPortfolioChanged, this, [this] { followPortfolio(); });
    connect(&session_, &Session::changed, this,
            [this](const std::string& portfolio, unsigned what) {
                if (session_.openPortfolio() == portfolio) {
                    // A new month leaves every bond's worth in every month as it was.
                    followPortfolio((what & ~unsigned(Session::MonthChanged)) == 0);
                }
            });
    connect(&session_, &Session::redemptionMonthChanged, this, &ValueChartWindow::followShownMonth);
    connect(chart_, &ValueChartView::worthDrawn, this, &ValueChartWindow::showGapNote);
    followPortfolio();
    followShownMonth();
}

void ValueChartWindow::followPortfolio(bool onlyTheMonthMoved) {
    const std::optional<std::string>& open = session_.openPortfolio();
    if (!open || !session_.store().hasPortfolio(*open)) {
        chart_->setBonds({}, nullptr);
        chart_->chart()->setTitle(QStringLiteral("No portfolio is open."));
        showGapNote();
        showHorizon();
        return;
    }
    chart_->chart()->setTitle(
        QStringLiteral("Worth of %1 by month").arg(QString::fromStdString(*open)));
    if (onlyTheMonthMoved) {
        return;
    }
    const std::shared_ptr<const ReportSnapshot> snapshot = session_.snapshot(*open);
    std::vector<Bond> bonds;
    bonds.reserve(snapshot->rows.size());
    for (const ReportRow& row : snapshot->rows) {
        bonds.push_back(row.bond);
    }
    const ValueTableRef& table = session_.valueTable();
    const std::optional<YearMonth> horizon =
        horizonChosen_ ? chosenHorizon_ : defaultProjectionHorizon(bonds, table.get());
    chart_->setBonds(std::move(bonds), table, horizon);
    showGapNote();
    showHorizon();
}

void ValueChartWindow::showHorizon() {
    const ValueTable* table = session_.valueTable().get();
    const std::optional<YearMonth> reach =
        table != nullptr ? lastProjectedMonth(*table) : std::nullopt;
    const std::optional<YearMonth> drawn = chart_->lastMonthDrawn();
    const QSignalBlocker quiet(horizonBox_);
    horizonBox_->setEnabled(reach.has_value());
    if (!reach || !drawn) {
        horizonBox_->setRange(0, 0);
        projectionNote_->clear();
        return;
    }
    const YearMonth last = table->redemptionMonths().back();
    horizonBox_->setRange(last.year, reach->year);
    horizonBox_->setValue(*drawn > last ? drawn->year : last.year);
    projectionNote_->setText(
        *drawn > last
            ? QStringLiteral(
                  "The dashed line after %1 is projected: rates in force in %1 held unchanged.")
                  .arg(QString::fromStdString(last.name()))
            : QString());
}

void ValueChartWindow::horizonChosen(int year) {
    horizonChosen_ = true;
    // The lowest year is "none"; any other runs to its December, as far as values are projected.
    chosenHorizon_ =
        year > horizonBox_->minimum() ? std::optional<YearMonth>({year, 12}) : std::nullopt;
    chart_->setHorizon(chosenHorizon_);
    showHorizon();
}

void ValueChartWindow::showGapNote() {
    std::vector<BondWithoutValue> gaps = chart_->portfolioWorth().withoutValue;
    note_->setVisible(!gaps.empty());
    if (gaps.empty()) {
        note_->clear();
        return;
    }
    // The bonds that cut the line most first.
    std::stable_sort(
        gaps.begin(), gaps.end(),
        [](const BondWithoutValue& a, const BondWithoutValue& b) { return a.months > b.months; });
    QStringList lines{
        QStringLiteral("The line leaves out the months in which a bond already issued has no "
                       "value in the value table, rather than show a smaller total:")};
    const std::vector<Bond>& bonds = chart_->bonds();
    for (std::size_t index = 0; index < std::min(gaps.size(), kNamedBonds); ++index) {
        const Bond& bond = bonds[gaps[index].bond];
        lines << QStringLiteral("• %1: %2").arg(bondNamed(bond), monthsLacking(bond, gaps[index]));
    }
    if (gaps.size() > kNamedBonds) {
        const std::size_t more = gaps.size() - kNamedBonds;
        lines << (more == 1 ? QStringLiteral("and 1 more bond.")
                            : QStringLiteral("and %1 more bonds.").arg(QString::number(more)));
    }
    note_->setText(lines.join('\n'));
}

void ValueChartWindow::followShownMonth() {
    chart_->setShownMonth(session_.redemptionMonth());
}

#include "valuation/WorthOverTime.h"

#include "store/SeriesRules.h"
#include "valuation/HoldingFigures.h"
#include "valuation/OwnerFigures.h"
#include "valuation/Projection.h"

#include <algorithm>
#include <cmath>

namespace {

// The sums of the months being built, one bond at a time.
class MonthTotals {
  public:
    MonthTotals(WorthOverTime& result, const ValueTable& table, std::size_t count)
        : result_(result), table_(table), sums_(count), valued_(count, false) {}

    // Adds what the bond is worth in each month from its issue on, by the rule of
    // valueFiguresOfBond: the table's value when payable, its price while "NO PAY", nothing in a
    // month the table calls it invalid, and no worth for the month when the table lacks it.
    void addBond(std::size_t index, const Bond& bond, BondSeries series, YearMonth issue,
                 const SeriesRules& rules) {
        const FaceScale face = FaceScale::ofBond(bond);
        const std::optional<Amount> price = issuePriceOfBond(bond, rules);
        BondWithoutValue lacking{index, {}, {}, 0};
        const std::size_t start =
            static_cast<std::size_t>(std::max(0, issue.monthsSince(result_.months[0].month)));
        // Made once per bond, and only when a projected month is asked for.
        std::optional<BondProjection> projection;
        // A bond cashed leaves the worth from the month it was cashed on.
        const std::optional<YearMonth> cashed = bond.cashedMonth();
        const std::size_t end =
            cashed ? std::min(sums_.size(), static_cast<std::size_t>(std::max(
                                                0, cashed->monthsSince(result_.months[0].month))))
                   : sums_.size();
        for (std::size_t offset = start; offset < end; ++offset) {
            MonthWorth& month = result_.months[offset];
            if (month.projected && !projection && face.valuable()) {
                projection.emplace(table_, series, issue, table_.redemptionMonths().back());
            }
            const ValueCell cell = !face.valuable()  ? kMissingCell
                                   : month.projected ? projection->cellAt(month.month)
                                                     : table_.cell(series, month.month, issue);
            if (cell == kInvalidCell) {
                continue;
            }
            if (cell == kMissingCell || (cell == kNoPayCell && !price)) {
                ++month.bondsWithoutValue;
                lacking.first = lacking.months == 0 ? month.month : lacking.first;
                lacking.last = month.month;
                ++lacking.months;
                continue;
            }
            sums_[offset] += cell == kNoPayCell ? *price : face.amountOf(cell);
            valued_[offset] = true;
        }
        if (lacking.months > 0) {
            result_.withoutValue.push_back(lacking);
        }
    }

    // A bond no month can be placed in has no value in any.
    void addUnplaceableBond(std::size_t index) {
        for (MonthWorth& month : result_.months) {
            ++month.bondsWithoutValue;
        }
        const int count = static_cast<int>(result_.months.size());
        result_.withoutValue.push_back(
            {index, result_.months.front().month, result_.months.back().month, count});
    }

    void finish() {
        for (std::size_t offset = 0; offset < sums_.size(); ++offset) {
            MonthWorth& month = result_.months[offset];
            if (month.bondsWithoutValue == 0 && valued_[offset]) {
                month.worth = sums_[offset];
            }
        }
    }

  private:
    WorthOverTime& result_;
    const ValueTable& table_;
    std::vector<Amount> sums_;
    std::vector<bool> valued_;
};

std::vector<FinalMaturity> countedMaturities(std::vector<YearMonth> maturities) {
    std::sort(maturities.begin(), maturities.end());
    std::vector<FinalMaturity> counted;
    for (const YearMonth& month : maturities) {
        if (counted.empty() || counted.back().month != month) {
            counted.push_back({month, 0});
        }
        ++counted.back().bonds;
    }
    return counted;
}

// Checked between bonds, often enough that a stop takes effect at once.
constexpr std::size_t kBondsBetweenStopChecks = 1024;

} // namespace

WorthOverTime worthOverTime(const std::vector<Bond>& bonds, const ValueTable* table,
                            std::stop_token stop, std::optional<YearMonth> horizon) {
    WorthOverTime result;
    // Valued at the table's last month, a bond of an impossible issue date has no maturity.
    const std::optional<YearMonth> last = lastTableMonth(table);
    if (last) {
        const YearMonth first = table->redemptionMonths().front();
        const int count = last->monthsSince(first) + 1;
        result.months.reserve(static_cast<std::size_t>(count));
        for (int offset = 0; offset < count; ++offset) {
            result.months.push_back({first.plusMonths(offset), std::nullopt, 0, false});
        }
        for (YearMonth month = last->plusMonths(1);
             horizon && month <= *horizon && isProjectedMonth(*table, month);
             month = month.plusMonths(1)) {
            result.months.push_back({month, std::nullopt, 0, true});
        }
    }
    std::optional<MonthTotals> totals;
    if (last) {
        totals.emplace(result, *table, result.months.size());
    }
    std::vector<YearMonth> maturities;
    maturities.reserve(bonds.size());
    for (std::size_t index = 0; index < bonds.size(); ++index) {
        if (index % kBondsBetweenStopChecks == 0 && stop.stop_requested()) {
            return result;
        }
        const Bond& bond = bonds[index];
        const SeriesRules* rules = seriesRulesOf(bond.type);
        const std::optional<BondSeries> series = bondSeriesOfName(bond.type);
        const std::optional<YearMonth> issue = bond.issued();
        if (rules == nullptr || !series || !issue) {
            if (totals) {
                totals->addUnplaceableBond(index);
            }
            continue;
        }
        const bool beforeFirstIssue = !issuedWithinItsSeries(*rules, bond.electronic, *issue);
        const bool invalidAtLast =
            last && *last >= *issue &&
            (beforeFirstIssue || table->cell(*series, *last, *issue) == kInvalidCell);
        if (!invalidAtLast) {
            maturities.push_back(finalMaturityOf(bond.type, *issue));
        }
        // A bond dated before its series' first issue (of its kind) never existed: it counts
        // nowhere.
        if (beforeFirstIssue) {
            continue;
        }
        result.firstIssue = result.firstIssue ? std::min(*result.firstIssue, *issue) : *issue;
        if (totals) {
            totals->addBond(index, bond, *series, *issue, *rules);
        }
    }
    if (totals) {
        totals->finish();
    }
    result.finalMaturities = countedMaturities(std::move(maturities));
    return result;
}

std::optional<YearMonth> defaultProjectionHorizon(const std::vector<Bond>& bonds,
                                                  const ValueTable* table) {
    const std::optional<YearMonth> reach =
        table != nullptr ? lastProjectedMonth(*table) : std::nullopt;
    std::optional<YearMonth> latest;
    for (const Bond& bond : bonds) {
        const std::optional<YearMonth> issue = bond.issued();
        if (issue && seriesRulesOf(bond.type) != nullptr) {
            const YearMonth maturity = finalMaturityOf(bond.type, *issue);
            latest = latest ? std::max(*latest, maturity) : maturity;
        }
    }
    if (!reach || !latest || *latest <= table->redemptionMonths().back()) {
        return std::nullopt;
    }
    return std::min(*latest, *reach);
}

std::vector<WorthRun> WorthOverTime::runs() const {
    std::vector<WorthRun> found;
    for (std::size_t index = 0; index < months.size(); ++index) {
        if (!months[index].worth) {
            continue;
        }
        if (found.empty() || found.back().first + found.back().count != index) {
            found.push_back({index, 0});
        }
        ++found.back().count;
    }
    return found;
}

const MonthWorth* WorthOverTime::at(const YearMonth& month) const {
    if (months.empty()) {
        return nullptr;
    }
    const int index = month.monthsSince(months.front().month);
    if (index < 0 || index >= static_cast<int>(months.size())) {
        return nullptr;
    }
    return &months[static_cast<std::size_t>(index)];
}

std::optional<Amount> WorthOverTime::worthAt(const YearMonth& month) const {
    const MonthWorth* entry = at(month);
    return entry != nullptr ? entry->worth : std::nullopt;
}

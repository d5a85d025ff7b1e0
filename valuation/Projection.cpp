#include "valuation/Projection.h"

#include "store/SeriesRules.h"
#include "valuation/EarningRates.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int kPeriodMonths = 6;
// Face value of $25, the floor at original maturity.
constexpr long long kFaceCents = 2500;

// startCents * (1 + rate/2)^(months/6), rounded to the cent half up. A whole period is exact in
// integers; part of one is not, and the slack lets an exact half cent that long double lands just
// below round up, as a half does.
// (1 + rate/2)^(months/6). A chart or a tax schedule asks for the same few rates and months
// hundreds of thousands of times, and the power is the costly part: each thread keeps those it
// worked out. The same arguments give the same power, so the values are unchanged.
long double partPeriodGrowth(int rateHundredths, int months) {
    thread_local std::unordered_map<long long, long double> known;
    const long long key = static_cast<long long>(rateHundredths) * kPeriodMonths + months;
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    const long double growth = std::pow(1.0L + static_cast<long double>(rateHundredths) / 20000.0L,
                                        static_cast<long double>(months) / 6.0L);
    known.emplace(key, growth);
    return growth;
}

long long accrue(long long startCents, int rateHundredths, int months) {
    if (months <= 0 || rateHundredths == 0) {
        return startCents;
    }
    if (months >= kPeriodMonths) {
        return (startCents * (20000LL + rateHundredths) + 10000) / 20000;
    }
    const long double growth = partPeriodGrowth(rateHundredths, months);
    return static_cast<long long>(
        std::floor(static_cast<long double>(startCents) * growth + 0.5L + 1e-9L));
}

long long issuePriceCents(const SeriesRules& rules) {
    // $25 face at the series' share of it.
    return kFaceCents * rules.issuePricePerMille / 1000;
}

} // namespace

std::optional<YearMonth> lastProjectedMonth(const ValueTable& table) {
    const std::vector<YearMonth>& months = table.redemptionMonths();
    if (months.empty()) {
        return std::nullopt;
    }
    return months.back().plusMonths(kProjectionYears * 12);
}

bool isProjectedMonth(const ValueTable& table, YearMonth month) {
    const std::optional<YearMonth> last = lastProjectedMonth(table);
    return last && month > table.redemptionMonths().back() && month <= *last;
}

BondProjection::BondProjection(const ValueTable& table, BondSeries series, YearMonth issue,
                               YearMonth from)
    : series_(series), issue_(issue), fromAge_(from.monthsSince(issue)) {
    const std::string_view name = bondSeriesName(series);
    finalAge_ = finalMaturityOf(name, issue).monthsSince(issue);
    if (const std::optional<YearMonth> doubles = doublingMonth(name, issue)) {
        doublingAge_ = doubles->monthsSince(issue);
    }
    const ValueCell fromCell = fromAge_ >= 0 ? table.cell(series, from, issue) : kMissingCell;
    fixedCell_ = fromCell;
    const EarningRates* rates = table.earningRates();
    // Past final maturity the value stays; a bond the table lacks or calls invalid stays so.
    if (fromAge_ >= finalAge_ || fromCell == kMissingCell || fromCell == kInvalidCell ||
        rates == nullptr) {
        if (fromAge_ < finalAge_) {
            fixedCell_ = fromCell == kInvalidCell ? kInvalidCell : kMissingCell;
        }
        return;
    }
    fixedCell_ = kMissingCell;
    // Whether it is payable is a matter of dates alone, whatever its rate.
    knownBond_ = true;
    // EE issued before May 1995 follow a guaranteed path with rules of its own, which the
    // projection does not carry on; all of them are past final maturity by May 2025.
    if (!growsBySemiannualPeriods(series, issue)) {
        return;
    }
    step_ = rates->accrualStepMonths(series, issue);
    const EarningRate held = rates->rateIn(series, issue, from);
    if ((step_ != 1 && step_ != kPeriodMonths) || held.kind != EarningRate::Kind::Known) {
        return;
    }
    // The value a month's penalty reaches back to is as far back as the anchor must lie.
    const int needed = std::max(0, fromAge_ - kPenaltyInterestMonths);
    for (int start = needed / kPeriodMonths * kPeriodMonths; start >= 0; start -= kPeriodMonths) {
        if (readAnchor(table, start)) {
            break;
        }
    }
    if (periodStartCents_.empty()) {
        return;
    }
    // Each period from the anchor to final maturity (or the projection's end) with its rate: the
    // rate it earned up to `from`, the rate held from then on.
    const int lastAge = std::min(finalAge_, fromAge_ + kProjectionYears * 12 + kPeriodMonths);
    for (int start = firstPeriodAge_;; start += kPeriodMonths) {
        int rate = held.hundredthsOfPercent;
        if (start <= fromAge_) {
            const EarningRate earned = rates->rateIn(series, issue, issue.plusMonths(start));
            if (earned.kind != EarningRate::Kind::Known) {
                periodStartCents_.clear();
                return;
            }
            rate = earned.hundredthsOfPercent;
        }
        periodRates_.push_back(rate);
        if (start + kPeriodMonths > lastAge) {
            break;
        }
        long long next = accrue(periodStartCents_.back(), rate, kPeriodMonths);
        if (start + kPeriodMonths == doublingAge_) {
            next = std::max(next, kFaceCents);
        }
        periodStartCents_.push_back(next);
    }
    grows_ = true;
}

bool BondProjection::readAnchor(const ValueTable& table, int periodStartAge) {
    const std::string_view name = bondSeriesName(series_);
    const SeriesRules* rules = seriesRulesOf(name);
    long long cents = -1;
    if (periodStartAge == 0 && rules != nullptr) {
        cents = issuePriceCents(*rules);
    } else if (!carriesEarlyRedemptionPenalty(name, issue_, periodStartAge)) {
        const YearMonth month = issue_.plusMonths(periodStartAge);
        if (table.holdsMonth(month)) {
            cents = table.cell(series_, month, issue_);
        }
    } else if (periodStartAge + kPenaltyInterestMonths <= fromAge_ &&
               carriesEarlyRedemptionPenalty(name, issue_,
                                             periodStartAge + kPenaltyInterestMonths)) {
        // Three months on, the penalty shows the value of this month.
        const YearMonth later = issue_.plusMonths(periodStartAge + kPenaltyInterestMonths);
        if (table.holdsMonth(later)) {
            cents = table.cell(series_, later, issue_);
        }
    }
    if (cents < 0) {
        return false;
    }
    firstPeriodAge_ = periodStartAge;
    periodStartCents_.push_back(cents);
    return true;
}

std::optional<long long> BondProjection::valueAtAge(int age) const {
    const int earning = std::min(age, finalAge_);
    const int index = (earning - firstPeriodAge_) / kPeriodMonths;
    if (earning < firstPeriodAge_ || index >= static_cast<int>(periodStartCents_.size())) {
        return std::nullopt;
    }
    const auto at = static_cast<std::size_t>(index);
    const int months = earning - firstPeriodAge_ - index * kPeriodMonths;
    if (step_ == kPeriodMonths) {
        return periodStartCents_[at];
    }
    return accrue(periodStartCents_[at], periodRates_[at], months);
}

ValueCell BondProjection::cellAt(YearMonth month) const {
    const std::string_view name = bondSeriesName(series_);
    if (const std::optional<YearMonth> payable = firstPayableMonth(name, issue_);
        knownBond_ && payable && month < *payable) {
        return kNoPayCell;
    }
    if (!grows_) {
        return fixedCell_;
    }
    const int age = month.monthsSince(issue_);
    const bool penalty = carriesEarlyRedemptionPenalty(name, issue_, age);
    const std::optional<long long> cents = valueAtAge(penalty ? age - kPenaltyInterestMonths : age);
    return cents ? static_cast<ValueCell>(*cents) : kMissingCell;
}

TableEntry valuedEntryOfBond(const ValueTable* table, const Bond& bond, YearMonth month,
                             bool* projected) {
    if (projected != nullptr) {
        *projected = false;
    }
    if (table == nullptr || !isProjectedMonth(*table, month)) {
        return tableEntryOfBond(table, bond, month);
    }
    const std::optional<BondSeries> series = bondSeriesOfName(bond.type);
    const std::optional<YearMonth> issue = bond.issued();
    if (!series || !issue) {
        return {};
    }
    if (projected != nullptr) {
        *projected = true;
    }
    // An electronic bond that cannot be valued has no projected value either, as in the table.
    const FaceScale scale = FaceScale::ofBond(bond);
    if (!scale.valuable()) {
        return {};
    }
    return tableEntryOfCell(
        BondProjection(*table, *series, *issue, table->redemptionMonths().back()).cellAt(month),
        scale);
}

#include "ValueEngine.h"

#include <algorithm>
#include <cmath>

namespace {

// Series I was first issued in September 1998; EE values are computed from May 1997 on, when
// the market-based rates with monthly accrual began (earlier issues follow other rules).
constexpr MonthIndex kFirstIBond = monthIndex(1998, 9);
constexpr MonthIndex kFirstComputedEE = monthIndex(1997, 5);
constexpr MonthIndex kFirstFixedRateEE = monthIndex(2005, 5);
// Issued on or before this month: payable after 6 months; later issues after 12 months.
constexpr MonthIndex kLastSixMonthHolding = monthIndex(2003, 1);
constexpr int kPenaltyEndsAtMonths = 60;
constexpr int kPenaltyMonths = 3;

// Beyond these ages other rules apply (final maturity for I; the face-value and doubling
// guarantees at EE original maturity), which this builder does not compute.
int monthsUntilOtherRules(ComputedSeries series, MonthIndex issue) {
    if (series == ComputedSeries::I) {
        return 30 * 12;
    }
    return issue <= monthIndex(2003, 5) ? 17 * 12 : 20 * 12;
}

std::optional<int> rateInEffect(const std::map<MonthIndex, PublishedRate>& table, MonthIndex key,
                                MonthIndex lastCovered) {
    if (table.empty() || key < table.begin()->first || key > lastCovered) {
        return std::nullopt;
    }
    auto found = table.upper_bound(key);
    --found;
    return found->second.hundredthsOfPercent;
}

std::optional<int> announcedRate(const std::map<MonthIndex, PublishedRate>& table,
                                 MonthIndex announcement) {
    const auto found = table.find(announcement);
    return found == table.end() ? std::nullopt : found->second.hundredthsOfPercent;
}

} // namespace

int compositeRate(int fixedHundredths, int inflationHundredths) {
    // In units of 0.0001 hundredths of a percent, so the product is exact.
    const long long exact =
        (static_cast<long long>(fixedHundredths) + 2LL * inflationHundredths) * 10000LL +
        static_cast<long long>(fixedHundredths) * inflationHundredths;
    if (exact <= 0) {
        return 0;
    }
    return static_cast<int>((exact + 5000) / 10000);
}

long long accrueWithinPeriod(long long startCents, int rateHundredths, int months) {
    if (months <= 0 || rateHundredths == 0) {
        return startCents;
    }
    if (months >= 6) {
        // A whole period is exact in integers: start * (1 + rate / 2), half up. Ties do occur
        // here (12.50 at 5.68% is 12.855).
        const long long numerator = startCents * (20000LL + rateHundredths);
        return (numerator + 10000) / 20000;
    }
    const long double growth = std::pow(1.0L + static_cast<long double>(rateHundredths) / 20000.0L,
                                        static_cast<long double>(months) / 6.0L);
    const long double cents = static_cast<long double>(startCents) * growth;
    // The slack lets an exact half cent that long double lands just below round up, as a half
    // does; no true value comes this close to a half without being one.
    return static_cast<long long>(std::floor(cents + 0.5L + 1e-9L));
}

MonthIndex governingAnnouncement(MonthIndex periodStart) {
    const int year = yearOf(periodStart);
    const int month = monthOf(periodStart);
    if (month >= 5 && month <= 10) {
        return monthIndex(year, 5);
    }
    return month >= 11 ? monthIndex(year, 11) : monthIndex(year - 1, 11);
}

long long issuePriceCents(ComputedSeries series) {
    return series == ComputedSeries::I ? 2500 : 1250;
}

std::optional<int> periodRate(const BondRates& rates, ComputedSeries series, MonthIndex issue,
                              MonthIndex periodStart) {
    const MonthIndex announcement = governingAnnouncement(periodStart);
    if (series == ComputedSeries::I) {
        const std::optional<int> fixed =
            rateInEffect(rates.iFixedByIssue, issue, rates.iFixedLastIssue);
        const std::optional<int> inflation =
            announcedRate(rates.iInflationByAnnouncement, announcement);
        if (!fixed || !inflation) {
            return std::nullopt;
        }
        return compositeRate(*fixed, *inflation);
    }
    if (issue >= kFirstFixedRateEE) {
        return rateInEffect(rates.eeFixedByIssue, issue, rates.eeFixedLastIssue);
    }
    return announcedRate(rates.eeMarketByAnnouncement, announcement);
}

std::optional<long long> accruedValueCents(const BondRates& rates, ComputedSeries series,
                                           MonthIndex issue, int months) {
    long long value = issuePriceCents(series);
    for (int periodStart = 0; periodStart < months; periodStart += 6) {
        const std::optional<int> rate = periodRate(rates, series, issue, issue + periodStart);
        if (!rate) {
            return std::nullopt;
        }
        value = accrueWithinPeriod(value, *rate, std::min(6, months - periodStart));
    }
    return value;
}

RedemptionValue redemptionValue(const BondRates& rates, ComputedSeries series, MonthIndex issue,
                                MonthIndex redemption) {
    using Kind = RedemptionValue::Kind;
    const MonthIndex firstIssue = series == ComputedSeries::I ? kFirstIBond : kFirstComputedEE;
    if (issue > redemption || (series == ComputedSeries::I && issue < firstIssue)) {
        return {Kind::NotIssued, 0};
    }
    const int age = redemption - issue;
    const int minimumHolding = issue <= kLastSixMonthHolding ? 6 : 12;
    if (age < minimumHolding) {
        return {Kind::NotPayable, 0};
    }
    if (issue < firstIssue || age >= monthsUntilOtherRules(series, issue)) {
        return {Kind::Unknown, 0};
    }
    const int valuedAt = age < kPenaltyEndsAtMonths ? age - kPenaltyMonths : age;
    const std::optional<long long> value = accruedValueCents(rates, series, issue, valuedAt);
    if (!value) {
        return {Kind::Unknown, 0};
    }
    return {Kind::Value, std::max(*value, issuePriceCents(series))};
}

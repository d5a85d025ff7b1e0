#include "ValueEngine.h"

#include <algorithm>
#include <cmath>

namespace {

// Series I was first issued in September 1998. EE issued May 1995 - April 1997 earn the 85%
// long-term rate every six months; from May 1997 the market-based rates with monthly accrual
// began, and from May 2005 a fixed rate.
constexpr MonthIndex kFirstIBond = monthIndex(1998, 9);
constexpr MonthIndex kFirstLongTermEE = monthIndex(1995, 5);
constexpr MonthIndex kFirstComputedEE = monthIndex(1997, 5);
constexpr MonthIndex kFirstFixedRateEE = monthIndex(2005, 5);
constexpr MonthIndex kLastSeventeenYearEE = monthIndex(2003, 5);
// Issued on or before this month: payable after 6 months; later issues after 12 months.
constexpr MonthIndex kLastSixMonthHolding = monthIndex(2003, 1);
constexpr int kPenaltyEndsAtMonths = 60;
constexpr int kPenaltyMonths = 3;
constexpr int kFinalMaturityMonths = 30 * 12;
constexpr int kLongTermOriginalMaturityMonths = 17 * 12;
// The face value of the EE unit: what original maturity guarantees.
constexpr long long kEEFaceCents = 2500;

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

int eeOriginalMaturityMonths(MonthIndex issue) {
    return issue <= kLastSeventeenYearEE ? 17 * 12 : 20 * 12;
}

std::optional<long long> accruedValueCents(const BondRates& rates, ComputedSeries series,
                                           MonthIndex issue, int months) {
    months = std::min(months, kFinalMaturityMonths); // interest stops at final maturity
    const int floorAt = series == ComputedSeries::EE ? eeOriginalMaturityMonths(issue) : -1;
    std::optional<long long> value = issuePriceCents(series);
    // The value with every missing market-based rate taken as the highest one the data hold (the
    // sourced bounds of the missing ones are lower): when even that stays below face value,
    // original maturity sets the bond to face value whatever the missing rates were.
    const bool marketRates = series == ComputedSeries::EE && issue < kFirstFixedRateEE;
    long long ceiling = issuePriceCents(series);
    for (int start = 0;; start += 6) {
        if (start == floorAt && start <= months) {
            if (value) {
                value = std::max(*value, kEEFaceCents);
            } else if (marketRates && ceiling <= kEEFaceCents) {
                value = kEEFaceCents;
            }
            ceiling = std::max(ceiling, kEEFaceCents);
        }
        if (start >= months) {
            return value;
        }
        const int elapsed = std::min(6, months - start);
        const std::optional<int> rate = periodRate(rates, series, issue, issue + start);
        value = value && rate ? std::optional(accrueWithinPeriod(*value, *rate, elapsed))
                              : std::nullopt;
        ceiling = accrueWithinPeriod(ceiling, rate.value_or(rates.eeMarketHighest), elapsed);
    }
}

namespace {

// EE of May 1995 - April 1997: face value at 17 years, then interest every six months at the
// long-term rate until final maturity. The official value at the last accrual date on or before
// `official.redemption` is where the computation starts.
RedemptionValue longTermValue(const BondRates& rates, MonthIndex issue, MonthIndex redemption,
                              const OfficialEEValues* official) {
    using Kind = RedemptionValue::Kind;
    const MonthIndex maturity = issue + kLongTermOriginalMaturityMonths;
    if (official == nullptr || redemption <= official->redemption ||
        official->redemption < maturity) {
        return {Kind::Unknown, 0};
    }
    const auto found = official->centsByIssue.find(issue);
    if (found == official->centsByIssue.end()) {
        return {Kind::Unknown, 0};
    }
    const auto lastAccrual = [&](MonthIndex month) {
        return maturity + (month - maturity) / 6 * 6;
    };
    long long value = found->second;
    const MonthIndex end = lastAccrual(std::min(redemption, issue + kFinalMaturityMonths));
    for (MonthIndex start = lastAccrual(official->redemption); start < end; start += 6) {
        const std::optional<int> rate =
            announcedRate(rates.eeLongTermByAnnouncement, governingAnnouncement(start));
        if (!rate) {
            return {Kind::Unknown, 0};
        }
        value = accrueWithinPeriod(value, *rate, 6);
    }
    return {Kind::Value, value};
}

} // namespace

RedemptionValue redemptionValue(const BondRates& rates, ComputedSeries series, MonthIndex issue,
                                MonthIndex redemption, const OfficialEEValues* official) {
    using Kind = RedemptionValue::Kind;
    if (issue > redemption || (series == ComputedSeries::I && issue < kFirstIBond)) {
        return {Kind::NotIssued, 0};
    }
    const int age = redemption - issue;
    const int minimumHolding = issue <= kLastSixMonthHolding ? 6 : 12;
    if (age < minimumHolding) {
        return {Kind::NotPayable, 0};
    }
    if (series == ComputedSeries::EE && issue < kFirstComputedEE) {
        return issue < kFirstLongTermEE ? RedemptionValue{Kind::Unknown, 0}
                                        : longTermValue(rates, issue, redemption, official);
    }
    const int valuedAt = age < kPenaltyEndsAtMonths ? age - kPenaltyMonths : age;
    const std::optional<long long> value = accruedValueCents(rates, series, issue, valuedAt);
    if (!value) {
        return {Kind::Unknown, 0};
    }
    return {Kind::Value, std::max(*value, issuePriceCents(series))};
}

#include "ValueEngine.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Series I was first issued in September 1998. EE issued May 1995 - April 1997 earn the 85%
// long-term rate every six months; from May 1997 the market-based rates with monthly accrual
// began, and from May 2005 a fixed rate.
constexpr MonthIndex kFirstIBond = monthIndex(1998, 9);
constexpr MonthIndex kFirstLongTermEE = monthIndex(1995, 5);
constexpr MonthIndex kFirstComputedEE = monthIndex(1997, 5);
constexpr MonthIndex kFirstFixedRateEE = monthIndex(2005, 5);
// Market-based yields of EE issued before May 1989 are rounded to 1/4%, later ones to 0.01%.
constexpr MonthIndex kFirstHundredthRoundedEE = monthIndex(1989, 5);
// From this month the official value file (June - November 2016) and, after it, the market-based
// values of ee-1982-1995-minimum-path.md (at most 86% of the path) show the path governing.
constexpr MonthIndex kMinimumPathGoverns = monthIndex(2016, 6);
constexpr MonthIndex kLastSeventeenYearEE = monthIndex(2003, 5);
// Issued on or before this month: payable after 6 months; later issues after 12 months.
constexpr MonthIndex kLastSixMonthHolding = monthIndex(2003, 1);
constexpr int kPenaltyEndsAtMonths = 60;
constexpr int kPenaltyMonths = 3;
constexpr int kFinalMaturityMonths = 30 * 12;
constexpr int kLongTermOriginalMaturityMonths = 17 * 12;
// The face value of the EE unit: what original maturity guarantees.
constexpr long long kEEFaceCents = 2500;

// EE issued November 1982 - April 1995: the maturity periods of the guaranteed-minimum path
// (31 CFR 351.20, 351.21), each a length in months and a yearly rate in hundredths of a percent.
// A bond of November 1982 - February 1983 entered its second period before March 1993, at the
// 6% minimum of that time; later periods have the 4% minimum.
struct MinimumPathPeriod {
    int months;
    int rateHundredths;
};
struct MinimumPathBand {
    MonthIndex firstIssue;
    MonthIndex lastIssue;
    std::array<MinimumPathPeriod, 3> periods;
    bool monthly; // the value grows every month; else every six months
};
constexpr std::array<MinimumPathBand, 4> kMinimumPathBands = {{
    {monthIndex(1982, 11), monthIndex(1983, 2), {{{120, 750}, {120, 600}, {120, 400}}}, false},
    {monthIndex(1983, 3), monthIndex(1986, 10), {{{120, 750}, {120, 400}, {120, 400}}}, false},
    {monthIndex(1986, 11), monthIndex(1993, 2), {{{144, 600}, {120, 400}, {96, 400}}}, false},
    {monthIndex(1993, 3), monthIndex(1995, 4), {{{216, 400}, {120, 400}, {24, 400}}}, true},
}};

const MinimumPathBand* minimumPathBandOf(MonthIndex issue) {
    const auto band = std::find_if(kMinimumPathBands.begin(), kMinimumPathBands.end(),
                                   [issue](const MinimumPathBand& b) {
                                       return issue >= b.firstIssue && issue <= b.lastIssue;
                                   });
    return band == kMinimumPathBands.end() ? nullptr : &*band;
}

// startCents * (1 + rate/2)^(months/6), rounded up to the cent. The slack keeps a value that is
// a whole cent, computed a hair above it, from rounding up a further cent.
long long grownRoundedUp(long long startCents, int rateHundredths, int months) {
    const long double growth = std::pow(1.0L + static_cast<long double>(rateHundredths) / 20000.0L,
                                        static_cast<long double>(months) / 6.0L);
    return static_cast<long long>(std::ceil(static_cast<long double>(startCents) * growth - 1e-6L));
}

std::optional<int> rateInEffect(const std::map<MonthIndex, PublishedRate>& table, MonthIndex key,
                                MonthIndex lastCovered) {
    const PublishedRate* rate = publishedRateInEffect(table, key, lastCovered);
    return rate == nullptr ? std::nullopt : rate->hundredthsOfPercent;
}

std::optional<int> announcedRate(const std::map<MonthIndex, PublishedRate>& table,
                                 MonthIndex announcement) {
    const PublishedRate* rate = publishedAnnouncedRate(table, announcement);
    return rate == nullptr ? std::nullopt : rate->hundredthsOfPercent;
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

int earningMonths(int ageMonths) {
    return std::min(ageMonths, kFinalMaturityMonths);
}

std::optional<long long> minimumPathValueCents(MonthIndex issue, int ageMonths) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band == nullptr || ageMonths < 0) {
        return std::nullopt;
    }
    int months = earningMonths(ageMonths);
    long long base = 1250;
    for (const MinimumPathPeriod& period : band->periods) {
        // The last period runs on as far as the months do: final maturity ends it.
        if (months <= period.months || &period == &band->periods.back()) {
            const int accrued = band->monthly ? months : months / 6 * 6;
            return grownRoundedUp(base, period.rateHundredths, accrued);
        }
        // The value at the period's end, rounded up, is the next period's base.
        base = grownRoundedUp(base, period.rateHundredths, period.months);
        months -= period.months;
    }
    return std::nullopt;
}

std::optional<long long> marketBasedBoundCents(const BondRates& rates, MonthIndex issue,
                                               int ageMonths) {
    const int months = earningMonths(ageMonths);
    const MonthIndex last = issue + months - 1;
    long long highest = -1; // 85 x the average, in hundredths of a percent x 100 x count
    long long highestCount = 1;
    for (MonthIndex first = issue - 6; first <= issue && first <= last; ++first) {
        long long sum = 0;
        for (MonthIndex month = first; month <= last; ++month) {
            const auto found = rates.fiveYearYieldByMonth.find(month);
            if (found == rates.fiveYearYieldByMonth.end()) {
                return std::nullopt;
            }
            sum += found->second;
        }
        const long long count = last - first + 1;
        if (highest < 0 || sum * highestCount > highest * count) {
            highest = sum;
            highestCount = count;
        }
    }
    if (highest < 0) {
        return std::nullopt;
    }
    const long long step = issue < kFirstHundredthRoundedEE ? 25 : 1;
    const long long scale = 100 * highestCount * step;
    const auto rate = static_cast<int>((85 * highest + scale - 1) / scale * step);
    return grownRoundedUp(1250, rate, (months + 5) / 6 * 6);
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
    months = earningMonths(months);
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

// EE of May 1995 - April 1997: face value at 17 years (the official June - November 2016 file
// shows every one of them there, their accrued value being lower), then interest every six
// months at the long-term rate until final maturity. Before 17 years their path is not known.
RedemptionValue longTermValue(const BondRates& rates, MonthIndex issue, MonthIndex redemption) {
    using Kind = RedemptionValue::Kind;
    const MonthIndex maturity = issue + kLongTermOriginalMaturityMonths;
    if (redemption < maturity) {
        return {Kind::Unknown, 0};
    }
    // Nothing accrues between accrual dates (31 CFR 351.28(c)).
    const MonthIndex end =
        maturity + (issue + earningMonths(redemption - issue) - maturity) / 6 * 6;
    long long value = kEEFaceCents;
    for (MonthIndex start = maturity; start < end; start += 6) {
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
                                MonthIndex redemption) {
    using Kind = RedemptionValue::Kind;
    if (issue > redemption || (series == ComputedSeries::I && issue < kFirstIBond)) {
        return {Kind::NotIssued, 0};
    }
    const int age = redemption - issue;
    const int minimumHolding = issue <= kLastSixMonthHolding ? 6 : 12;
    if (age < minimumHolding) {
        return {Kind::NotPayable, 0};
    }
    if (series == ComputedSeries::EE && issue < kFirstLongTermEE) {
        const std::optional<long long> value = minimumPathValueCents(issue, age);
        if (!value) {
            return {Kind::Unknown, 0};
        }
        // Where the market-based value might be the higher one, the value is not known.
        if (redemption < kMinimumPathGoverns) {
            const std::optional<long long> market = marketBasedBoundCents(rates, issue, age);
            if (!market || *market >= *value) {
                return {Kind::Unknown, 0};
            }
        }
        return {Kind::Value, *value};
    }
    if (series == ComputedSeries::EE && issue < kFirstComputedEE) {
        return longTermValue(rates, issue, redemption);
    }
    const std::optional<long long> value = valueIfPayableCents(rates, series, issue, redemption);
    return value ? RedemptionValue{Kind::Value, *value} : RedemptionValue{Kind::Unknown, 0};
}

std::optional<long long> valueIfPayableCents(const BondRates& rates, ComputedSeries series,
                                             MonthIndex issue, MonthIndex redemption) {
    const int age = redemption - issue;
    if (age < 0 || (series == ComputedSeries::EE && issue < kFirstComputedEE)) {
        return std::nullopt;
    }
    const int valuedAt = age < kPenaltyEndsAtMonths ? std::max(0, age - kPenaltyMonths) : age;
    const std::optional<long long> value = accruedValueCents(rates, series, issue, valuedAt);
    if (!value) {
        return std::nullopt;
    }
    return std::max(*value, issuePriceCents(series));
}

EERules eeRulesOf(MonthIndex issue) {
    if (issue < kMinimumPathBands.front().firstIssue) {
        return EERules::BeforeMinimumPath;
    }
    if (issue < kFirstLongTermEE) {
        return EERules::MinimumPath;
    }
    if (issue < kFirstComputedEE) {
        return EERules::LongTerm;
    }
    return issue < kFirstFixedRateEE ? EERules::MarketBased : EERules::FixedRate;
}

int eeAccrualStepMonths(MonthIndex issue) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band != nullptr) {
        return band->monthly ? 1 : 6;
    }
    // 31 CFR 351.22 and 351.28: earlier issues grow every six months once past their first
    // years, May 1995 - April 1997 issues every six months; later ones every month.
    return issue < kFirstComputedEE ? 6 : 1;
}

std::optional<int> minimumPathRate(MonthIndex issue, int ageMonths) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band == nullptr || ageMonths < 0 || ageMonths >= kFinalMaturityMonths) {
        return std::nullopt;
    }
    int periodStart = 0;
    for (const MinimumPathPeriod& period : band->periods) {
        if (ageMonths < periodStart + period.months) {
            return period.rateHundredths;
        }
        periodStart += period.months;
    }
    return band->periods.back().rateHundredths;
}

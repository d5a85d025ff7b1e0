#include "ValueEngine.h"

#include "TableSeries.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// EE issued May 1995 - April 1997 earn the 85% long-term rate every six months; from May 1997 the
// market-based rates with monthly accrual began, and from May 2005 a fixed rate.
constexpr YearMonth kFirstLongTermEE{1995, 5};
constexpr YearMonth kFirstComputedEE{1997, 5};
constexpr YearMonth kFirstFixedRateEE{2005, 5};
// The last month whose market-based value the table weighs for EE issued November 1982 - April
// 1995: the official file of June - November 2016 checks it there (the path governs in all its
// months), and later market-based values stay at most 86% of the path (ee-1982-1995-minimum-
// path.md) while the yields' data end in December 2016.
constexpr YearMonth kLastMarketBasedMonth{2016, 11};
constexpr YearMonth kFirstMinimumPathEE{1982, 11};
// EE issued May 1995 - April 1997 earn the short-term rate for five years (31 CFR 351.11).
constexpr int kShortTermMonths = 60;
// The interest a bond cashed before five years gives up, where the series rules call for it.
constexpr int kPenaltyMonths = 3;
// The face value of the unit: what an EE bond is worth at least at original maturity.
constexpr long long kUnitFaceCents = 2500;

// EE issued November 1982 - April 1995: the maturity periods of the guaranteed-minimum path
// (31 CFR 351.20, 351.21), each a length in months and a yearly rate in hundredths of a percent.
// A bond of November 1982 - February 1983 entered its second period before March 1993, at the
// 6% minimum of that time; later periods have the 4% minimum.
struct MinimumPathPeriod {
    int months;
    int rateHundredths;
};
struct MinimumPathBand {
    YearMonth firstIssue;
    YearMonth lastIssue;
    std::array<MinimumPathPeriod, 3> periods;
    bool monthly; // the value grows every month; else every six months
};
constexpr std::array<MinimumPathBand, 4> kMinimumPathBands = {{
    {{1982, 11}, {1983, 2}, {{{120, 750}, {120, 600}, {120, 400}}}, false},
    {{1983, 3}, {1986, 10}, {{{120, 750}, {120, 400}, {120, 400}}}, false},
    {{1986, 11}, {1993, 2}, {{{144, 600}, {120, 400}, {96, 400}}}, false},
    {{1993, 3}, {1995, 4}, {{{216, 400}, {120, 400}, {24, 400}}}, true},
}};

const MinimumPathBand* minimumPathBandOf(YearMonth issue) {
    const auto band = std::find_if(kMinimumPathBands.begin(), kMinimumPathBands.end(),
                                   [issue](const MinimumPathBand& b) {
                                       return issue >= b.firstIssue && issue <= b.lastIssue;
                                   });
    return band == kMinimumPathBands.end() ? nullptr : &*band;
}

// The months from issue to final maturity.
int finalMaturityAge(BondSeries series, YearMonth issue) {
    return finalMaturityMonth(series, issue).monthsSince(issue);
}

// startCents * (1 + rate/2)^(months/6), rounded up to the cent. The slack keeps a value that is
// a whole cent, computed a hair above it, from rounding up a further cent.
long long grownRoundedUp(long long startCents, int rateHundredths, int months) {
    const long double growth = std::pow(1.0L + static_cast<long double>(rateHundredths) / 20000.0L,
                                        static_cast<long double>(months) / 6.0L);
    return static_cast<long long>(std::ceil(static_cast<long double>(startCents) * growth - 1e-6L));
}

enum class CentRounding { Up, HalfUp };

// startCents * (factor / 10^decimals)^periods rounded to the cent, in exact decimal digits: a
// value that is a whole cent, or half a cent, is told as such however many periods it grew.
long long grownExactly(long long startCents, int factor, int decimals, int periods,
                       CentRounding rounding) {
    std::vector<int> digits; // least significant first
    for (long long rest = startCents; rest > 0; rest /= 10) {
        digits.push_back(static_cast<int>(rest % 10));
    }
    for (int period = 0; period < periods; ++period) {
        long long carry = 0;
        for (int& digit : digits) {
            const long long product = static_cast<long long>(digit) * factor + carry;
            digit = static_cast<int>(product % 10);
            carry = product / 10;
        }
        for (; carry > 0; carry /= 10) {
            digits.push_back(static_cast<int>(carry % 10));
        }
    }
    // The last decimals * periods digits are the fraction of a cent.
    const std::size_t point =
        static_cast<std::size_t>(decimals) * static_cast<std::size_t>(periods);
    long long cents = 0;
    for (std::size_t i = digits.size(); i > point; --i) {
        cents = cents * 10 + digits[i - 1];
    }
    const auto fractionEnd =
        digits.begin() + static_cast<std::ptrdiff_t>(std::min(point, digits.size()));
    const bool anyFraction = std::any_of(digits.begin(), fractionEnd, [](int d) { return d != 0; });
    const bool halfOrMore = point > 0 && point <= digits.size() && digits[point - 1] >= 5;
    return cents + ((rounding == CentRounding::Up ? anyFraction : halfOrMore) ? 1 : 0);
}

std::optional<int> rateInEffect(const std::map<YearMonth, PublishedRate>& table, YearMonth key,
                                YearMonth lastCovered) {
    const PublishedRate* rate = publishedRateInEffect(table, key, lastCovered);
    return rate == nullptr ? std::nullopt : rate->hundredthsOfPercent;
}

std::optional<int> announcedRate(const std::map<YearMonth, PublishedRate>& table,
                                 YearMonth announcement) {
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

int earningMonths(BondSeries series, YearMonth issue, int ageMonths) {
    return std::min(ageMonths, finalMaturityAge(series, issue));
}

std::optional<long long> minimumPathValueCents(YearMonth issue, int ageMonths) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band == nullptr || ageMonths < 0) {
        return std::nullopt;
    }
    int months = earningMonths(BondSeries::EE, issue, ageMonths);
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

std::optional<long long> marketBasedValueCents(const BondRates& rates, YearMonth issue,
                                               int ageMonths) {
    const int halfYears = earningMonths(BondSeries::EE, issue, ageMonths) / 6;
    if (halfYears == 0) {
        return issuePriceCents(BondSeries::EE);
    }
    // The six-month period that most recently ended before the issue month is the one whose
    // average the announcement governing the issue month was made from.
    const YearMonth first = governingAnnouncement(issue).plusMonths(-6);
    const std::map<YearMonth, int>& yields = rates.fiveYearYieldByMonth;
    long long sum = 0;
    // Found once, then walked: `count` months in a row from `first` end `count` - 1 months later,
    // so a month missing anywhere shows at the end of the walk.
    const int count = 6 * halfYears;
    auto found = yields.find(first);
    YearMonth walked = first;
    for (int i = 0; i < count; ++i, ++found) {
        if (found == yields.end()) {
            return std::nullopt;
        }
        walked = found->first;
        sum += found->second;
    }
    if (walked.monthsSince(first) != count - 1) {
        return std::nullopt;
    }
    // The average of j six-month averages is that of their 6j months; 85% of it, half up.
    const long long months = 6LL * halfYears;
    const auto yield = static_cast<int>((170 * sum + 100 * months) / (200 * months));
    // (1 + y/2) a half-year, y in hundredths of a percent, is (100000 + 5y) / 10^5.
    return grownExactly(issuePriceCents(BondSeries::EE), 100000 + 5 * yield, 5, halfYears,
                        CentRounding::Up);
}

bool marketBasedValueGoverns(const BondRates& rates, YearMonth issue, YearMonth redemption) {
    if (redemption > kLastMarketBasedMonth) {
        return false;
    }
    const std::optional<long long> path =
        minimumPathValueCents(issue, redemption.monthsSince(issue));
    const std::optional<long long> market =
        marketBasedValueCents(rates, issue, redemption.monthsSince(issue));
    return path && market && *market > *path;
}

const LastExtensionBase* lastExtensionBaseOf(const BondRates& rates, BondSeries series,
                                             YearMonth issue) {
    const auto found = std::find_if(
        rates.lastExtensionBases.begin(), rates.lastExtensionBases.end(),
        [&](const LastExtensionBase& base) {
            return base.series == series && issue >= base.firstIssue && issue <= base.lastIssue;
        });
    return found == rates.lastExtensionBases.end() ? nullptr : &*found;
}

namespace {

// The value of a last extension `ageMonths` after `issue`: 4% a year from its base, for every
// whole half-year since it began (1.02 = 102 / 10^2 a half-year).
std::optional<long long> lastExtensionValue(const LastExtensionBase& base, YearMonth issue,
                                            int ageMonths, bool halfUp) {
    const int months = earningMonths(base.series, issue, ageMonths);
    const std::optional<long long> start = halfUp ? base.halfUpCents : base.roundUpCents;
    if (months < base.fromAgeMonths || !start) {
        return std::nullopt;
    }
    return grownExactly(*start, 102, 2, (months - base.fromAgeMonths) / 6,
                        halfUp ? CentRounding::HalfUp : CentRounding::Up);
}

} // namespace

std::optional<long long> lastExtensionFinalCents(const LastExtensionBase& base, bool halfUp) {
    // The issue months of one base share their term.
    return lastExtensionValue(base, base.firstIssue, finalMaturityAge(base.series, base.firstIssue),
                              halfUp);
}

std::optional<long long> lastExtensionValueCents(const BondRates& rates, BondSeries series,
                                                 YearMonth issue, int ageMonths) {
    const LastExtensionBase* base = lastExtensionBaseOf(rates, series, issue);
    if (base == nullptr) {
        return std::nullopt;
    }
    const std::optional<long long> up = lastExtensionValue(*base, issue, ageMonths, false);
    // Where the rounding is not settled, only a cent both roundings give is a value.
    if (base->halfUpCents && lastExtensionValue(*base, issue, ageMonths, true) != up) {
        return std::nullopt;
    }
    return up;
}

YearMonth governingAnnouncement(YearMonth periodStart) {
    const int year = periodStart.year;
    const int month = periodStart.month;
    if (month >= 5 && month <= 10) {
        return {year, 5};
    }
    return month >= 11 ? YearMonth{year, 11} : YearMonth{year - 1, 11};
}

long long issuePriceCents(BondSeries series) {
    return kUnitFaceCents * rulesOfSeries(series).issuePricePerMille / 1000;
}

std::optional<int> periodRate(const BondRates& rates, BondSeries series, YearMonth issue,
                              YearMonth periodStart) {
    const YearMonth announcement = governingAnnouncement(periodStart);
    if (series == BondSeries::I) {
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

namespace {

// The months from issue to original maturity, from which an EE bond is worth at least its face
// value; -1 for a bond without that guarantee.
int monthsToFaceValue(BondSeries series, YearMonth issue) {
    const std::optional<YearMonth> doubling = doublingMonth(bondSeriesName(series), issue);
    return doubling ? doubling->monthsSince(issue) : -1;
}

} // namespace

std::optional<long long> accruedValueCents(const BondRates& rates, BondSeries series,
                                           YearMonth issue, int months) {
    months = earningMonths(series, issue, months);
    const int floorAt = monthsToFaceValue(series, issue);
    std::optional<long long> value = issuePriceCents(series);
    // The value with every missing market-based rate taken as the highest one the data hold (the
    // sourced bounds of the missing ones are lower): when even that stays below face value,
    // original maturity sets the bond to face value whatever the missing rates were.
    const bool marketRates = series == BondSeries::EE && issue < kFirstFixedRateEE;
    long long ceiling = issuePriceCents(series);
    for (int start = 0;; start += 6) {
        if (start == floorAt && start <= months) {
            if (value) {
                value = std::max(*value, kUnitFaceCents);
            } else if (marketRates && ceiling <= kUnitFaceCents) {
                value = kUnitFaceCents;
            }
            ceiling = std::max(ceiling, kUnitFaceCents);
        }
        if (start >= months) {
            return value;
        }
        const int elapsed = std::min(6, months - start);
        const std::optional<int> rate = periodRate(rates, series, issue, issue.plusMonths(start));
        value = value && rate ? std::optional(accrueWithinPeriod(*value, *rate, elapsed))
                              : std::nullopt;
        ceiling = accrueWithinPeriod(ceiling, rate.value_or(rates.eeMarketHighest), elapsed);
    }
}

const PublishedRate* earlyEEPeriodRate(const BondRates& rates, YearMonth issue,
                                       YearMonth periodStart) {
    return publishedAnnouncedRate(periodStart.monthsSince(issue) < kShortTermMonths
                                      ? rates.eeShortTermByAnnouncement
                                      : rates.eeLongTermByAnnouncement,
                                  governingAnnouncement(periodStart));
}

namespace {

// EE of May 1995 - April 1997: interest every six months at the rate of the period (nothing
// accrues between accrual dates, 31 CFR 351.28(c)), each period from the rounded value before
// it, at least face value from 17 years on (351.27).
std::optional<long long> earlyEEPathCents(const BondRates& rates, YearMonth issue, int ageMonths) {
    const int months = earningMonths(BondSeries::EE, issue, ageMonths) / 6 * 6;
    const int floorAt = monthsToFaceValue(BondSeries::EE, issue);
    long long value = issuePriceCents(BondSeries::EE);
    for (int start = 0;; start += 6) {
        if (start == floorAt) {
            value = std::max(value, kUnitFaceCents);
        }
        if (start >= months) {
            return value;
        }
        const PublishedRate* rate = earlyEEPeriodRate(rates, issue, issue.plusMonths(start));
        if (rate == nullptr || !rate->hundredthsOfPercent) {
            return std::nullopt;
        }
        value = accrueWithinPeriod(value, *rate->hundredthsOfPercent, 6);
    }
}

// EE of November 1982 - April 1995: the higher of the path and the market-based value in the
// months whose yields the table weighs, the path after them.
std::optional<long long> minimumPathEEValue(const BondRates& rates, YearMonth issue,
                                            int ageMonths) {
    const std::optional<long long> path = minimumPathValueCents(issue, ageMonths);
    if (!path || issue.plusMonths(ageMonths) > kLastMarketBasedMonth) {
        return path;
    }
    const std::optional<long long> market = marketBasedValueCents(rates, issue, ageMonths);
    return market ? std::optional(std::max(*path, *market)) : std::nullopt;
}

} // namespace

std::optional<long long> earlyEEValueCents(const BondRates& rates, YearMonth issue, int ageMonths) {
    switch (eeRulesOf(issue)) {
    case EERules::BeforeMinimumPath:
        return lastExtensionValueCents(rates, BondSeries::EE, issue, ageMonths);
    case EERules::MinimumPath:
        return minimumPathEEValue(rates, issue, ageMonths);
    case EERules::ShortAndLongTerm:
        return earlyEEPathCents(rates, issue, ageMonths);
    case EERules::MarketBased:
    case EERules::FixedRate:
        break;
    }
    return std::nullopt;
}

RedemptionValue redemptionValue(const BondRates& rates, BondSeries series, YearMonth issue,
                                YearMonth redemption) {
    using Kind = RedemptionValue::Kind;
    if (issue > redemption || issue < rulesOfSeries(series).firstIssue) {
        return {Kind::NotIssued, 0};
    }
    const int age = redemption.monthsSince(issue);
    const std::optional<YearMonth> payable = firstPayableMonth(bondSeriesName(series), issue);
    if (payable && redemption < *payable) {
        return {Kind::NotPayable, 0};
    }
    const std::optional<long long> value =
        series == BondSeries::EE && issue < kFirstComputedEE
            ? earlyEEValueCents(rates, issue, age)
            : valueIfPayableCents(rates, series, issue, redemption);
    return value ? RedemptionValue{Kind::Value, *value} : RedemptionValue{Kind::Unknown, 0};
}

std::optional<long long> valueIfPayableCents(const BondRates& rates, BondSeries series,
                                             YearMonth issue, YearMonth redemption) {
    const int age = redemption.monthsSince(issue);
    if (age < 0 || (series == BondSeries::EE && issue < kFirstComputedEE)) {
        return std::nullopt;
    }
    const int valuedAt = carriesEarlyRedemptionPenalty(bondSeriesName(series), issue, age)
                             ? std::max(0, age - kPenaltyMonths)
                             : age;
    const std::optional<long long> value = accruedValueCents(rates, series, issue, valuedAt);
    if (!value) {
        return std::nullopt;
    }
    return std::max(*value, issuePriceCents(series));
}

EERules eeRulesOf(YearMonth issue) {
    if (issue < kFirstMinimumPathEE) {
        return EERules::BeforeMinimumPath;
    }
    if (issue < kFirstLongTermEE) {
        return EERules::MinimumPath;
    }
    if (issue < kFirstComputedEE) {
        return EERules::ShortAndLongTerm;
    }
    return issue < kFirstFixedRateEE ? EERules::MarketBased : EERules::FixedRate;
}

int eeAccrualStepMonths(YearMonth issue) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band != nullptr) {
        return band->monthly ? 1 : 6;
    }
    // 31 CFR 351.22 and 351.28: earlier issues grow every six months once past their first
    // years, May 1995 - April 1997 issues every six months; later ones every month.
    return issue < kFirstComputedEE ? 6 : 1;
}

std::optional<int> minimumPathRate(YearMonth issue, int ageMonths) {
    const MinimumPathBand* band = minimumPathBandOf(issue);
    if (band == nullptr || ageMonths < 0 || ageMonths >= finalMaturityAge(BondSeries::EE, issue)) {
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

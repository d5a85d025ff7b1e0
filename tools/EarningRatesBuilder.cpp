#include "EarningRatesBuilder.h"

#include "TableSeries.h"
#include "ValueEngine.h"

#include <algorithm>
#include <cstdio>

namespace {

// The guaranteed-minimum path is a rule of 31 CFR 351.21 whose every value the official file
// reproduces (tools/data/README.md).
constexpr std::string_view kMinimumPathStatus =
    "guaranteed minimum (31 CFR 351.21), official-table";
// A last extension earns 4% from a base that its official final value pins (data/README.md).
constexpr int kLastExtensionRate = 400;
constexpr std::string_view kLastExtensionStatus =
    "guaranteed minimum of the last extension, pinned by the official final value";

struct MonthRate {
    int code = kRateNotKnown;
    int hundredths = 0;
    std::string status;
};

std::string percentText(int hundredths) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", hundredths / 100, hundredths % 100);
    return buffer;
}

MonthRate known(int hundredths, std::string status) {
    return {0, hundredths, std::move(status)};
}

MonthRate stopped() {
    return {kStoppedEarning, 0, {}};
}

MonthRate published(const PublishedRate* rate, std::optional<int> used) {
    if (rate == nullptr || !used) {
        return {};
    }
    return known(*used, rate->status);
}

// The rate of an I bond in the six-month period holding `month`.
MonthRate iRate(const BondRates& rates, YearMonth issue, YearMonth month) {
    const YearMonth periodStart = issue.plusMonths(month.monthsSince(issue) / 6 * 6);
    const std::optional<int> composite = periodRate(rates, BondSeries::I, issue, periodStart);
    const PublishedRate* fixed =
        publishedRateInEffect(rates.iFixedByIssue, issue, rates.iFixedLastIssue);
    const PublishedRate* inflation =
        publishedAnnouncedRate(rates.iInflationByAnnouncement, governingAnnouncement(periodStart));
    if (!composite || fixed == nullptr || inflation == nullptr) {
        return {};
    }
    return known(*composite,
                 fixed->status == inflation->status
                     ? fixed->status
                     : "fixed rate " + fixed->status + "; inflation rate " + inflation->status);
}

// The 4% of a last extension in the months it values the bond.
MonthRate lastExtensionRate(const BondRates& rates, BondSeries series, YearMonth issue,
                            YearMonth month) {
    if (!lastExtensionValueCents(rates, series, issue, month.monthsSince(issue))) {
        return {};
    }
    return known(kLastExtensionRate, std::string(kLastExtensionStatus));
}

MonthRate eeRate(const BondRates& rates, YearMonth issue, YearMonth month) {
    const int age = month.monthsSince(issue);
    const YearMonth periodStart = issue.plusMonths(age / 6 * 6);
    switch (eeRulesOf(issue)) {
    case EERules::BeforeMinimumPath:
        return lastExtensionRate(rates, BondSeries::EE, issue, month);
    case EERules::MinimumPath: {
        // The path's rate tells the growth to the next accrual only where the path is the value
        // at both ends; the market-based value grows by no stated rate.
        const int step = eeAccrualStepMonths(issue);
        const YearMonth next = issue.plusMonths((age / step + 1) * step);
        if (redemptionValue(rates, BondSeries::EE, issue, month).kind !=
                RedemptionValue::Kind::Value ||
            marketBasedValueGoverns(rates, issue, month) ||
            marketBasedValueGoverns(rates, issue, next)) {
            return {};
        }
        return known(*minimumPathRate(issue, age), std::string(kMinimumPathStatus));
    }
    case EERules::ShortAndLongTerm: {
        const PublishedRate* rate = earlyEEPeriodRate(rates, issue, periodStart);
        return published(rate, rate != nullptr ? rate->hundredthsOfPercent : std::nullopt);
    }
    case EERules::MarketBased:
        return published(publishedAnnouncedRate(rates.eeMarketByAnnouncement,
                                                governingAnnouncement(periodStart)),
                         periodRate(rates, BondSeries::EE, issue, periodStart));
    case EERules::FixedRate:
        return published(publishedRateInEffect(rates.eeFixedByIssue, issue, rates.eeFixedLastIssue),
                         periodRate(rates, BondSeries::EE, issue, periodStart));
    }
    return {};
}

MonthRate rateInMonth(const BondRates& rates, BondSeries series, YearMonth issue, YearMonth month) {
    if (month >= finalMaturityMonth(series, issue)) {
        return stopped();
    }
    switch (series) {
    case BondSeries::I:
        return iRate(rates, issue, month);
    case BondSeries::EE:
        return eeRate(rates, issue, month);
    case BondSeries::E:
        return lastExtensionRate(rates, BondSeries::E, issue, month);
    case BondSeries::S:
        break; // savings notes: the data state no rate
    }
    return {};
}

int accrualStep(const BondRates& rates, BondSeries series, YearMonth issue) {
    switch (series) {
    case BondSeries::I:
        return 1;
    case BondSeries::EE:
        return eeAccrualStepMonths(issue);
    case BondSeries::E:
        // A Series E bond's last extension grows every six months from its start, a whole number
        // of years after issue; earlier E terms are not in the data.
        return lastExtensionBaseOf(rates, BondSeries::E, issue) != nullptr ? 6 : 0;
    case BondSeries::S:
        return 6;
    }
    return 0;
}

class RateCodes {
  public:
    explicit RateCodes(std::vector<std::string>& texts) : texts_(texts) {}
    int codeOf(const MonthRate& rate) {
        if (rate.code != 0) {
            return rate.code;
        }
        const std::string text = percentText(rate.hundredths) + " " + rate.status;
        const auto [found, added] = codes_.try_emplace(text, static_cast<int>(texts_.size()));
        if (added) {
            texts_.push_back(text);
        }
        return found->second;
    }

  private:
    std::vector<std::string>& texts_;
    std::map<std::string, int> codes_;
};

IssueEarnings issueEarnings(const BondRates& rates, RateCodes& codes, BondSeries series,
                            YearMonth issue, YearMonth first, YearMonth last) {
    IssueEarnings earnings;
    earnings.accrualStep = accrualStep(rates, series, issue);
    const bool computed = series == BondSeries::I ||
                          (series == BondSeries::EE && eeRulesOf(issue) >= EERules::MarketBased);
    for (YearMonth month = std::max(first, issue); month <= last; month = month.plusMonths(1)) {
        const int code = codes.codeOf(rateInMonth(rates, series, issue, month));
        if (earnings.segments.empty() || earnings.segments.back().code != code) {
            earnings.segments.push_back({month.monthsSince(issue), code});
        }
        if (computed && month.month == 12 &&
            redemptionValue(rates, series, issue, month).kind ==
                RedemptionValue::Kind::NotPayable) {
            const std::optional<long long> cents = valueIfPayableCents(rates, series, issue, month);
            if (cents) {
                earnings.yearEndWhileNotPayable = month;
                earnings.yearEndCents = *cents;
            }
        }
    }
    return earnings;
}

std::string issueText(const IssueEarnings& earnings) {
    std::string text = earnings.accrualStep > 0 ? std::to_string(earnings.accrualStep) : "?";
    if (earnings.yearEndWhileNotPayable) {
        text += " Y" + earnings.yearEndWhileNotPayable->keyText() + "=" +
                std::to_string(earnings.yearEndCents);
    }
    for (const EarningSegment& segment : earnings.segments) {
        text += " " + std::to_string(segment.fromAge) + ":";
        text += segment.code == kStoppedEarning ? "-"
                : segment.code == kRateNotKnown ? "?"
                                                : std::to_string(segment.code);
    }
    return text;
}

} // namespace

EarningRatesTable buildEarningRates(const BondRates& rates, YearMonth first, YearMonth last) {
    EarningRatesTable table{first, last, {}, {}};
    RateCodes codes(table.rates);
    for (const BondSeries series : kTableSeriesOrder) {
        auto& issues = table.bySeries[series];
        const IssueMonths issued = issueMonthsOf(series, last);
        for (YearMonth issue = issued.first; issue <= issued.last; issue = issue.plusMonths(1)) {
            issues[issue] = issueEarnings(rates, codes, series, issue, first, last);
        }
    }
    return table;
}

PlistValue earningRatesPropertyList(const EarningRatesTable& table) {
    const PlistDictRef root = PlistDict::create();
    const PlistArrayRef rates = std::make_shared<PlistArray>();
    for (const std::string& rate : table.rates) {
        rates->emplace_back(rate);
    }
    root->appendNew("Months", table.first.keyText() + " " + table.last.keyText());
    root->appendNew("Rates", rates);
    // BondSeries orders the series as their names sort, the order the file has always had.
    for (const auto& [series, issues] : table.bySeries) {
        const PlistDictRef byIssue = PlistDict::create();
        for (const auto& [issue, earnings] : issues) {
            byIssue->appendNew(issue.keyText(), issueText(earnings));
        }
        root->appendNew(std::string(bondSeriesName(series)), byIssue);
    }
    return root;
}

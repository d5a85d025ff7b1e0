#include "TableLines.h"

#include "ValueEngine.h"
#include "valuation/ValueTable.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr std::string_view kNotIssued = "      ";

// Series E: issued May 1941 to June 1980; final maturity 40 years for issues up to November
// 1965 and 30 years after (31 CFR 316.8, as given in rates.md, Section 3).
constexpr MonthIndex kFirstE = monthIndex(1941, 5);
constexpr MonthIndex kLastE = monthIndex(1980, 6);
constexpr MonthIndex kLastFortyYearE = monthIndex(1965, 11);
// Savings notes: issued May 1967 to October 1970, final maturity 30 years. Not covered by
// rates.md; the dates and the term are those published for savings notes ("Freedom Shares"),
// and the June to November 2016 official file shows their values no longer rising.
constexpr MonthIndex kFirstS = monthIndex(1967, 5);
constexpr MonthIndex kLastS = monthIndex(1970, 10);
// Series EE: first issued January 1980, final maturity 30 years (31 CFR 351.5).
constexpr MonthIndex kFirstEE = monthIndex(1980, 1);
constexpr MonthIndex kFirstI = monthIndex(1998, 9);
constexpr int kThirtyYears = 30 * 12;

std::string digits(long long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

int finalMaturityMonths(const std::string& series, MonthIndex issue) {
    if (series == "E" && issue <= kLastFortyYearE) {
        return 40 * 12;
    }
    return kThirtyYears;
}

// A bond reaches its final value in the month of final maturity itself: in the official 2016
// file an EE bond of July 1986 is worth 56.53 in June 2016 and its final 57.66 from July 2016.
bool hasMatured(const std::string& series, MonthIndex issue, MonthIndex redemption) {
    return issue + finalMaturityMonths(series, issue) <= redemption;
}

class FinalValues {
  public:
    explicit FinalValues(const FinalValueSource& source) : source_(source) {}

    // The official leaf of a matured bond; empty when the file has no six-digit value for it.
    std::string leaf(const std::string& series, MonthIndex issue) const {
        const std::string year = digits(yearOf(issue), 4);
        for (const ValueFileLine& line : source_.lines) {
            if (line.series == series && line.issueYear == year) {
                const std::string& leaf = line.leaves[static_cast<std::size_t>(monthOf(issue) - 1)];
                const bool sixDigits =
                    leaf.size() == 6 && std::all_of(leaf.begin(), leaf.end(),
                                                    [](char c) { return c >= '0' && c <= '9'; });
                return sixDigits ? leaf : std::string();
            }
        }
        return {};
    }
    const std::string& name() const { return source_.name; }

  private:
    const FinalValueSource& source_;
};

using LeafRule = std::function<bool(MonthIndex issue, std::string& leaf)>;

// A series that only has final values in the window: E and savings notes.
LeafRule maturedOnly(const std::string& series, MonthIndex first, MonthIndex last,
                     MonthIndex redemption, const FinalValues& finals, std::string* error) {
    return [=, &finals](MonthIndex issue, std::string& leaf) {
        if (issue < first || issue > last) {
            leaf = kNotIssued;
            return true;
        }
        if (!hasMatured(series, issue, redemption)) {
            leaf = kUnknownValueLeaf;
            return true;
        }
        leaf = finals.leaf(series, issue);
        if (leaf.empty() && error != nullptr) {
            *error = finals.name() + " has no final value for series " + series + " issued " +
                     digits(yearOf(issue), 4) + "-" + digits(monthOf(issue), 2);
        }
        return !leaf.empty();
    };
}

std::string computedLeaf(const RedemptionValue& value) {
    switch (value.kind) {
    case RedemptionValue::Kind::NotIssued:
        return std::string(kNotIssued);
    case RedemptionValue::Kind::NotPayable:
        return std::string(kNoPayLeaf);
    case RedemptionValue::Kind::Unknown:
        return std::string(kUnknownValueLeaf);
    case RedemptionValue::Kind::Value:
        break;
    }
    return digits(value.cents, 6);
}

// One line per issue year, newest first as in the official files.
bool addLines(const std::string& series, int firstYear, int lastYear, MonthIndex redemption,
              const LeafRule& rule, std::vector<ValueFileLine>& lines) {
    for (int year = std::min(lastYear, yearOf(redemption)); year >= firstYear; --year) {
        ValueFileLine line;
        line.series = series;
        line.redemptionYear = digits(yearOf(redemption), 4);
        line.redemptionMonth = digits(monthOf(redemption), 2);
        line.issueYear = digits(year, 4);
        bool anyKnown = false;
        for (int month = 1; month <= 12; ++month) {
            std::string& leaf = line.leaves[static_cast<std::size_t>(month - 1)];
            if (!rule(monthIndex(year, month), leaf)) {
                return false;
            }
            anyKnown = anyKnown || leaf != kUnknownValueLeaf;
        }
        // An issue year with nothing known adds nothing to the table.
        if (anyKnown) {
            lines.push_back(std::move(line));
        }
    }
    return true;
}

} // namespace

bool buildTableLines(const BondRates& rates, const FinalValueSource& finalValues, MonthIndex first,
                     MonthIndex last, std::vector<ValueFileLine>& lines, std::string* error) {
    const FinalValues finals(finalValues);
    for (MonthIndex redemption = first; redemption <= last; ++redemption) {
        const LeafRule eRule = maturedOnly("E", kFirstE, kLastE, redemption, finals, error);
        const LeafRule sRule = maturedOnly("S", kFirstS, kLastS, redemption, finals, error);
        const LeafRule eeRule = [&](MonthIndex issue, std::string& leaf) {
            if (issue <= redemption && hasMatured("EE", issue, redemption)) {
                leaf = finals.leaf("EE", issue);
                if (leaf.empty() && error != nullptr) {
                    *error = finals.name() + " has no final value for series EE issued " +
                             digits(yearOf(issue), 4) + "-" + digits(monthOf(issue), 2);
                }
                return !leaf.empty();
            }
            leaf =
                issue < kFirstEE
                    ? std::string(kNotIssued)
                    : computedLeaf(redemptionValue(rates, ComputedSeries::EE, issue, redemption));
            return true;
        };
        const LeafRule iRule = [&](MonthIndex issue, std::string& leaf) {
            leaf = computedLeaf(redemptionValue(rates, ComputedSeries::I, issue, redemption));
            return true;
        };
        const int now = yearOf(redemption);
        if (!addLines("E", yearOf(kFirstE), yearOf(kLastE), redemption, eRule, lines) ||
            !addLines("S", yearOf(kFirstS), yearOf(kLastS), redemption, sRule, lines) ||
            !addLines("EE", yearOf(kFirstEE), now, redemption, eeRule, lines) ||
            !addLines("I", yearOf(kFirstI), now, redemption, iRule, lines)) {
            return false;
        }
    }
    return true;
}

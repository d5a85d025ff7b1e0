#include "TableLines.h"

#include "TableSeries.h"
#include "ValueEngine.h"
#include "valuation/ValueTable.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <tuple>

namespace {

constexpr std::string_view kNotIssued = "      ";

std::string digits(long long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

// A bond reaches its final value in the month of final maturity itself: in the official 2016
// file an EE bond of July 1986 is worth 56.53 in June 2016 and its final 57.66 from July 2016.
bool hasMatured(BondSeries series, YearMonth issue, YearMonth redemption) {
    return finalMaturityMonth(series, issue) <= redemption;
}

YearMonth monthOfLine(const ValueFileLine& line) {
    return {std::stoi(line.redemptionYear), std::stoi(line.redemptionMonth)};
}

// The line's key: its redemption month, series and issue year; nothing for a series the table
// does not hold (the value file reader gives none).
using LineKey = std::tuple<YearMonth, BondSeries, int>;
std::optional<LineKey> keyOfLine(const ValueFileLine& line) {
    const std::optional<BondSeries> series = bondSeriesOfName(line.series);
    if (!series) {
        return std::nullopt;
    }
    return LineKey{monthOfLine(line), *series, std::stoi(line.issueYear)};
}

const std::string& leafOfIssue(const ValueFileLine& line, YearMonth issue) {
    return line.leaves[static_cast<std::size_t>(issue.month - 1)];
}

bool isSixDigits(const std::string& leaf) {
    return leaf.size() == 6 &&
           std::all_of(leaf.begin(), leaf.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The official file's lines, found by redemption month, series and issue year.
class OfficialLines {
  public:
    explicit OfficialLines(const OfficialValueFile& file) : name_(file.name) {
        for (const ValueFileLine& line : file.lines) {
            const YearMonth month = monthOfLine(line);
            if (const std::optional<LineKey> key = keyOfLine(line)) {
                byKey_[*key] = &line;
            }
            byMonth_[month].push_back(&line);
            last_ = std::max(last_, month);
        }
    }
    YearMonth lastMonth() const { return last_; }
    const std::string& name() const { return name_; }
    const std::vector<const ValueFileLine*>* linesOf(YearMonth redemption) const {
        const auto found = byMonth_.find(redemption);
        return found == byMonth_.end() ? nullptr : &found->second;
    }
    const ValueFileLine* line(const LineKey& key) const {
        const auto found = byKey_.find(key);
        return found == byKey_.end() ? nullptr : found->second;
    }
    // The six-digit leaf at `redemption`; empty when the file has none.
    std::string leaf(YearMonth redemption, BondSeries series, YearMonth issue) const {
        const ValueFileLine* found = line({redemption, series, issue.year});
        if (found == nullptr) {
            return {};
        }
        const std::string& leaf = leafOfIssue(*found, issue);
        return isSixDigits(leaf) ? leaf : std::string();
    }

  private:
    std::string name_;
    YearMonth last_;
    std::map<LineKey, const ValueFileLine*> byKey_;
    std::map<YearMonth, std::vector<const ValueFileLine*>> byMonth_;
};

using LeafRule = std::function<bool(YearMonth issue, std::string& leaf)>;

// The final value of a bond that reached final maturity by the official file's last month, from
// that month; false, with `error`, when the file lacks it.
bool finalLeaf(const OfficialLines& official, BondSeries series, YearMonth issue, std::string& leaf,
               std::string* error) {
    leaf = official.leaf(official.lastMonth(), series, issue);
    if (leaf.empty() && error != nullptr) {
        *error = official.name() + " has no final value for series " +
                 std::string(bondSeriesName(series)) + " issued " + issue.keyText();
    }
    return !leaf.empty();
}

std::string amountText(long long cents) {
    return std::to_string(cents / 100) + "." + digits(cents % 100, 2);
}

// A series known by its final values and, for Series E, by the last extension of its latest
// issues: E and savings notes.
LeafRule maturedOnly(const BondRates& rates, BondSeries series, YearMonth redemption,
                     const OfficialLines& official, std::string* error) {
    const IssueMonths issued = issueMonthsOf(series, redemption);
    return [=, &rates, &official](YearMonth issue, std::string& leaf) {
        if (issue < issued.first || issue > issued.last) {
            leaf = kNotIssued;
            return true;
        }
        if (!hasMatured(series, issue, redemption)) {
            const std::optional<long long> extended =
                series == BondSeries::E ? lastExtensionValueCents(rates, BondSeries::E, issue,
                                                                  redemption.monthsSince(issue))
                                        : std::nullopt;
            leaf = extended ? digits(*extended, 6) : std::string(kUnknownValueLeaf);
            return true;
        }
        return finalLeaf(official, series, issue, leaf, error);
    };
}

// Every official EE value of data/ee_published_values.tsv, from the rules alone.
bool reproducesPublishedValues(const BondRates& rates, std::string* error) {
    for (const PublishedEEValue& published : rates.eePublishedValues) {
        for (YearMonth issue = published.firstIssue; issue <= published.lastIssue;
             issue = issue.plusMonths(1)) {
            const std::optional<long long> cents =
                earlyEEValueCents(rates, issue, published.ageMonths);
            if (cents && 4 * *cents == published.centsPer100) {
                continue;
            }
            if (error != nullptr) {
                *error = "series EE issued " + issue.keyText() + ", " +
                         std::to_string(published.ageMonths) + " months after issue (" +
                         issue.plusMonths(published.ageMonths).keyText() + "): the rules give " +
                         (cents ? amountText(4 * *cents) + " per $100 (" + amountText(*cents) +
                                      " per $25)"
                                : std::string("no value")) +
                         ", the official value is " + amountText(published.centsPer100) +
                         " per $100 (" + published.whereRead + ")";
            }
            return false;
        }
    }
    return true;
}

// Every last extension ends at the official final value of each of its issue months, in each
// rounding the data give a base for.
bool reproducesFinalValues(const BondRates& rates, const OfficialLines& official,
                           std::string* error) {
    for (const LastExtensionBase& base : rates.lastExtensionBases) {
        const std::string series(bondSeriesName(base.series));
        for (YearMonth issue = base.firstIssue; issue <= base.lastIssue;
             issue = issue.plusMonths(1)) {
            const std::string leaf = official.leaf(official.lastMonth(), base.series, issue);
            for (const bool halfUp : {false, true}) {
                const std::optional<long long> final = lastExtensionFinalCents(base, halfUp);
                if (!final || digits(*final, 6) == leaf) {
                    continue;
                }
                if (error != nullptr) {
                    *error = "series " + series + " issued " + issue.keyText() +
                             ": its last extension from " +
                             amountText(halfUp ? *base.halfUpCents : base.roundUpCents) +
                             (halfUp ? " rounded half up" : " rounded up") + " ends at " +
                             amountText(*final) + ", " + official.name() + " gives \"" + leaf +
                             "\"";
                }
                return false;
            }
        }
    }
    return true;
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
bool addLines(BondSeries series, YearMonth redemption, const LeafRule& rule,
              std::vector<ValueFileLine>& lines) {
    const IssueMonths issued = issueMonthsOf(series, redemption);
    for (int year = std::min(issued.last.year, redemption.year); year >= issued.first.year;
         --year) {
        ValueFileLine line;
        line.series = bondSeriesName(series);
        line.redemptionYear = digits(redemption.year, 4);
        line.redemptionMonth = digits(redemption.month, 2);
        line.issueYear = digits(year, 4);
        bool anyKnown = false;
        for (int month = 1; month <= 12; ++month) {
            std::string& leaf = line.leaves[static_cast<std::size_t>(month - 1)];
            if (!rule(YearMonth{year, month}, leaf)) {
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

// How the leaves of `series` are found for one redemption month.
LeafRule leafRuleOf(const BondRates& rates, BondSeries series, YearMonth redemption,
                    const OfficialLines& official, std::string* error) {
    switch (series) {
    case BondSeries::E:
    case BondSeries::S:
        return maturedOnly(rates, series, redemption, official, error);
    case BondSeries::EE:
        return [&rates, &official, redemption, error](YearMonth issue, std::string& leaf) {
            if (issue < rulesOfSeries(BondSeries::EE).firstIssue) {
                leaf = kNotIssued;
                return true;
            }
            // Final values of the earliest EE that matured by the official file's last month are
            // known from it; before final maturity their last extension's rule gives the value.
            if (eeRulesOf(issue) == EERules::BeforeMinimumPath &&
                hasMatured(BondSeries::EE, issue, redemption) &&
                hasMatured(BondSeries::EE, issue, official.lastMonth())) {
                return finalLeaf(official, BondSeries::EE, issue, leaf, error);
            }
            leaf = computedLeaf(redemptionValue(rates, BondSeries::EE, issue, redemption));
            return true;
        };
    case BondSeries::I:
        return [&rates, redemption](YearMonth issue, std::string& leaf) {
            leaf = computedLeaf(redemptionValue(rates, BondSeries::I, issue, redemption));
            return true;
        };
    }
    return {};
}

// The lines the rules give for one redemption month.
bool computedLines(const BondRates& rates, const OfficialLines& official, YearMonth redemption,
                   std::vector<ValueFileLine>& lines, std::string* error) {
    for (const BondSeries series : kTableSeriesOrder) {
        if (!addLines(series, redemption, leafRuleOf(rates, series, redemption, official, error),
                      lines)) {
            return false;
        }
    }
    return true;
}

// Every leaf the rules give for a month of the official file must be the official one.
bool matchesOfficial(const std::vector<ValueFileLine>& computed, const OfficialLines& official,
                     YearMonth redemption, std::string* error) {
    for (const ValueFileLine& line : computed) {
        const std::optional<LineKey> key = keyOfLine(line);
        const ValueFileLine* published = key ? official.line(*key) : nullptr;
        for (std::size_t m = 0; m < 12; ++m) {
            if (line.leaves[m] == kUnknownValueLeaf ||
                (published != nullptr && published->leaves[m] == line.leaves[m])) {
                continue;
            }
            if (error != nullptr) {
                *error = "series " + line.series + " issued " + line.issueYear + "-" +
                         digits(static_cast<long long>(m) + 1, 2) + " at " + redemption.keyText() +
                         ": the rules give \"" + line.leaves[m] + "\", " + official.name() + " \"" +
                         (published != nullptr ? published->leaves[m] : "(no line)") + "\"";
            }
            return false;
        }
    }
    return true;
}

} // namespace

bool buildTableLines(const BondRates& rates, const OfficialValueFile& officialFile, YearMonth first,
                     YearMonth last, std::vector<ValueFileLine>& lines, std::string* error) {
    const OfficialLines official(officialFile);
    if (!reproducesPublishedValues(rates, error) ||
        !reproducesFinalValues(rates, official, error)) {
        return false;
    }
    for (YearMonth redemption = first; redemption <= last; redemption = redemption.plusMonths(1)) {
        std::vector<ValueFileLine> computed;
        if (!computedLines(rates, official, redemption, computed, error)) {
            return false;
        }
        const std::vector<const ValueFileLine*>* published = official.linesOf(redemption);
        if (published == nullptr) {
            std::move(computed.begin(), computed.end(), std::back_inserter(lines));
            continue;
        }
        if (!matchesOfficial(computed, official, redemption, error)) {
            return false;
        }
        for (const ValueFileLine* line : *published) {
            lines.push_back(*line);
        }
    }
    return matchesFinalValues(lines, rates.eeFinalValuesByIssue, first, last, error);
}

namespace {

// The lines by redemption month, series and issue year.
class LineIndex {
  public:
    explicit LineIndex(const std::vector<ValueFileLine>& lines) {
        for (const ValueFileLine& line : lines) {
            if (const std::optional<LineKey> key = keyOfLine(line)) {
                byKey_[*key] = &line;
            }
        }
    }
    // The leaf of a bond issued in `issue`; empty when no line holds it.
    std::string leaf(YearMonth redemption, BondSeries series, YearMonth issue) const {
        const auto found = byKey_.find({redemption, series, issue.year});
        return found == byKey_.end() ? std::string() : leafOfIssue(*found->second, issue);
    }

  private:
    std::map<LineKey, const ValueFileLine*> byKey_;
};

struct Share {
    int valued = 0;
    int pairs = 0;
};

std::string shareText(const Share& share) {
    char text[64];
    // Rounded down, so that only a full share reads 100%.
    std::snprintf(text, sizeof text, "%d of %d (%d%%)", share.valued, share.pairs,
                  share.pairs == 0 ? 0 : share.valued * 100 / share.pairs);
    return text;
}

} // namespace

bool matchesFinalValues(const std::vector<ValueFileLine>& lines,
                        const std::map<YearMonth, PublishedFinalValue>& finals, YearMonth first,
                        YearMonth last, std::string* error) {
    const LineIndex index(lines);
    for (const auto& [issue, final] : finals) {
        const std::string expected = digits(final.cents, 6);
        for (YearMonth month = std::max(first, final.finalMaturity); month <= last;
             month = month.plusMonths(1)) {
            const std::string leaf = index.leaf(month, BondSeries::EE, issue);
            if (leaf != expected) {
                if (error != nullptr) {
                    *error = "series EE issued " + issue.keyText() + " at " + month.keyText() +
                             ": the table holds \"" + leaf + "\", its published final value is \"" +
                             expected + "\"";
                }
                return false;
            }
        }
    }
    return true;
}

std::string coverageText(const std::vector<ValueFileLine>& lines, YearMonth first, YearMonth last) {
    const LineIndex index(lines);
    constexpr int kBandYears = 5;
    std::string text = "| Series | Issued | Pairs with a value, " + first.keyText() + " to " +
                       last.keyText() + " | Issue months with a value in " + last.keyText() +
                       " |\n| --- | --- | --- | --- |\n";
    for (const BondSeries series : kTableSeriesOrder) {
        const IssueMonths issued = issueMonthsOf(series, last);
        for (int band = issued.first.year / kBandYears * kBandYears; band <= issued.last.year;
             band += kBandYears) {
            const YearMonth bandFirst = std::max(issued.first, YearMonth{band, 1});
            const YearMonth bandLast = std::min(issued.last, YearMonth{band + kBandYears - 1, 12});
            Share whole;
            Share latest;
            for (YearMonth redemption = first; redemption <= last;
                 redemption = redemption.plusMonths(1)) {
                for (YearMonth issue = bandFirst; issue <= std::min(bandLast, redemption);
                     issue = issue.plusMonths(1)) {
                    const std::string leaf = index.leaf(redemption, series, issue);
                    const int valued = isSixDigits(leaf) || leaf == kNoPayLeaf ? 1 : 0;
                    whole.valued += valued;
                    ++whole.pairs;
                    if (redemption == last) {
                        latest.valued += valued;
                        ++latest.pairs;
                    }
                }
            }
            text += "| " + std::string(bondSeriesName(series)) + " | " +
                    std::to_string(bandFirst.year) + "-" + std::to_string(bandLast.year) + " | " +
                    shareText(whole) + " | " + shareText(latest) + " |\n";
        }
    }
    return text;
}

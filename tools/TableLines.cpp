#include "TableLines.h"

#include "SeriesIssueMonths.h"
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

// EE issued November 1982 - April 1995 follow the guaranteed-minimum path, May 1995 - April 1997
// the long-term rate (ValueEngine.h); earlier issues have values here only past final maturity.
constexpr MonthIndex kFirstMinimumPathEE = monthIndex(1982, 11);

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

MonthIndex monthOfLine(const ValueFileLine& line) {
    return monthIndex(std::stoi(line.redemptionYear), std::stoi(line.redemptionMonth));
}

bool isSixDigits(const std::string& leaf) {
    return leaf.size() == 6 &&
           std::all_of(leaf.begin(), leaf.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string monthText(MonthIndex month) {
    return digits(yearOf(month), 4) + "-" + digits(monthOf(month), 2);
}

// The official file's lines, found by redemption month, series and issue year.
class OfficialLines {
  public:
    explicit OfficialLines(const OfficialValueFile& file) : name_(file.name) {
        for (const ValueFileLine& line : file.lines) {
            const MonthIndex month = monthOfLine(line);
            byKey_[{month, line.series, std::stoi(line.issueYear)}] = &line;
            byMonth_[month].push_back(&line);
            last_ = std::max(last_, month);
        }
    }
    MonthIndex lastMonth() const { return last_; }
    const std::string& name() const { return name_; }
    const std::vector<const ValueFileLine*>* linesOf(MonthIndex redemption) const {
        const auto found = byMonth_.find(redemption);
        return found == byMonth_.end() ? nullptr : &found->second;
    }
    const ValueFileLine* line(MonthIndex redemption, const std::string& series, int year) const {
        const auto found = byKey_.find({redemption, series, year});
        return found == byKey_.end() ? nullptr : found->second;
    }
    // The six-digit leaf at `redemption`; empty when the file has none.
    std::string leaf(MonthIndex redemption, const std::string& series, MonthIndex issue) const {
        const ValueFileLine* found = line(redemption, series, yearOf(issue));
        if (found == nullptr) {
            return {};
        }
        const std::string& leaf = found->leaves[static_cast<std::size_t>(monthOf(issue) - 1)];
        return isSixDigits(leaf) ? leaf : std::string();
    }

  private:
    std::string name_;
    MonthIndex last_ = 0;
    std::map<std::tuple<MonthIndex, std::string, int>, const ValueFileLine*> byKey_;
    std::map<MonthIndex, std::vector<const ValueFileLine*>> byMonth_;
};

using LeafRule = std::function<bool(MonthIndex issue, std::string& leaf)>;

// The final value of a bond that reached final maturity by the official file's last month, from
// that month; false, with `error`, when the file lacks it.
bool finalLeaf(const OfficialLines& official, const std::string& series, MonthIndex issue,
               std::string& leaf, std::string* error) {
    leaf = official.leaf(official.lastMonth(), series, issue);
    if (leaf.empty() && error != nullptr) {
        *error = official.name() + " has no final value for series " + series + " issued " +
                 monthText(issue);
    }
    return !leaf.empty();
}

std::string amountText(long long cents) {
    return std::to_string(cents / 100) + "." + digits(cents % 100, 2);
}

// A series known by its final values and, for Series E, by the last extension of its latest
// issues: E and savings notes.
LeafRule maturedOnly(const BondRates& rates, const std::string& series, MonthIndex first,
                     MonthIndex last, MonthIndex redemption, const OfficialLines& official,
                     std::string* error) {
    return [=, &rates, &official](MonthIndex issue, std::string& leaf) {
        if (issue < first || issue > last) {
            leaf = kNotIssued;
            return true;
        }
        if (!hasMatured(series, issue, redemption)) {
            const std::optional<long long> extended =
                series == "E"
                    ? lastExtensionValueCents(rates, ExtendedSeries::E, issue, redemption - issue)
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
        for (MonthIndex issue = published.firstIssue; issue <= published.lastIssue; ++issue) {
            const std::optional<long long> cents =
                earlyEEValueCents(rates, issue, published.ageMonths);
            if (cents && 4 * *cents == published.centsPer100) {
                continue;
            }
            if (error != nullptr) {
                *error = "series EE issued " + monthText(issue) + ", " +
                         std::to_string(published.ageMonths) + " months after issue (" +
                         monthText(issue + published.ageMonths) + "): the rules give " +
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
        const std::string series = base.series == ExtendedSeries::E ? "E" : "EE";
        for (MonthIndex issue = base.firstIssue; issue <= base.lastIssue; ++issue) {
            const std::string leaf = official.leaf(official.lastMonth(), series, issue);
            for (const bool halfUp : {false, true}) {
                const std::optional<long long> final = lastExtensionFinalCents(base, halfUp);
                if (!final || digits(*final, 6) == leaf) {
                    continue;
                }
                if (error != nullptr) {
                    *error = "series " + series + " issued " + monthText(issue) +
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

// The lines the rules give for one redemption month.
bool computedLines(const BondRates& rates, const OfficialLines& official, MonthIndex redemption,
                   std::vector<ValueFileLine>& lines, std::string* error) {
    const LeafRule eRule = maturedOnly(rates, "E", kFirstE, kLastE, redemption, official, error);
    const LeafRule sRule = maturedOnly(rates, "S", kFirstS, kLastS, redemption, official, error);
    const LeafRule eeRule = [&](MonthIndex issue, std::string& leaf) {
        if (issue < kFirstEE) {
            leaf = kNotIssued;
            return true;
        }
        // Final values of the earliest EE that matured by the official file's last month are
        // known from it; before final maturity their last extension's rule gives the value.
        if (issue < kFirstMinimumPathEE && hasMatured("EE", issue, redemption) &&
            hasMatured("EE", issue, official.lastMonth())) {
            return finalLeaf(official, "EE", issue, leaf, error);
        }
        leaf = computedLeaf(redemptionValue(rates, ComputedSeries::EE, issue, redemption));
        return true;
    };
    const LeafRule iRule = [&](MonthIndex issue, std::string& leaf) {
        leaf = computedLeaf(redemptionValue(rates, ComputedSeries::I, issue, redemption));
        return true;
    };
    const int now = yearOf(redemption);
    return addLines("E", yearOf(kFirstE), yearOf(kLastE), redemption, eRule, lines) &&
           addLines("S", yearOf(kFirstS), yearOf(kLastS), redemption, sRule, lines) &&
           addLines("EE", yearOf(kFirstEE), now, redemption, eeRule, lines) &&
           addLines("I", yearOf(kFirstI), now, redemption, iRule, lines);
}

// Every leaf the rules give for a month of the official file must be the official one.
bool matchesOfficial(const std::vector<ValueFileLine>& computed, const OfficialLines& official,
                     MonthIndex redemption, std::string* error) {
    for (const ValueFileLine& line : computed) {
        const ValueFileLine* published =
            official.line(redemption, line.series, std::stoi(line.issueYear));
        for (std::size_t m = 0; m < 12; ++m) {
            if (line.leaves[m] == kUnknownValueLeaf ||
                (published != nullptr && published->leaves[m] == line.leaves[m])) {
                continue;
            }
            if (error != nullptr) {
                *error = "series " + line.series + " issued " + line.issueYear + "-" +
                         digits(static_cast<long long>(m) + 1, 2) + " at " + monthText(redemption) +
                         ": the rules give \"" + line.leaves[m] + "\", " + official.name() + " \"" +
                         (published != nullptr ? published->leaves[m] : "(no line)") + "\"";
            }
            return false;
        }
    }
    return true;
}

} // namespace

bool buildTableLines(const BondRates& rates, const OfficialValueFile& officialFile,
                     MonthIndex first, MonthIndex last, std::vector<ValueFileLine>& lines,
                     std::string* error) {
    const OfficialLines official(officialFile);
    if (!reproducesPublishedValues(rates, error) ||
        !reproducesFinalValues(rates, official, error)) {
        return false;
    }
    for (MonthIndex redemption = first; redemption <= last; ++redemption) {
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
            byKey_[{monthOfLine(line), line.series, std::stoi(line.issueYear)}] = &line;
        }
    }
    // The leaf of a bond issued in `issue`; empty when no line holds it.
    std::string leaf(MonthIndex redemption, const std::string& series, MonthIndex issue) const {
        const auto found = byKey_.find({redemption, series, yearOf(issue)});
        return found == byKey_.end()
                   ? std::string()
                   : found->second->leaves[static_cast<std::size_t>(monthOf(issue) - 1)];
    }

  private:
    std::map<std::tuple<MonthIndex, std::string, int>, const ValueFileLine*> byKey_;
};

struct SeriesSpan {
    std::string name;
    MonthIndex first;
    MonthIndex last; // the last issue month, or none yet
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
                        const std::map<MonthIndex, PublishedFinalValue>& finals, MonthIndex first,
                        MonthIndex last, std::string* error) {
    const LineIndex index(lines);
    for (const auto& [issue, final] : finals) {
        const std::string expected = digits(final.cents, 6);
        for (MonthIndex month = std::max(first, final.finalMaturity); month <= last; ++month) {
            const std::string leaf = index.leaf(month, "EE", issue);
            if (leaf != expected) {
                if (error != nullptr) {
                    *error = "series EE issued " + monthText(issue) + " at " + monthText(month) +
                             ": the table holds \"" + leaf + "\", its published final value is \"" +
                             expected + "\"";
                }
                return false;
            }
        }
    }
    return true;
}

std::string coverageText(const std::vector<ValueFileLine>& lines, MonthIndex first,
                         MonthIndex last) {
    const LineIndex index(lines);
    const std::vector<SeriesSpan> all = {{"E", kFirstE, kLastE},
                                         {"S", kFirstS, kLastS},
                                         {"EE", kFirstEE, last},
                                         {"I", kFirstI, last}};
    constexpr int kBandYears = 5;
    std::string text = "| Series | Issued | Pairs with a value, " + monthText(first) + " to " +
                       monthText(last) + " | Issue months with a value in " + monthText(last) +
                       " |\n| --- | --- | --- | --- |\n";
    for (const SeriesSpan& series : all) {
        for (int band = yearOf(series.first) / kBandYears * kBandYears; band <= yearOf(series.last);
             band += kBandYears) {
            const MonthIndex bandFirst = std::max(series.first, monthIndex(band, 1));
            const MonthIndex bandLast =
                std::min(series.last, monthIndex(band + kBandYears - 1, 12));
            Share whole;
            Share latest;
            for (MonthIndex redemption = first; redemption <= last; ++redemption) {
                for (MonthIndex issue = bandFirst; issue <= std::min(bandLast, redemption);
                     ++issue) {
                    const std::string leaf = index.leaf(redemption, series.name, issue);
                    const int valued = isSixDigits(leaf) || leaf == kNoPayLeaf ? 1 : 0;
                    whole.valued += valued;
                    ++whole.pairs;
                    if (redemption == last) {
                        latest.valued += valued;
                        ++latest.pairs;
                    }
                }
            }
            text += "| " + series.name + " | " + std::to_string(yearOf(bandFirst)) + "-" +
                    std::to_string(yearOf(bandLast)) + " | " + shareText(whole) + " | " +
                    shareText(latest) + " |\n";
        }
    }
    return text;
}

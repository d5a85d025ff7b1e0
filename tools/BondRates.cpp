#include "BondRates.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// Single secondary sources whose figures for other periods match official values (see
// data/README.md), named as the where-read column starts.
constexpr std::array<std::string_view, 3> kCheckedSingleSources = {"depositaccounts", "rates.csv",
                                                                   "SafeRate store"};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// Reads a tab-separated data file, passing each line that is not blank or a '#' comment to
// `readRow` with its fields and "FILE, line N"; stops at the first row `readRow` refuses (it sets
// the error).
template <typename ReadRow>
bool readDataRows(const std::filesystem::path& path, std::string* error, ReadRow readRow) {
    std::ifstream in(path);
    if (!in) {
        *error = path.string() + ": cannot be read";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (!readRow(splitTabs(line),
                     path.filename().string() + ", line " + std::to_string(number))) {
            return false;
        }
    }
    return true;
}

// The rate of one row: `rateText` and its `status` as the data files write them, "not found"
// twice where no source gave it. False, with `problem`, for a rate of any other form or status.
bool readRate(const std::string& rateText, const std::string& status, const std::string& whereRead,
              PublishedRate& rate, std::string& problem) {
    rate = {parseHundredthsOfPercent(rateText), status, false};
    const bool notFound = rateText == "not found" && status == "not found";
    if (!rate.hundredthsOfPercent && !notFound) {
        problem = "bad rate \"" + rateText + "\"";
        return false;
    }
    if (rate.hundredthsOfPercent && status == "not found") {
        problem = "a rate marked \"not found\"";
        return false;
    }
    if (rate.hundredthsOfPercent && !isUsableRate(status, whereRead)) {
        if (status.find("unconfirmed (1 secondary)") == std::string::npos) {
            problem = "unknown status \"" + status + "\"";
            return false;
        }
        rate.hundredthsOfPercent.reset();
        rate.unused = true;
    }
    return true;
}

// Reads a rate file: `periodColumns` is 2 for issue periods (first, last) and 1 for
// announcements. Lines starting with '#' are comments.
bool loadRates(const std::filesystem::path& path, int periodColumns,
               std::map<YearMonth, PublishedRate>& rates, YearMonth* lastIssue,
               std::string* error) {
    std::optional<YearMonth> expectedNext;
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            if (fields.size() != static_cast<std::size_t>(periodColumns + 3)) {
                *error = where + ": expected " + std::to_string(periodColumns + 3) + " fields";
                return false;
            }
            const std::optional<YearMonth> first = YearMonth::fromKeyText(fields[0]);
            const std::optional<YearMonth> last =
                periodColumns == 2 ? YearMonth::fromKeyText(fields[1]) : first;
            if (!first || !last || *last < *first) {
                *error = where + ": bad month";
                return false;
            }
            // Periods and announcements follow each other without gaps or overlaps, so that no
            // bond silently falls between two rows.
            const int step = periodColumns == 2 ? last->monthsSince(*first) + 1 : 6;
            if (expectedNext && *first != *expectedNext) {
                *error = where + ": does not follow the previous row";
                return false;
            }
            expectedNext = first->plusMonths(step);
            PublishedRate rate;
            std::string problem;
            if (!readRate(fields[static_cast<std::size_t>(periodColumns)],
                          fields[static_cast<std::size_t>(periodColumns + 1)], fields.back(), rate,
                          problem)) {
                *error = where + ": " + problem;
                return false;
            }
            rates[*first] = rate;
            if (lastIssue != nullptr) {
                *lastIssue = *last;
            }
            return true;
        });
    if (!read) {
        return false;
    }
    if (rates.empty()) {
        *error = path.string() + ": holds no rates";
        return false;
    }
    return true;
}

// Reads the rates of EE issued May 1995 - April 1997: announcement, short-term rate and status,
// long-term rate and status, inputs; "-" twice where a rate is not given. The long-term rates
// join `longTerm`, which already holds those of ee_long_term_rates.tsv: an announcement both
// files give must have one rate.
bool loadEarlyEERates(const std::filesystem::path& path,
                      std::map<YearMonth, PublishedRate>& shortTerm,
                      std::map<YearMonth, PublishedRate>& longTerm, std::string* error) {
    std::optional<YearMonth> expectedNext;
    const auto readOne = [&](const std::string& rateText, const std::string& status,
                             const std::string& inputs, YearMonth announcement,
                             std::map<YearMonth, PublishedRate>& rates, std::string& problem) {
        if (rateText == "-" && status == "-") {
            return true;
        }
        PublishedRate rate;
        if (!readRate(rateText, status, inputs, rate, problem)) {
            return false;
        }
        const auto [found, added] = rates.try_emplace(announcement, rate);
        if (!added && found->second.hundredthsOfPercent != rate.hundredthsOfPercent) {
            problem = "the long-term rate " + rateText + " differs from ee_long_term_rates.tsv";
            return false;
        }
        return true;
    };
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<YearMonth> announcement =
                fields.size() == 6 ? YearMonth::fromKeyText(fields[0]) : std::nullopt;
            if (!announcement || (expectedNext && *announcement != *expectedNext)) {
                *error = where + ": expected the announcement after the previous row's, two "
                                 "rates with their status, and their inputs";
                return false;
            }
            expectedNext = announcement->plusMonths(6);
            std::string problem;
            if (!readOne(fields[1], fields[2], fields[5], *announcement, shortTerm, problem) ||
                !readOne(fields[3], fields[4], fields[5], *announcement, longTerm, problem)) {
                *error = where + ": " + problem;
                return false;
            }
            return true;
        });
    if (read && shortTerm.empty()) {
        *error = path.string() + ": holds no short-term rates";
        return false;
    }
    return read;
}

// "252" -> 252; nothing unless the text is one to three digits.
std::optional<int> parseMonthCount(const std::string& text) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// "73.64" -> 7364; nothing for a negative amount or one not of that form.
std::optional<long long> parseCents(const std::string& text) {
    const std::optional<int> cents = parseHundredthsOfPercent(text);
    return cents && *cents >= 0 ? std::optional<long long>(*cents) : std::nullopt;
}

// Reads the official values: first and last issue month, age in months, value per $100, status,
// where read.
bool loadPublishedValues(const std::filesystem::path& path, std::vector<PublishedEEValue>& values,
                         std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const bool six = fields.size() == 6;
            const std::optional<YearMonth> first =
                six ? YearMonth::fromKeyText(fields[0]) : std::nullopt;
            const std::optional<YearMonth> last =
                six ? YearMonth::fromKeyText(fields[1]) : std::nullopt;
            const std::optional<int> age = six ? parseMonthCount(fields[2]) : std::nullopt;
            const std::optional<long long> cents = six ? parseCents(fields[3]) : std::nullopt;
            if (!first || !last || *last < *first || !age || !cents) {
                *error = where + ": expected the first and last issue month, an age in months, a "
                                 "value per $100, a status and where it was read";
                return false;
            }
            values.push_back({*first, *last, *age, *cents, fields[5]});
            return true;
        });
    if (read && values.empty()) {
        *error = path.string() + ": holds no values";
        return false;
    }
    return read;
}

// One row of the last extensions' bases: series, first and last issue month, the age in months
// the extension starts at, the base rounded up, the base rounded half up or "-", status, where
// read.
std::optional<LastExtensionBase> parseLastExtensionBase(const std::vector<std::string>& fields) {
    const std::optional<BondSeries> series =
        fields.size() == 8 ? bondSeriesOfName(fields[0]) : std::nullopt;
    if (series != BondSeries::E && series != BondSeries::EE) {
        return std::nullopt;
    }
    LastExtensionBase base;
    base.series = *series;
    const std::optional<YearMonth> first = YearMonth::fromKeyText(fields[1]);
    const std::optional<YearMonth> last = YearMonth::fromKeyText(fields[2]);
    const std::optional<int> fromAge = parseMonthCount(fields[3]);
    const std::optional<long long> up = parseCents(fields[4]);
    if (!first || !last || *last < *first || !fromAge || *fromAge == 0 || !up) {
        return std::nullopt;
    }
    base.firstIssue = *first;
    base.lastIssue = *last;
    base.fromAgeMonths = *fromAge;
    base.roundUpCents = *up;
    if (fields[5] != "-") {
        base.halfUpCents = parseCents(fields[5]);
        if (!base.halfUpCents) {
            return std::nullopt;
        }
    }
    return base;
}

bool loadLastExtensionBases(const std::filesystem::path& path,
                            std::vector<LastExtensionBase>& bases, std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<LastExtensionBase> base = parseLastExtensionBase(fields);
            if (!base) {
                *error = where + ": expected a series, the first and last issue month, the age in "
                                 "months the extension starts at, its base rounded up and rounded "
                                 "half up (or \"-\"), a status and where it was read";
                return false;
            }
            bases.push_back(*base);
            return true;
        });
    if (read && bases.empty()) {
        *error = path.string() + ": holds no bases";
        return false;
    }
    return read;
}

// Reads the final values: issue month, final maturity month, six-digit leaf, status, where read.
bool loadFinalValues(const std::filesystem::path& path,
                     std::map<YearMonth, PublishedFinalValue>& finals, std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<YearMonth> issue =
                fields.size() == 5 ? YearMonth::fromKeyText(fields[0]) : std::nullopt;
            const std::optional<YearMonth> maturity =
                fields.size() == 5 ? YearMonth::fromKeyText(fields[1]) : std::nullopt;
            const bool leaf = fields.size() == 5 && fields[2].size() == 6 &&
                              std::all_of(fields[2].begin(), fields[2].end(),
                                          [](char c) { return c >= '0' && c <= '9'; });
            if (!issue || !maturity || !leaf || finals.contains(*issue)) {
                *error =
                    where +
                    ": expected a new issue month, its final maturity month, a six-digit value, "
                    "a status and where it was read";
                return false;
            }
            finals[*issue] = {*maturity, std::stoll(fields[2])};
            return true;
        });
    if (!read) {
        return false;
    }
    if (finals.empty()) {
        *error = path.string() + ": holds no final values";
        return false;
    }
    return true;
}

// Reads the monthly yields: month, percent, status, where read; months in a row without gaps.
bool loadYields(const std::filesystem::path& path, std::map<YearMonth, int>& yields,
                std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<YearMonth> month =
                fields.size() == 4 ? YearMonth::fromKeyText(fields[0]) : std::nullopt;
            const std::optional<int> percent =
                fields.size() == 4 ? parseHundredthsOfPercent(fields[1]) : std::nullopt;
            if (!month || !percent || *percent < 0 ||
                (!yields.empty() && *month != yields.rbegin()->first.plusMonths(1))) {
                *error = where +
                         ": expected the month after the previous row, a yield, a status and "
                         "where it was read";
                return false;
            }
            yields[*month] = *percent;
            return true;
        });
    if (!read) {
        return false;
    }
    if (yields.empty()) {
        *error = path.string() + ": holds no yields";
        return false;
    }
    return true;
}

} // namespace

bool isUsableRate(const std::string& status, const std::string& whereRead) {
    const auto has = [&](std::string_view label) {
        return status.find(label) != std::string::npos;
    };
    if (has("official") || has("formula-derived") || has("unconfirmed (2+ secondary)")) {
        return true;
    }
    return has("unconfirmed (1 secondary)") &&
           std::any_of(kCheckedSingleSources.begin(), kCheckedSingleSources.end(),
                       [&](std::string_view source) { return whereRead.starts_with(source); });
}

const PublishedRate* publishedRateInEffect(const std::map<YearMonth, PublishedRate>& table,
                                           YearMonth key, YearMonth lastCovered) {
    if (table.empty() || key < table.begin()->first || key > lastCovered) {
        return nullptr;
    }
    auto found = table.upper_bound(key);
    --found;
    return &found->second;
}

const PublishedRate* publishedAnnouncedRate(const std::map<YearMonth, PublishedRate>& table,
                                            YearMonth announcement) {
    const auto found = table.find(announcement);
    return found == table.end() ? nullptr : &found->second;
}

std::optional<int> parseHundredthsOfPercent(const std::string& text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative ? 1 : 0;
    const std::size_t point = text.find('.');
    if (point == std::string::npos || point == i || text.size() != point + 3) {
        return std::nullopt;
    }
    int value = 0;
    for (; i < text.size(); ++i) {
        if (i == point) {
            continue;
        }
        if (text[i] < '0' || text[i] > '9' || value > 100000) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::optional<BondRates> BondRates::load(const std::filesystem::path& dataDir, std::string* error) {
    BondRates rates;
    std::string ignored;
    std::string& message = error != nullptr ? *error : ignored;
    if (!loadRates(dataDir / "i_fixed_rates.tsv", 2, rates.iFixedByIssue, &rates.iFixedLastIssue,
                   &message) ||
        !loadRates(dataDir / "ee_fixed_rates.tsv", 2, rates.eeFixedByIssue, &rates.eeFixedLastIssue,
                   &message) ||
        !loadRates(dataDir / "i_inflation_rates.tsv", 1, rates.iInflationByAnnouncement, nullptr,
                   &message) ||
        !loadRates(dataDir / "ee_market_rates.tsv", 1, rates.eeMarketByAnnouncement, nullptr,
                   &message) ||
        !loadRates(dataDir / "ee_long_term_rates.tsv", 1, rates.eeLongTermByAnnouncement, nullptr,
                   &message) ||
        !loadEarlyEERates(dataDir / "ee_1995_1997_rates.tsv", rates.eeShortTermByAnnouncement,
                          rates.eeLongTermByAnnouncement, &message) ||
        !loadFinalValues(dataDir / "ee_final_values.tsv", rates.eeFinalValuesByIssue, &message) ||
        !loadPublishedValues(dataDir / "ee_published_values.tsv", rates.eePublishedValues,
                             &message) ||
        !loadLastExtensionBases(dataDir / "last_extension_bases.tsv", rates.lastExtensionBases,
                                &message) ||
        !loadYields(dataDir / "five_year_yields.tsv", rates.fiveYearYieldByMonth, &message)) {
        return std::nullopt;
    }
    for (const auto& [announcement, rate] : rates.eeMarketByAnnouncement) {
        rates.eeMarketHighest =
            std::max(rates.eeMarketHighest, rate.hundredthsOfPercent.value_or(0));
    }
    return rates;
}

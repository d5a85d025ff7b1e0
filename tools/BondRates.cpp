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

std::optional<MonthIndex> parseMonth(const std::string& text) {
    if (text.size() != 7 || text[4] != '-') {
        return std::nullopt;
    }
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u}) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
    }
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    if (month < 1 || month > 12) {
        return std::nullopt;
    }
    return monthIndex(year, month);
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

// Reads a rate file: `periodColumns` is 2 for issue periods (first, last) and 1 for
// announcements. Lines starting with '#' are comments.
bool loadRates(const std::filesystem::path& path, int periodColumns,
               std::map<MonthIndex, PublishedRate>& rates, MonthIndex* lastIssue,
               std::string* error) {
    std::optional<MonthIndex> expectedNext;
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            if (fields.size() != static_cast<std::size_t>(periodColumns + 3)) {
                *error = where + ": expected " + std::to_string(periodColumns + 3) + " fields";
                return false;
            }
            const std::optional<MonthIndex> first = parseMonth(fields[0]);
            const std::optional<MonthIndex> last =
                periodColumns == 2 ? parseMonth(fields[1]) : first;
            const std::string& rateText = fields[static_cast<std::size_t>(periodColumns)];
            const std::string& status = fields[static_cast<std::size_t>(periodColumns + 1)];
            if (!first || !last || *last < *first) {
                *error = where + ": bad month";
                return false;
            }
            // Periods and announcements follow each other without gaps or overlaps, so that no
            // bond silently falls between two rows.
            const int step = periodColumns == 2 ? *last - *first + 1 : 6;
            if (expectedNext && *first != *expectedNext) {
                *error = where + ": does not follow the previous row";
                return false;
            }
            expectedNext = *first + step;
            PublishedRate rate{parseHundredthsOfPercent(rateText), status, false};
            const bool notFound = rateText == "not found" && status == "not found";
            if (!rate.hundredthsOfPercent && !notFound) {
                *error = where + ": bad rate \"" + rateText + "\"";
                return false;
            }
            if (rate.hundredthsOfPercent && status == "not found") {
                *error = where + ": a rate marked \"not found\"";
                return false;
            }
            if (rate.hundredthsOfPercent && !isUsableRate(status, fields.back())) {
                if (status.find("unconfirmed (1 secondary)") == std::string::npos) {
                    *error = where + ": unknown status \"" + status + "\"";
                    return false;
                }
                rate.hundredthsOfPercent.reset();
                rate.unused = true;
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

// Reads the final values: issue month, final maturity month, six-digit leaf, status, where read.
bool loadFinalValues(const std::filesystem::path& path,
                     std::map<MonthIndex, PublishedFinalValue>& finals, std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<MonthIndex> issue =
                fields.size() == 5 ? parseMonth(fields[0]) : std::nullopt;
            const std::optional<MonthIndex> maturity =
                fields.size() == 5 ? parseMonth(fields[1]) : std::nullopt;
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
bool loadYields(const std::filesystem::path& path, std::map<MonthIndex, int>& yields,
                std::string* error) {
    const bool read = readDataRows(
        path, error, [&](const std::vector<std::string>& fields, const std::string& where) {
            const std::optional<MonthIndex> month =
                fields.size() == 4 ? parseMonth(fields[0]) : std::nullopt;
            const std::optional<int> percent =
                fields.size() == 4 ? parseHundredthsOfPercent(fields[1]) : std::nullopt;
            if (!month || !percent || *percent < 0 ||
                (!yields.empty() && *month != yields.rbegin()->first + 1)) {
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

const PublishedRate* publishedRateInEffect(const std::map<MonthIndex, PublishedRate>& table,
                                           MonthIndex key, MonthIndex lastCovered) {
    if (table.empty() || key < table.begin()->first || key > lastCovered) {
        return nullptr;
    }
    auto found = table.upper_bound(key);
    --found;
    return &found->second;
}

const PublishedRate* publishedAnnouncedRate(const std::map<MonthIndex, PublishedRate>& table,
                                            MonthIndex announcement) {
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
        !loadFinalValues(dataDir / "ee_final_values.tsv", rates.eeFinalValuesByIssue, &message) ||
        !loadYields(dataDir / "five_year_yields.tsv", rates.fiveYearYieldByMonth, &message)) {
        return std::nullopt;
    }
    for (const auto& [announcement, rate] : rates.eeMarketByAnnouncement) {
        rates.eeMarketHighest =
            std::max(rates.eeMarketHighest, rate.hundredthsOfPercent.value_or(0));
    }
    return rates;
}

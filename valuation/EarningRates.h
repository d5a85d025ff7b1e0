#pragma once

// What each bond earns, as the table builder computed it from the same published rates and rules
// as the value table's values and shipped it beside the table (resource "EarningRates"): the
// annual rate of the accrual period that holds a month, how many months apart a bond's value
// grows, and the value the rules give a bond in a December in which it was not yet payable.
// The file holds, under "Months", the first and last redemption month it covers; under "Rates"
// the distinct "<percent> <status>" texts; under each series one text per issue month "YYYY-MM":
//   "<step> [Y<YYYY-MM>=<cents>] <age>:<code> ..."
// <step> is 1, 6 or ? (not known); Y the December value per $25 face while not payable; each
// <age>:<code> holds from that many months after issue on, <code> an index into "Rates", "-"
// (stopped earning) or "?" (not known). Read once into an immutable EarningRates.

#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kEarningRatesResource = "EarningRates";
inline constexpr std::string_view kEarningRatesType = "plist";

// The annual rate a bond earns in one month.
struct EarningRate {
    enum class Kind : std::uint8_t {
        NotKnown, // the data give no rate for the period
        Stopped,  // at or past final maturity: it earns nothing
        Known,
    };
    Kind kind = Kind::NotKnown;
    int hundredthsOfPercent = 0;
    // Where the rate stands: "official", "unconfirmed (2+ secondary)", ...
    std::string status;
};

class EarningRates;
using EarningRatesRef = std::shared_ptr<const EarningRates>;

class EarningRates {
  public:
    // Whether the rates cover `month`, from the first to the last month the file names: a rate and
    // the accrual dates are told only there.
    bool coversMonth(YearMonth month) const;
    // The rate of the accrual period that holds `month`; NotKnown outside the months covered.
    EarningRate rateIn(BondSeries series, YearMonth issue, YearMonth month) const;
    // Months between the dates on which the value grows (1 or 6); 0 when not known.
    int accrualStepMonths(BondSeries series, YearMonth issue) const;
    // The value per $25 face, in cents, the rules give the bond in December of `year` when it
    // was not yet payable then; nothing otherwise.
    std::optional<ValueCell> yearEndCentsWhileNotPayable(BondSeries series, YearMonth issue,
                                                         int year) const;

    // Reads the file's dictionaries into the rates (readEarningRatesFile).
    struct FileReader;

  private:
    struct Segment {
        std::int16_t fromAge = 0;
        std::int16_t code = 0; // index into the rates, or below zero
    };
    struct Issue {
        std::uint32_t firstSegment = 0;
        std::uint16_t segmentCount = 0;
        std::int8_t step = 0;
        int yearEndMonth = -1; // a month number (year * 12 + month - 1), -1: none
        ValueCell yearEndCents = kMissingCell;
    };
    struct Series {
        int firstIssue = 0; // a month number
        std::vector<Issue> issues;
    };
    const Issue* issueOf(BondSeries series, YearMonth issue) const;
    bool readIssue(BondSeries series, int issue, std::string_view text);

    int firstMonth_ = 0;
    int lastMonth_ = -1;
    std::array<Series, kBondSeriesCount> series_;
    std::vector<Segment> segments_;
    std::vector<int> rateHundredths_;
    std::vector<std::string> rateStatuses_;
};

// The rates in a property-list file; empty, with `error`, when it cannot be read or is not one.
EarningRatesRef readEarningRatesFile(const std::filesystem::path& path,
                                     std::string* error = nullptr);

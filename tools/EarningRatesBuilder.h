#pragma once

// What each bond earns, month by month, computed from the same rates and rules as its values
// (ValueEngine.h), for the resource "EarningRates" shipped beside the value table:
//   - the annual rate of the accrual period that holds the month, with its status: an I bond's
//     composite rate of its six-month period counted from the issue month; an EE bond's fixed
//     rate, market-based rate of its period, short-term or long-term rate of its period (issues
//     of May 1995 - April 1997), or guaranteed-minimum rate of its maturity period where that
//     path is its value to the next accrual; 4% in a last extension; none from final maturity
//     on; not known where the data give no rate or the market-based value counts;
//   - how many months apart its value grows (31 CFR 351.22, 351.28, 351.30, 359; savings notes
//     every half-year, 342.2; Series E in a last extension every half-year, else not known);
//   - for a bond not yet payable in a December, the value the rules give it there, from which the
//     Treasury counts the next year's interest.
//
// The property list: "Months", the first and last redemption month covered ("2009-06 2026-11");
// "Rates", an array of "<percent> <status>" texts ("2.87 official"); under
// each series ("E", "EE", "I", "S") one text per issue month keyed "YYYY-MM":
//   "<step> [Y<YYYY-MM>=<cents>] <age>:<code> ..."
// where <step> is 1, 6 or ? (not known); Y gives the December value per $25 face of a bond not
// yet payable then; each <age>:<code> holds from that many months after issue until the next,
// <code> being an index into "Rates", "-" (stopped earning) or "?" (not known). The ages cover
// the redemption months the table covers, from the issue month on.

#include "BondRates.h"
#include "platform/PlistValue.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct EarningSegment {
    int fromAge = 0;
    // An index into EarningRatesTable::rates, or one of the codes below.
    int code = 0;
};
inline constexpr int kStoppedEarning = -1;
inline constexpr int kRateNotKnown = -2;

struct IssueEarnings {
    int accrualStep = 0; // months; 0 when not known
    std::vector<EarningSegment> segments;
    std::optional<YearMonth> yearEndWhileNotPayable;
    long long yearEndCents = 0;
};

struct EarningRatesTable {
    YearMonth first;
    YearMonth last;
    std::vector<std::string> rates; // "2.87 official"
    std::map<BondSeries, std::map<YearMonth, IssueEarnings>> bySeries;
};

// Every series and issue month the table holds, over the redemption months `first` to `last`.
EarningRatesTable buildEarningRates(const BondRates& rates, YearMonth first, YearMonth last);

PlistValue earningRatesPropertyList(const EarningRatesTable& table);

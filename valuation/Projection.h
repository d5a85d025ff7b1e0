#pragma once

// Values of the months after the value table's last: projected from a month the table holds by
// the bond's own rules, with the rate it earns in that month held unchanged. Values are kept per
// $25 face, as the table keeps them:
//   - each six-month period from the issue month starts from the rounded value at its start and
//     grows to start * (1 + rate/2)^(m/6) after m whole months, rounded to the cent half up (a
//     bond that grows every six months only at the period's end);
//   - an EE bond is worth at least its face value at original maturity (17 or 20 years), and
//     grows on from there;
//   - interest stops at final maturity;
//   - before five years a bond is worth what it was three months earlier;
//   - a bond is not payable before 6 or 12 months.
// A bond the month's rates do not know, or whose value there the table lacks, has no projected
// value: a gap, never a guess.

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <vector>

// How far after the table's last month values are projected.
inline constexpr int kProjectionYears = 30;

// The last month a value of `table` can be projected to; none without months.
std::optional<YearMonth> lastProjectedMonth(const ValueTable& table);
// Whether `month` comes after the table's last month, within the projection's years.
bool isProjectedMonth(const ValueTable& table, YearMonth month);

// The projection of one bond of `series` issued in `issue` from the table's month `from`.
class BondProjection {
  public:
    BondProjection(const ValueTable& table, BondSeries series, YearMonth issue, YearMonth from);

    // The cell of a month after `from`: cents per $25 face, kNoPayCell, kInvalidCell when the
    // table calls the bond invalid, kMissingCell when it is not known.
    ValueCell cellAt(YearMonth month) const;

  private:
    // The value without penalty at `age` months, by the rules above; nothing when not known.
    std::optional<long long> valueAtAge(int age) const;
    bool readAnchor(const ValueTable& table, int periodStartAge);

    BondSeries series_;
    YearMonth issue_;
    int fromAge_ = 0;
    ValueCell fixedCell_ = kMissingCell; // the bond's cell when nothing grows any more
    bool knownBond_ = false;             // the table has a value or "NO PAY" for it
    bool grows_ = false;
    int step_ = 0;
    int finalAge_ = 0;
    int doublingAge_ = -1;
    int firstPeriodAge_ = 0; // the age of the first period start below
    std::vector<long long> periodStartCents_;
    std::vector<int> periodRates_;
};

// What a bond is worth at `month` for `table`: the table's entry for a month it holds, the
// projection from its last month for a month after it (within the projection's years);
// `projected` says which.
TableEntry valuedEntryOfBond(const ValueTable* table, const Bond& bond, YearMonth month,
                             bool* projected = nullptr);

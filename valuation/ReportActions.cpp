// What the owner may want to do about the bonds of a report, in plain sentences: cash those that
// stopped earning, wait out the penalty, wait for an EE bond's guaranteed doubling, or count on
// the interest that final maturity makes reportable.

#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <optional>

namespace {

void keepEarliest(std::optional<YearMonth>& earliest, const std::optional<YearMonth>& month) {
    if (month && (!earliest || *month < *earliest)) {
        earliest = month;
    }
}

std::string monthText(const std::optional<YearMonth>& month) {
    return month ? month->name() : std::string(kNotKnownText);
}

struct Tally {
    int count = 0;
    std::optional<YearMonth> first;
};

std::string stoppedLine(const Tally& stopped, const std::string& worth) {
    const bool one = stopped.count == 1;
    return (one ? std::string("1 bond has stopped earning interest, in ")
                : std::to_string(stopped.count) +
                      " bonds have stopped earning interest, the first in ") +
           monthText(stopped.first) + ". " + (one ? "It is worth " : "Together they are worth ") +
           worth + ": cashing " + (one ? "it" : "them") + " loses nothing.";
}

std::string penaltyLine(const Tally& penalty) {
    if (penalty.count == 1) {
        return "1 bond still carries the 3-month penalty, until " + monthText(penalty.first) + ".";
    }
    return std::to_string(penalty.count) +
           " bonds still carry the 3-month penalty; the first comes free of it in " +
           monthText(penalty.first) + ".";
}

std::string doublingLine(const Tally& doubling, const std::string& gain, int gainsKnown) {
    const bool one = doubling.count == 1;
    std::string line = one ? "1 EE bond doubles in " + monthText(doubling.first)
                           : std::to_string(doubling.count) +
                                 " EE bonds double within the next 12 months, the first in " +
                                 monthText(doubling.first);
    if (gainsKnown == 0) {
        return line + ".";
    }
    // The guarantee is a floor: the value then is at least face value.
    line +=
        std::string(one ? ": waiting until then gains at least " : ": waiting gains at least ") +
        gain;
    if (gainsKnown < doubling.count) {
        line += " on the " + std::to_string(gainsKnown) + " whose value is known";
    }
    return line + ".";
}

} // namespace

std::vector<std::string> ReportSnapshot::actionLines() const {
    Tally stopped;
    Amount stoppedWorth;
    Tally penalty;
    Tally doubling;
    Amount doublingGain;
    int doublingGainsKnown = 0;
    for (const ReportRow& row : rows) {
        const OwnerFigures& figures = row.figures;
        if (figures.status == BondStatus::Matured) {
            ++stopped.count;
            keepEarliest(stopped.first, figures.statusMonth);
            stoppedWorth += figures.cashValue;
        } else if (figures.status == BondStatus::IncludesPenalty) {
            ++penalty.count;
            keepEarliest(penalty.first, figures.statusMonth);
        }
        if (month && figures.doublesIn && figures.doublesIn->monthsSince(*month) <= 12) {
            ++doubling.count;
            keepEarliest(doubling.first, figures.doublesIn);
            if (figures.leaf == TableEntry::Kind::Value && figures.value && figures.issuePrice) {
                doublingGain += *figures.issuePrice + *figures.issuePrice - *figures.value;
                ++doublingGainsKnown;
            }
        }
    }
    std::vector<std::string> lines;
    // Amounts of a projected month carry its mark.
    const std::string mark = projected() ? std::string(kProjectedMark) : std::string();
    if (stopped.count > 0) {
        lines.push_back(stoppedLine(stopped, mark + amountText(stoppedWorth)));
    }
    if (penalty.count > 0) {
        lines.push_back(penaltyLine(penalty));
    }
    if (doubling.count > 0) {
        lines.push_back(
            doublingLine(doubling, mark + amountText(doublingGain), doublingGainsKnown));
    }
    for (const MaturityInYear& maturing : comingMaturities) {
        lines.push_back(finalMaturityLine(maturing));
    }
    return lines;
}

#include "valuation/OwnerFigures.h"

#include "platform/NumberText.h"
#include "store/BondRecord.h"
#include "valuation/ValueTable.h"

#include <charconv>
#include <cmath>

namespace {

// A count of months since year 0, so that months compare and subtract.
int monthIndex(const RedemptionMonth& month) {
    return month.year * 12 + (month.month - 1);
}

std::optional<RedemptionMonth> redemptionMonthOf(std::string_view year, std::string_view month) {
    const std::optional<int> y = fourDigitYear(year);
    if (!y || month.size() != 2 || month[0] < '0' || month[0] > '1' || month[1] < '0' ||
        month[1] > '9') {
        return std::nullopt;
    }
    const int m = (month[0] - '0') * 10 + (month[1] - '0');
    if (m < 1 || m > 12) {
        return std::nullopt;
    }
    return RedemptionMonth{*y, m};
}

const std::string* textField(const PlistDict& record, std::string_view key) {
    const PlistValue* value = record.find(key);
    return value != nullptr ? value->stringPtr() : nullptr;
}

std::optional<RedemptionMonth> issueMonthOf(const PlistDict& record) {
    const std::string* year = textField(record, kIssueYearKey);
    const std::string* month = textField(record, kIssueMonthKey);
    if (year == nullptr || month == nullptr) {
        return std::nullopt;
    }
    const std::optional<int> y = fourDigitYear(*year);
    for (std::size_t i = 0; y && i < kMonthNames.size(); ++i) {
        if (kMonthNames[i] == *month) {
            return RedemptionMonth{*y, static_cast<int>(i) + 1};
        }
    }
    return std::nullopt;
}

// Purchase price as a share of face value: E bonds 75 % (31 CFR 316), EE 50 % (paper bonds,
// 31 CFR 351.40), I at par (31 CFR 359.25), savings notes 81 % (31 CFR 342).
std::optional<double> issuePriceShare(std::string_view series) {
    if (series == "E") {
        return 0.75;
    }
    if (series == "EE") {
        return 0.5;
    }
    if (series == "I") {
        return 1.0;
    }
    if (series == "S") {
        return 0.81;
    }
    return std::nullopt;
}

// Final maturity: E bonds issued May 1941 to November 1965 run 40 years, those of December 1965
// on 30 years (31 CFR 316.8(b)); EE (31 CFR 351.5), I (31 CFR 359.5) and savings notes run 30.
RedemptionMonth finalMaturityOf(std::string_view series, const RedemptionMonth& issue) {
    const bool fortyYears = series == "E" && monthIndex(issue) < monthIndex({1965, 12});
    return {issue.year + (fortyYears ? 40 : 30), issue.month};
}

// EE and I bonds issued May 1997 or later lose the last three months of interest when cashed
// before five years (31 CFR 351.31, 351.35(e), 359.7); the table's values already include it.
bool carriesPenalty(std::string_view series, const RedemptionMonth& issue, int monthsHeld) {
    return (series == "EE" || series == "I") && monthIndex(issue) >= monthIndex({1997, 5}) &&
           monthsHeld < 60;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::string fourDigits(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 4) {
        digits.insert(0, 4 - digits.size(), '0');
    }
    return digits;
}

// The bond's value at a month where the table holds a payable value for it.
std::optional<double> payableValueAt(const PlistDict* table, const PlistValue& bond,
                                     std::string_view year, std::string_view month) {
    const std::string* leaf = tableLeafForBond(table, bond, year, month);
    if (leaf == nullptr || *leaf == kInvalidLeaf || *leaf == kNoPayLeaf) {
        return std::nullopt;
    }
    return valueOfBond(table, bond, year, month);
}

BondStatus statusOf(const std::string* leaf, bool matured, bool penalty) {
    if (leaf == nullptr || *leaf == kInvalidLeaf) {
        return BondStatus::NoValue;
    }
    if (*leaf == kNoPayLeaf) {
        return BondStatus::NotYetPayable;
    }
    if (matured) {
        return BondStatus::Matured;
    }
    return penalty ? BondStatus::IncludesPenalty : BondStatus::Earning;
}

} // namespace

std::string_view bondStatusText(BondStatus status) {
    switch (status) {
    case BondStatus::Earning:
        return "";
    case BondStatus::Matured:
        return "matured";
    case BondStatus::NotYetPayable:
        return "not yet payable";
    case BondStatus::IncludesPenalty:
        return "includes 3-month penalty";
    case BondStatus::NotIssuedYet:
        return "not issued yet";
    case BondStatus::NoValue:
        return "no value";
    case BondStatus::NotKnown:
        break;
    }
    return kNotKnownText;
}

OwnerFigures ownerFiguresOfBond(const PlistDict* table, const PlistValue& bond,
                                std::string_view redemptionYear, std::string_view redemptionMonth) {
    OwnerFigures figures;
    const PlistDict* record = bond.dictPtr();
    if (record == nullptr) {
        return figures;
    }
    const std::string* series = textField(*record, kTypeKey);
    const PlistValue* faceField = record->find(kFaceValueKey);
    const double face = faceField != nullptr ? doubleValueOf(*faceField) : 0.0;
    const std::optional<double> share = series != nullptr ? issuePriceShare(*series) : std::nullopt;
    if (share && face > 0.0 && std::isfinite(face)) {
        figures.issuePrice = face * *share;
    }
    const std::optional<RedemptionMonth> issue = issueMonthOf(*record);
    const std::optional<RedemptionMonth> redemption =
        redemptionMonthOf(redemptionYear, redemptionMonth);
    if (!share || !issue) {
        return figures;
    }
    figures.finalMaturity = finalMaturityOf(*series, *issue);
    if (!redemption) {
        return figures;
    }
    const int monthsHeld = monthIndex(*redemption) - monthIndex(*issue);
    if (monthsHeld < 0) {
        figures.status = BondStatus::NotIssuedYet;
        return figures;
    }
    const bool matured = monthIndex(*redemption) >= monthIndex(*figures.finalMaturity);
    const std::string* leaf = tableLeafForBond(table, bond, redemptionYear, redemptionMonth);
    figures.status = statusOf(leaf, matured, carriesPenalty(*series, *issue, monthsHeld));
    const std::optional<double> value =
        payableValueAt(table, bond, redemptionYear, redemptionMonth);
    if (!value) {
        return figures;
    }
    figures.cashValue = *value;
    if (!figures.issuePrice) {
        return figures;
    }
    const double price = *figures.issuePrice;
    figures.interest = *value - price;

    // For the year's interest, December of the year before; a bond issued this year starts
    // from its price.
    const std::optional<double> yearStart =
        issue->year == redemption->year
            ? std::optional<double>(price)
            : payableValueAt(table, bond, fourDigits(redemption->year - 1), "12");
    if (yearStart) {
        figures.interestThisYear = *value - *yearStart;
    }
    // The rate r with value = price * (1 + r/2)^(months/6), the way savings bonds compound.
    if (monthsHeld > 0 && *value > 0.0) {
        figures.yieldSinceIssue =
            200.0 * (std::pow(*value / price, 6.0 / static_cast<double>(monthsHeld)) - 1.0);
    }
    return figures;
}

std::string ownerAmountText(const std::optional<double>& amount) {
    return amount ? amountText(*amount) : std::string(kNotKnownText);
}

std::string yieldText(const std::optional<double>& percent) {
    if (!percent || !std::isfinite(*percent)) {
        return std::string(kNotKnownText);
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, *percent, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr) + "%";
}

std::string finalMaturityText(const std::optional<RedemptionMonth>& month) {
    if (!month) {
        return std::string(kNotKnownText);
    }
    return fourDigits(month->year) + "-" + twoDigits(month->month);
}

#include "valuation/ValueTable.h"

#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondRecord.h"

#include <array>
#include <charconv>

PlistDictRef loadBondTable(const ResourceLocations& resources) {
    const auto path = resources.pathForResource(kBondTableResource, kBondTableType);
    if (!path) {
        return {};
    }
    return readPropertyList(*path).dict();
}

double sixDigitStringValueToDouble(std::string_view leaf) {
    const std::string_view dollars = leaf.substr(0, std::min<std::size_t>(4, leaf.size()));
    const std::string_view fraction = leaf.size() > 4 ? leaf.substr(4) : std::string_view();

    // The leaves of the table are six characters; joining them needs no allocation.
    std::array<char, 32> buffer{};
    if (leaf.size() + 1 <= buffer.size()) {
        char* out = std::copy(dollars.begin(), dollars.end(), buffer.data());
        *out++ = '.';
        out = std::copy(fraction.begin(), fraction.end(), out);
        return doubleValueOfText(std::string_view(buffer.data(), out));
    }
    std::string joined;
    joined.reserve(leaf.size() + 1);
    joined.append(dollars).append(".").append(fraction);
    return doubleValueOfText(joined);
}

double valueOfBond(const PlistDict* table, const PlistValue& bond, std::string_view redemptionYear,
                   std::string_view redemptionMonth) {
    const PlistDict* record = bond.dictPtr();
    if (record == nullptr) {
        return 0.0;
    }
    const PlistValue* type = record->find(kTypeKey);
    const PlistValue* issueYear = record->find(kIssueYearKey);
    const PlistValue* issueMonth = record->find(kIssueMonthKey);
    const PlistValue* faceValue = record->find(kFaceValueKey);

    // Only text can be a key of the table: a missing or non-text field finds nothing.
    const std::string* leaf = nullptr;
    if (type != nullptr && issueYear != nullptr && issueMonth != nullptr && type->isString() &&
        issueYear->isString() && issueMonth->isString()) {
        const PlistValue* found =
            plistFind(table, {*type->stringPtr(), redemptionYear, redemptionMonth,
                              *issueYear->stringPtr(), *issueMonth->stringPtr()});
        leaf = found != nullptr ? found->stringPtr() : nullptr;
    }
    if (leaf == nullptr) {
        return 0.0;
    }
    if (*leaf == kInvalidLeaf) {
        return kInvalidValueMarker;
    }
    const double face = faceValue != nullptr ? doubleValueOf(*faceValue) : 0.0;
    if (*leaf == kNoPayLeaf) {
        return face;
    }
    const double perDollarOfQuarter = face / 25.0;
    return sixDigitStringValueToDouble(*leaf) * perDollarOfQuarter;
}

std::string cutToTwoDecimals(std::string_view sixDecimals) {
    // Printed amounts always have six decimals; a shorter text ("inf") is cut to nothing
    // rather than read out of bounds.
    const std::size_t keep = sixDecimals.size() >= 4 ? sixDecimals.size() - 4 : 0;
    return std::string(sixDecimals.substr(0, keep));
}

std::string amountText(double amount) {
    return "$" + cutToTwoDecimals(formatSixDecimals(amount));
}

std::string storedValueText(const PlistValue& value) {
    if (const std::string* text = value.stringPtr()) {
        return *text;
    }
    std::array<char, 400> buffer{};
    std::to_chars_result result{};
    if (const PlistInteger* integer = value.integerPtr()) {
        result =
            integer->isNegative
                ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), integer->asSigned())
                : std::to_chars(buffer.data(), buffer.data() + buffer.size(), integer->bits);
    } else if (const double* real = value.realPtr()) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *real);
    } else if (const bool* flag = value.booleanPtr()) {
        return *flag ? "1" : "0";
    } else {
        return {};
    }
    if (result.ec != std::errc()) {
        return {};
    }
    return std::string(buffer.data(), result.ptr);
}

#include "store/BondListExport.h"

#include "store/BondListImport.h"
#include "store/BondRegistration.h"
#include "store/YearMonth.h"

#include <algorithm>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A field in double quotes, a double quote inside doubled. A line break or another control
// character would end the row or be refused by the import: it is written as a space.
void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"') {
            out += "\"\"";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            out += ' ';
        } else {
            out += c;
        }
    }
    out += '"';
}

// Whole dollars with thousands separators ("1,000"), as that edition writes them; any other text
// (an electronic amount, "34.59") as it is.
std::string faceValueField(std::string_view dollars) {
    if (dollars.empty() ||
        !std::all_of(dollars.begin(), dollars.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::string(dollars);
    }
    std::string grouped;
    for (std::size_t i = 0; i < dollars.size(); ++i) {
        if (i > 0 && (dollars.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += dollars[i];
    }
    return grouped;
}

// The month's number ("6" for June); a text that names no month as it is.
std::string monthField(std::string_view month) {
    const std::optional<int> number = monthNumberOfName(month);
    return number ? std::to_string(*number) : std::string(month);
}

} // namespace

std::array<std::string, kBondListExtraTitles.size()> bondListExtraFields(const Bond& bond) {
    return {bond.electronic ? std::string(kElectronicMark) : std::string(),
            bond.owner(),
            bond.secondName(),
            bond.secondNameIs(),
            bond.keptAt(),
            bond.note()};
}

std::string bondListText(const std::vector<Bond>& bonds) {
    const auto extrasUsed = [](const Bond& bond) {
        const auto fields = bondListExtraFields(bond);
        std::size_t used = fields.size();
        while (used > 0 && fields[used - 1].empty()) {
            --used;
        }
        return used;
    };
    const bool anyExtras =
        std::any_of(bonds.begin(), bonds.end(), [&](const Bond& bond) { return extrasUsed(bond); });
    std::string out(kBondListHeader);
    if (anyExtras) {
        for (std::string_view title : kBondListExtraTitles) {
            out += ',';
            appendQuoted(out, title);
        }
    }
    out += kLineEnd;
    for (const Bond& bond : bonds) {
        appendQuoted(out, bond.serial);
        out += ',';
        appendQuoted(out, bond.type);
        out += ",$" + faceValueField(bond.faceValue) + ',';
        appendQuoted(out, monthField(bond.issueMonth));
        out += ',';
        appendQuoted(out, bond.issueYear);
        const auto fields = bondListExtraFields(bond);
        for (std::size_t i = 0; i < extrasUsed(bond); ++i) {
            out += ',';
            appendQuoted(out, fields[i]);
        }
        out += kLineEnd;
    }
    return out;
}

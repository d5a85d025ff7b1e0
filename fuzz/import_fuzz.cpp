// The bond-list import: any text, read into a portfolio. Every bond it adds has a serial
// of its own, a series Orvelt knows and an issue month, and the portfolio saved as a property
// list reads back as it was.

#include "FuzzCheck.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"
#include "store/SeriesRules.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BondDatabase db;
    FUZZ_CHECK(db.createPortfolio("Family"));
    // One bond already there, whose serial a row may repeat.
    FUZZ_CHECK(db.addBond("Family", Bond("C123", "EE", "100", "2001", "June")));

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImportReport report = importBondListText(db, "Family", text, {"25", "100", "1000"});
    skippedLinesMessage(report);

    const std::vector<Bond>& bonds = db.portfolio("Family")->bonds;
    FUZZ_CHECK(bonds.size() == 1 + report.added);
    FUZZ_CHECK(report.bonds.size() == report.added);
    FUZZ_CHECK(report.skipped.size() <= report.skippedLineCount);
    FUZZ_CHECK(report.skipped.size() <= kMaxRecordedSkippedLines);
    if (report.outcome != ImportReport::Outcome::Imported) {
        FUZZ_CHECK(report.added == 0);
    }
    std::set<std::string> serials;
    for (const Bond& bond : bonds) {
        FUZZ_CHECK(serials.insert(bond.serial).second);
    }
    for (const Bond& bond : report.bonds) {
        FUZZ_CHECK(seriesRulesOf(bond.type) != nullptr && bond.issued().has_value());
    }

    const PlistDictRef held = db.toPropertyList();
    const std::string xml = propertyListToXml(PlistValue(held));
    std::string error;
    const PlistValue again = propertyListFromXml(xml, &error);
    if (again.dictPtr() == nullptr || *again.dictPtr() != *held) {
        std::fprintf(stderr, "written:\n%s\nread back: %s\n%s\n", xml.c_str(), error.c_str(),
                     propertyListToXml(again).c_str());
    }
    FUZZ_CHECK(again.dictPtr() != nullptr);
    FUZZ_CHECK(*again.dictPtr() == *held);
    return 0;
}

// The bond-list import: any text, read into an open portfolio. Every bond it adds has a serial
// of its own, and the portfolio saved as a property list reads back as it was.

#include "FuzzCheck.h"
#include "platform/PropertyList.h"
#include "platform/SilentToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentToolkitServices services;
    BondDatabase db(services);
    db.setPortfolios(PlistDict::create());
    FUZZ_CHECK(db.addPortfolioWithName("Family"));
    db.setNewCurrentPortfolio("Family");
    // One bond already there, whose serial a row may repeat.
    FUZZ_CHECK(db.addBondWithSerial("C123", "100", "EE", "2001", "June"));

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImportReport report = importBondListText(db, text);
    skippedLinesMessage(report);

    const PlistArrayRef bonds = db.currentBondList();
    FUZZ_CHECK(bonds != nullptr);
    FUZZ_CHECK(bonds->size() == 1 + report.added);
    FUZZ_CHECK(report.skipped.size() <= report.skippedLineCount);
    FUZZ_CHECK(report.skipped.size() <= kMaxRecordedSkippedLines);
    if (report.outcome != ImportReport::Outcome::Imported) {
        FUZZ_CHECK(report.added == 0);
    }
    std::set<std::string> serials;
    for (const PlistValue& bond : *bonds) {
        FUZZ_CHECK(bond.dictPtr() != nullptr);
        FUZZ_CHECK(serials.insert(bond.dictPtr()->text("Serial")).second);
    }

    db.saveCurrentPortfolio();
    const std::string xml = propertyListToXml(PlistValue(db.portfolios()));
    std::string error;
    const PlistValue again = propertyListFromXml(xml, &error);
    if (again.dictPtr() == nullptr || *again.dictPtr() != *db.portfolios()) {
        std::fprintf(stderr, "written:\n%s\nread back: %s\n%s\n", xml.c_str(), error.c_str(),
                     propertyListToXml(again).c_str());
    }
    FUZZ_CHECK(again.dictPtr() != nullptr);
    FUZZ_CHECK(*again.dictPtr() == *db.portfolios());
    return 0;
}

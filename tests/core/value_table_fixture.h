#pragma once

// Small redemption value tables written to real files, a real portfolio database, and the
// owner through which a report reaches them.

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTableFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

// The application controller's part in a valuation: the database, the portfolio valued and the
// redemption date.
struct TestOwner : ValuationContext {
    BondDatabase* database = nullptr;
    std::optional<YearMonth> month = YearMonth{2009, 6};

    std::optional<std::string> portfolio = "Family";
    BondDatabase* bondDatabase() const override { return database; }
    std::optional<std::string> openPortfolio() const override { return portfolio; }
    std::optional<YearMonth> redemptionMonth() const override { return month; }
};

struct TableLeaf {
    std::string series;
    std::string redemptionYear;
    std::string redemptionMonth;
    std::string issueYear;
    std::string issueMonth;
    std::string leaf;
};

inline PlistDictRef makeValueTable(std::initializer_list<TableLeaf> leaves) {
    PlistDictRef root = PlistDict::create();
    for (const TableLeaf& entry : leaves) {
        PlistDict* level = root.get();
        for (const std::string* key :
             {&entry.series, &entry.redemptionYear, &entry.redemptionMonth, &entry.issueYear}) {
            PlistValue* next = level->find(*key);
            if (next == nullptr) {
                level->set(*key, PlistDict::create());
                next = level->find(*key);
            }
            level = next->dict().get();
        }
        level->set(entry.issueMonth, entry.leaf);
    }
    return root;
}

// The leaves as the typed table the application reads from such a file.
inline ValueTableRef makeTypedValueTable(std::initializer_list<TableLeaf> leaves) {
    return valueTableOfDictionary(*makeValueTable(leaves));
}

// The earning rates shipped beside a hand-written table: they cover its months and tell no
// bond's rate, as none is known for such a table.
inline void writeRatesTellingNoRate(const std::filesystem::path& folder) {
    PlistDictRef rates = PlistDict::create();
    rates->set("Months", std::string("2000-01 2029-12"));
    rates->set("Rates", PlistValue(std::make_shared<PlistArray>()));
    ASSERT_TRUE(writePropertyList(folder / "EarningRates.plist", PlistValue(rates)));
}

// A shipped-resources folder, with such rates, and a user-data folder in a temporary folder.
class ValueTableFiles {
  public:
    ValueTableFiles() : resources_(dir_.path() / "shipped", dir_.path() / "user") {
        std::filesystem::create_directories(dir_.path() / "shipped");
        std::filesystem::create_directories(dir_.path() / "user");
        writeRatesTellingNoRate(dir_.path() / "shipped");
    }

    const ResourceLocations& resources() const { return resources_; }
    std::filesystem::path shippedTablePath() const {
        return dir_.path() / "shipped" / "BondTable.plist";
    }
    void writeTable(const PlistDictRef& table) {
        ASSERT_TRUE(writePropertyList(shippedTablePath(), PlistValue(table)));
    }

  private:
    TempDir dir_;
    ResourceLocations resources_;
};

// The leaves most report tests use, all at the redemption date June 2009.
inline PlistDictRef standardTestTable() {
    return makeValueTable({
        {"EE", "2009", "06", "2001", "March", "002712"},
        {"EE", "2009", "06", "2001", "April", "      "},
        {"EE", "2009", "06", "2001", "May", "NO PAY"},
        {"EE", "2009", "06", "1995", "January", "002714"},
        {"EE", "2009", "06", "1995", "February", "002715"},
        {"I", "2009", "06", "2003", "July", "003000"},
        {"EE", "2009", "07", "2001", "March", "002800"},
        {"EE", "2010", "01", "2001", "March", "002900"},
    });
}

#pragma once

// Small redemption value tables written to real files, and a session that values a real
// portfolio database with them.

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/Session.h"
#include "valuation/ValueTableFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

// A session over the files: the value table they hold, a store in memory (no portfolio file is
// read or written) and June 2009, the redemption month most report tests use.
class TestSession : public Session {
  public:
    explicit TestSession(const ResourceLocations& resources) : Session(resources) {
        setRedemptionMonth(YearMonth{2009, 6});
    }
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

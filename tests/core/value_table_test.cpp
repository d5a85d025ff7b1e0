#include "core/value_table_fixture.h"
#include "platform/NumberText.h"
#include "support/TempDir.h"
#include "valuation/OwnerFigures.h"
#include "valuation/PortfolioBonds.h"
#include "valuation/ValueReport.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableCompact.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

PlistValue record(std::string serial, PlistValue face, std::string type, std::string year,
                  std::string month) {
    PlistDictRef record = PlistDict::create();
    record->set("Serial", std::move(serial));
    record->set("Face Value", std::move(face));
    record->set("Type", std::move(type));
    record->set("Issue Year", std::move(year));
    record->set("Issue Month", std::move(month));
    return PlistValue(record);
}

Bond bond(std::string serial, PlistValue face, std::string type, std::string year,
          std::string month) {
    return Bond::fromRecord(record(std::move(serial), std::move(face), std::move(type),
                                   std::move(year), std::move(month)));
}

// What the report's value column holds for the bond in the session's month, from its table now.
std::optional<Amount> valueIn(Session& session, const Bond& bond) {
    return valueFiguresOfBond(session.valueTable().get(), reportBondOf(bond),
                              session.redemptionMonth())
        .value;
}

// Reads the leaf from a buffer holding exactly its characters, so that a read past its end is
// caught by the address sanitizer.
ValueCell cellExact(std::string_view leaf) {
    auto bytes = std::make_unique<char[]>(leaf.size() == 0 ? 1 : leaf.size());
    std::copy(leaf.begin(), leaf.end(), bytes.get());
    return valueCellOfLeaf(std::string_view(bytes.get(), leaf.size()));
}

TEST(ValueCellOfLeaf, SixDigitsAreCentsAndTheMarkersStayApart) {
    EXPECT_EQ(cellExact("002712"), 2712);
    EXPECT_EQ(cellExact("123456"), 123456);
    EXPECT_EQ(cellExact("000001"), 1);
    EXPECT_EQ(cellExact("NO PAY"), kNoPayCell);
    EXPECT_EQ(cellExact("      "), kInvalidCell);
}

// What is not six digits or a marker has no value to give: it is no leaf at all, never an amount
// read from part of its text.
TEST(ValueCellOfLeaf, ShortLongAndOddLeavesAreNoLeafAndStayInsideTheirText) {
    for (std::string_view odd :
         {"", "7", "12", "1234", "12345", "0027125", "  12ab", "-00012", "12.456", "+00012",
          "NO PAY ", "     ", "\xc3\xa4\xc3\xa4\xc3\xa4"}) {
        EXPECT_EQ(cellExact(odd), kMissingCell) << odd;
    }
    EXPECT_EQ(cellExact("0001" + std::string(100, '5')), kMissingCell);
}

// The cents of every plain leaf divided by a hundred are the very double its text gives read as
// dollars, so every amount stays what it was when the leaves were read as text.
TEST(ValueCellOfLeaf, EveryPlainLeafReadsAsTheTextToNumberRuleReadsIt) {
    char leaf[8];
    for (int n = 0; n <= 999999; n += 7) {
        std::snprintf(leaf, sizeof leaf, "%06d", n);
        const std::string joined = std::string(leaf, 4) + "." + std::string(leaf + 4, 2);
        ASSERT_EQ(static_cast<double>(valueCellOfLeaf(leaf)) / 100.0, doubleValueOfText(joined))
            << leaf;
    }
}

// Rows of different spans side by side: every leaf is found at its own keys, and the gaps between
// and around them, keys not of the table's form and leaves of no form find nothing.
TEST(ValueTableCells, EachLeafIsFoundAtItsKeysAndNowhereElse) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2009", "06", "2001", "March", "002712"},
        {"EE", "2009", "06", "1990", "December", "NO PAY"},
        {"EE", "2009", "08", "2001", "March", "      "},
        {"I", "2009", "07", "2003", "July", "003000"},
        {"H", "2010", "01", "2001", "March", "001000"},
        {"EE", "2009", "06", "2001", "march", "001111"},
        {"EE", "2009", "6", "2001", "March", "001111"},
        {"EE", "2009", "06", "2001", "May", "27.12 "},
    });
    const auto at = [&](BondSeries series, YearMonth redemption, YearMonth issue) {
        return table->cell(series, redemption, issue);
    };
    EXPECT_EQ(at(BondSeries::EE, {2009, 6}, {2001, 3}), 2712);
    EXPECT_EQ(at(BondSeries::EE, {2009, 6}, {1990, 12}), kNoPayCell);
    EXPECT_EQ(at(BondSeries::EE, {2009, 8}, {2001, 3}), kInvalidCell);
    EXPECT_EQ(at(BondSeries::I, {2009, 7}, {2003, 7}), 3000);
    for (const auto& [series, redemption, issue] :
         std::vector<std::tuple<BondSeries, YearMonth, YearMonth>>{
             {BondSeries::EE, {2009, 6}, {2001, 2}},  // inside the row, no leaf
             {BondSeries::EE, {2009, 6}, {1990, 11}}, // before the row
             {BondSeries::EE, {2009, 6}, {2001, 4}},  // after the row
             {BondSeries::EE, {2009, 6}, {2001, 5}},  // a leaf of no form
             {BondSeries::EE, {2009, 7}, {2001, 3}},  // a month without the series' row
             {BondSeries::EE, {2009, 5}, {2001, 3}},  // before the first month
             {BondSeries::EE, {2010, 2}, {2001, 3}},  // after the last month
             {BondSeries::I, {2009, 6}, {2003, 7}},
             {BondSeries::S, {2009, 6}, {2001, 3}},
         }) {
        EXPECT_EQ(at(series, redemption, issue), kMissingCell);
    }
    // A month of a series the table cannot value is held all the same.
    EXPECT_EQ(table->redemptionMonths(),
              (std::vector<YearMonth>{{2009, 6}, {2009, 7}, {2009, 8}, {2010, 1}}));
    EXPECT_TRUE(table->holdsMonth({2010, 1}));
    EXPECT_FALSE(table->holdsMonth({2009, 9}));
    EXPECT_EQ(bondSeriesOfName("EE"), BondSeries::EE);
    EXPECT_EQ(bondSeriesOfName("EE "), std::nullopt);
}

TEST(ValueTableCells, ALaterLeafUnderTheSameKeysWins) {
    ValueTable::Builder builder;
    builder.setCell(BondSeries::I, {2009, 6}, {2003, 7}, 3000);
    builder.setCell(BondSeries::I, {2009, 6}, {2003, 7}, kNoPayCell);
    EXPECT_EQ(builder.build()->cell(BondSeries::I, {2009, 6}, {2003, 7}), kNoPayCell);
}

class ValueForBondTest : public ::testing::Test {
  protected:
    void SetUp() override { files.writeTable(standardTestTable()); }
    std::optional<Amount> valueForBond(const Bond& bond) { return valueIn(session, bond); }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    TestSession session{files.resources()};
};

TEST_F(ValueForBondTest, SixDigitLeafIsScaledByFaceValueOverTwentyFive) {
    EXPECT_EQ(valueForBond(bond("A", "100", "EE", "2001", "March")), Amount::ofCents(10848));
    EXPECT_EQ(valueForBond(bond("B", "25", "EE", "2001", "March")), Amount::ofCents(2712));
    // The face value is read by the text-to-number rule, or taken as it is when a number.
    EXPECT_EQ(valueForBond(bond("C", " 50abc", "EE", "2001", "March")), Amount::ofCents(5424));
    EXPECT_EQ(valueForBond(bond("D", PlistValue::integer(200), "EE", "2001", "March")),
              Amount::ofCents(21696));
    EXPECT_EQ(valueForBond(bond("E", 75.0, "EE", "2001", "March")), Amount::ofCents(8136));
    EXPECT_EQ(valueForBond(bond("F", "none", "EE", "2001", "March")), Amount::ofCents(0));
}

// A bond not yet payable is worth its issue price (half the face value of an EE bond), the face
// value read by the text-to-number rule; without a price it has no value.
TEST_F(ValueForBondTest, NoPayGivesTheIssuePriceOfTheFaceValueAsTheTextToNumberRuleReadsIt) {
    for (std::string face : {"0", "25", "100", "10000", "123456789012345", "1234567890123456789",
                             "007", "50.25", " 75", "+100", "-100", "1e3", "", "abc"}) {
        const double read = doubleValueOfText(face);
        EXPECT_EQ(valueForBond(bond("N", face, "EE", "2001", "May")),
                  read > 0.0 ? std::optional<Amount>(Amount::ofDollars(read * 0.5)) : std::nullopt)
            << "face value '" << face << "'";
    }
}

TEST_F(ValueForBondTest, NoPayIsTheIssuePriceAndSixSpacesIsNoAmount) {
    EXPECT_EQ(valueForBond(bond("A", "50", "EE", "2001", "May")), Amount::ofCents(2500));
    EXPECT_EQ(valueForBond(bond("B", "50", "EE", "2001", "April")), std::nullopt);
    EXPECT_EQ(valueForBond(bond("C", "10000", "EE", "2001", "April")), std::nullopt);
}

TEST_F(ValueForBondTest, WhatTheTableDoesNotCoverIsWorthNothing) {
    EXPECT_EQ(valueForBond(bond("A", "100", "S", "2001", "March")), std::nullopt);
    EXPECT_EQ(valueForBond(bond("B", "100", "EE", "1980", "March")), std::nullopt);
    EXPECT_EQ(valueForBond(bond("C", "100", "EE", "2001", "march")), std::nullopt);
    EXPECT_EQ(valueForBond(bond("D", "100", "EE ", "2001", "March")), std::nullopt);
    // A field stored as something other than text, or missing, finds nothing either.
    EXPECT_EQ(valueForBond(Bond::fromRecord(PlistValue())), std::nullopt);
    PlistValue numericYear = record("F", "100", "EE", "2001", "March");
    numericYear.dict()->set("Issue Year", PlistValue::integer(2001));
    EXPECT_EQ(valueForBond(Bond::fromRecord(numericYear)), std::nullopt);
    PlistValue noType = record("G", "100", "EE", "2001", "March");
    noType.dict()->remove("Type");
    EXPECT_EQ(valueForBond(Bond::fromRecord(noType)), std::nullopt);

    session.setRedemptionMonth(YearMonth{2024, 6});
    EXPECT_EQ(valueForBond(bond("H", "100", "EE", "2001", "March")), std::nullopt);
    EXPECT_EQ(valueForBond(bond("I", "100", "EE", "2001", "April")), std::nullopt);
    // Without a redemption month nothing has a value.
    session.setRedemptionMonth(std::nullopt);
    EXPECT_EQ(valueForBond(bond("J", "100", "EE", "2001", "March")), std::nullopt);
}

TEST_F(ValueForBondTest, RedemptionDateIsReadAtEveryCall) {
    const Bond march2001 = bond("A", "25", "EE", "2001", "March");
    EXPECT_EQ(valueForBond(march2001), Amount::ofCents(2712));
    session.setRedemptionMonth(YearMonth{2009, 7});
    EXPECT_EQ(valueForBond(march2001), Amount::ofCents(2800));
    session.setRedemptionMonth(YearMonth{2010, 1});
    EXPECT_EQ(valueForBond(march2001), Amount::ofCents(2900));
}

TEST_F(ValueForBondTest, TableIsReadOnceUntilTheSessionReadsItAgain) {
    EXPECT_EQ(valueForBond(bond("A", "25", "EE", "2001", "March")), Amount::ofCents(2712));
    files.writeTable(makeValueTable({{"EE", "2009", "06", "2001", "March", "001000"}}));
    EXPECT_EQ(valueForBond(bond("A", "25", "EE", "2001", "March")), Amount::ofCents(2712));
    session.reloadValueTable();
    EXPECT_EQ(valueForBond(bond("A", "25", "EE", "2001", "March")), Amount::ofCents(1000));
}

TEST(ValueTableLoading, MissingOrBrokenTableValuesEveryBondAtZero) {
    ScriptedToolkitServices services;
    const Bond march2001 = bond("A", "100", "EE", "2001", "March");

    ValueTableFiles missing;
    TestSession withoutTable(missing.resources());
    ValueReport noTable(withoutTable, "Family");
    EXPECT_EQ(noTable.bondTable(), nullptr);
    EXPECT_EQ(valueIn(withoutTable, march2001), std::nullopt);

    ValueTableFiles garbage;
    writeWholeFile(garbage.shippedTablePath(), "<plist><dict><key>EE</key><dict>");
    TestSession withBrokenTable(garbage.resources());
    EXPECT_EQ(valueIn(withBrokenTable, march2001), std::nullopt);

    ValueTableFiles arrayRoot;
    ASSERT_TRUE(writePropertyList(arrayRoot.shippedTablePath(),
                                  PlistValue(std::make_shared<PlistArray>())));
    TestSession withWrongRoot(arrayRoot.resources());
    EXPECT_EQ(valueIn(withWrongRoot, march2001), std::nullopt);

    // A table one level short gives a dictionary where a leaf is expected.
    ValueTableFiles shallow;
    PlistDictRef table = makeValueTable({{"EE", "2009", "06", "2001", "March", "002712"}});
    table->find("EE")->dict()->find("2009")->dict()->find("06")->dict()->set("2001", "002712");
    shallow.writeTable(table);
    TestSession withShallowTable(shallow.resources());
    EXPECT_EQ(valueIn(withShallowTable, march2001), std::nullopt);
    EXPECT_TRUE(services.alerts.empty());
}

TEST(ValueTableLoading, ReadsAHandWrittenTableFile) {
    TempDir user;
    ResourceLocations resources(std::filesystem::path(ORVELT_TEST_DATA_DIR) / "valuation",
                                user.path());
    ScriptedToolkitServices services;
    TestSession session(resources);
    EXPECT_EQ(valueIn(session, bond("A", "100", "EE", "2001", "March")), Amount::ofCents(10848));
    EXPECT_EQ(valueIn(session, bond("B", "50", "EE", "2001", "May")), Amount::ofCents(2500));
    EXPECT_EQ(valueIn(session, bond("C", "50", "EE", "2001", "April")), std::nullopt);
    session.setRedemptionMonth(YearMonth{2010, 5});
    EXPECT_EQ(valueIn(session, bond("D", "1000", "I", "1998", "September")),
              Amount::ofCents(184440));
}

TEST(ValueTableLoading, OneReadTableIsSharedUntilItsFileChanges) {
    TempDir dir;
    const ResourceLocations resources(dir / "shipped", dir.path());
    std::filesystem::create_directories(dir / "shipped");
    writeRatesTellingNoRate(dir / "shipped");
    const auto write = [&](const char* leaf) {
        ASSERT_TRUE(writePropertyList(
            dir / "BondTable.plist",
            PlistValue(makeValueTable({{"EE", "2009", "06", "2001", "March", leaf}}))));
    };
    const auto leafOf = [](const ValueTableRef& table) {
        return table->cell(BondSeries::EE, YearMonth{2009, 6}, YearMonth{2001, 3});
    };
    write("002712");
    const ValueTableRef first = loadBondTable(resources);
    EXPECT_EQ(loadBondTable(resources), first);
    write("003000");
    const ValueTableRef second = loadBondTable(resources);
    EXPECT_NE(second, first);
    EXPECT_EQ(leafOf(second), 3000);
    EXPECT_EQ(leafOf(first), 2712) << "a holder keeps the table it read";
    std::filesystem::remove(dir / "BondTable.plist");
    EXPECT_EQ(loadBondTable(resources), nullptr);
}

TEST(ValueTableLoading, CompactFormIsReadOnlyWhenMadeFromTheFileBesideItAndWhole) {
    ValueTableFiles files;
    const std::filesystem::path xml = files.shippedTablePath();
    files.writeTable(makeValueTable({{"EE", "2009", "06", "2001", "March", "001000"}}));
    // A compact form of another value, so that which of the two was read shows.
    const std::string compact =
        compactFormOfTable(*makeTypedValueTable({{"EE", "2009", "06", "2001", "March", "002000"}}),
                           fingerprintOfBytes(readWholeFile(xml)));
    const auto cellRead = [&](const std::string& form) {
        writeWholeFile(compactFormPath(xml), form);
        const ValueTableRef table = readValueTableFile(xml);
        return table ? table->cell(BondSeries::EE, YearMonth{2009, 6}, YearMonth{2001, 3}) : -9;
    };
    EXPECT_EQ(cellRead(compact), 2000);
    for (std::size_t at : {std::size_t{0}, std::size_t{40}, compact.size() - 12}) {
        std::string damaged = compact;
        damaged[at] = static_cast<char>(damaged[at] ^ 1);
        EXPECT_EQ(cellRead(damaged), 1000) << "byte " << at;
    }
    EXPECT_EQ(cellRead(compact.substr(0, compact.size() - 1)), 1000);
    files.writeTable(makeValueTable({{"EE", "2009", "06", "2001", "March", "001001"}}));
    EXPECT_EQ(cellRead(compact), 1001) << "made from another file";

    // Beside the user's own copy not even a form made from it is read: the build makes none.
    const std::filesystem::path mine = files.resources().userDataDir() / "BondTable.plist";
    std::filesystem::copy_file(xml, mine);
    writeWholeFile(
        compactFormPath(mine),
        compactFormOfTable(*makeTypedValueTable({{"EE", "2009", "06", "2001", "March", "002000"}}),
                           fingerprintOfBytes(readWholeFile(mine))));
    const ValueTableRef users = readBondTableFile(files.resources(), mine);
    ASSERT_NE(users, nullptr);
    EXPECT_EQ(users->cell(BondSeries::EE, YearMonth{2009, 6}, YearMonth{2001, 3}), 1001);
}

// The table file rewritten in place while its digest is taken: the compact form made from it
// before is not used, and the table is read again from the file's XML.
TEST(ValueTableLoading, ATableFileChangedWhileReadIsReadFromItsXml) {
    ValueTableFiles files;
    const std::filesystem::path xml = files.shippedTablePath();
    // Read in several parts, the leaf after the first.
    const auto tableText = [](const std::string& leaf) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
               std::string(std::size_t{1} << 20, '\n') +
               "<key>S</key><dict><key>2009</key><dict><key>06</key><dict><key>1990</key><dict>"
               "<key>March</key><string>" +
               leaf + "</string></dict></dict></dict></dict></dict></plist>\n";
    };
    writeWholeFile(xml, tableText("001000"));
    writeWholeFile(
        compactFormPath(xml),
        compactFormOfTable(*makeTypedValueTable({{"S", "2009", "06", "1990", "March", "002000"}}),
                           fingerprintOfBytes(readWholeFile(xml))));
    const auto cellRead = [&] {
        const ValueTableRef table = readValueTableFile(xml);
        return table ? table->cell(BondSeries::S, YearMonth{2009, 6}, YearMonth{1990, 3}) : -9;
    };
    EXPECT_EQ(cellRead(), 2000);
    bool changed = false;
    setTableFileReadHookForTesting([&] {
        if (!std::exchange(changed, true)) {
            std::ofstream(xml, std::ios::binary) << tableText("001001");
        }
    });
    EXPECT_EQ(cellRead(), 1001);
    setTableFileReadHookForTesting({});
}

// The fingerprint verified at one load is remembered in the cache folder and spares the next load
// the reading of the file, but only for the very file it was taken of, unchanged: a record that is
// damaged or of another file, or a file changed with its size and modification time kept, makes
// the load read the file again, and the compact form is used only when the bytes are its own.
TEST(ValueTableLoading, AVerifiedFingerprintSparesTheReadingOfTheSameFileOnly) {
    ValueTableFiles files;
    const TempDir cache;
    const std::filesystem::path xml = files.shippedTablePath();
    const std::filesystem::path record = fingerprintRecordPath(cache.path());
    files.writeTable(makeValueTable({{"EE", "2009", "06", "2001", "March", "001000"}}));
    writeWholeFile(
        compactFormPath(xml),
        compactFormOfTable(*makeTypedValueTable({{"EE", "2009", "06", "2001", "March", "002000"}}),
                           fingerprintOfBytes(readWholeFile(xml))));
    int partsRead = 0;
    setTableFileReadHookForTesting([&] { ++partsRead; });
    // The cell read, and whether the file was read for it.
    const auto load = [&](const std::filesystem::path& path) {
        partsRead = 0;
        const ValueTableRef table = readBondTableFile(
            ResourceLocations(path.parent_path(), files.resources().userDataDir(), cache.path()),
            path);
        const ValueCell cell =
            table ? table->cell(BondSeries::EE, YearMonth{2009, 6}, YearMonth{2001, 3}) : -9;
        return std::make_pair(cell, partsRead > 0);
    };
    // Only a file whose last change is seconds old is remembered: a change since then could
    // otherwise carry the same change time on a file system of coarse times.
    EXPECT_EQ(load(xml), std::make_pair(2000, true));
    EXPECT_EQ(load(xml), std::make_pair(2000, true)) << "remembered too early";
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    EXPECT_EQ(load(xml), std::make_pair(2000, true));
    EXPECT_EQ(load(xml), std::make_pair(2000, false));

    std::string damaged = readWholeFile(record);
    damaged[70] = static_cast<char>(damaged[70] ^ 1); // in the digest it remembers
    writeWholeFile(record, damaged);
    EXPECT_EQ(load(xml), std::make_pair(2000, true)) << "damaged record";
    EXPECT_EQ(load(xml), std::make_pair(2000, false)) << "record made again";

    // Rewritten in place, as `touch -d` would leave it: the same inode, size and modification time.
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(xml);
    std::string text = readWholeFile(xml);
    text.replace(text.find("001000"), 6, "001001");
    std::ofstream(xml, std::ios::binary | std::ios::in) << text;
    std::filesystem::last_write_time(xml, modified);
    EXPECT_EQ(load(xml), std::make_pair(1001, true)) << "changed, size and time kept";

    const std::filesystem::path other = xml.parent_path() / "Other.plist";
    std::filesystem::copy_file(xml, other);
    std::filesystem::copy_file(compactFormPath(xml), compactFormPath(other));
    EXPECT_EQ(load(other), std::make_pair(1001, true)) << "record of another file";
    setTableFileReadHookForTesting({});
}

// A compact form that passes its digest yet was made to mislead, with months and counts whose sums
// overflow, is refused; and a lookup far outside any table's months is no value, not an overflow.
TEST(ValueTableLoading, ACraftedCompactFormIsRefusedWhateverItsCounts) {
    const ValueTableRef table =
        makeTypedValueTable({{"EE", "2009", "06", "2001", "March", "002000"}});
    const TableFileFingerprint source = fingerprintOfBytes("the table file");
    const std::string form = compactFormOfTable(*table, source);
    ASSERT_NE(tableOfCompactForm(form, source), nullptr);
    // The layout: a header of 72 bytes (the first redemption month at 12), the months (year and
    // month), the rows of series E, EE, I and S (start, first issue, count), the cells, the digest.
    constexpr std::size_t kFirstMonthYear = 72;
    constexpr std::size_t kEERowFirstIssue = 72 + 8 + 12 + 4;
    for (const auto& [offset, value] :
         std::vector<std::pair<std::size_t, std::int32_t>>{{12, INT32_MAX},
                                                           {12, -1},
                                                           {kFirstMonthYear, 1 << 30},
                                                           {kEERowFirstIssue, INT32_MIN}}) {
        std::string crafted = form.substr(0, form.size() - sizeof(Sha256::Digest));
        std::memcpy(crafted.data() + offset, &value, sizeof value);
        const Sha256::Digest digest = Sha256::of(crafted);
        crafted.append(reinterpret_cast<const char*>(digest.data()), digest.size());
        EXPECT_EQ(tableOfCompactForm(crafted, source), nullptr) << offset << " " << value;
    }
    EXPECT_EQ(table->cell(BondSeries::EE, YearMonth{INT32_MAX, 12}, YearMonth{INT32_MIN / 12, 1}),
              kMissingCell);
}

TEST(ValueTableLoading, TheBuiltCompactFormHoldsEveryCellOfTheShippedTable) {
    const std::filesystem::path xml =
        std::filesystem::path(ORVELT_BINARY_DIR) / "resources" / "BondTable.plist";
    const ValueTableRef compact = tableOfCompactForm(readWholeFile(compactFormPath(xml)),
                                                     fingerprintOfBytes(readWholeFile(xml)));
    const ValueTableRef read = readValueTableXml(xml);
    ASSERT_TRUE(compact && read);
    ASSERT_EQ(compact->redemptionMonths(), read->redemptionMonths());
    for (const YearMonth& redemption : read->redemptionMonths()) {
        for (int series = 0; series < kBondSeriesCount; ++series) {
            for (YearMonth issue{1941, 1}; issue <= redemption; issue = issue.plusMonths(1)) {
                const auto bondSeries = static_cast<BondSeries>(series);
                ASSERT_EQ(compact->cell(bondSeries, redemption, issue),
                          read->cell(bondSeries, redemption, issue));
            }
        }
    }
}

TEST(AmountText, CutsToTwoDecimalsWithoutRounding) {
    EXPECT_EQ(amountText(Amount::ofDollars(1234.5)), "$1234.50");
    EXPECT_EQ(amountText(Amount::ofDollars(27.125)), "$27.12");
    EXPECT_EQ(amountText(Amount::ofDollars(27.129999)), "$27.12");
    // Taken to the nearest millionth first, as the amounts were always printed.
    EXPECT_EQ(amountText(Amount::ofDollars(27.1299996)), "$27.13");
    EXPECT_EQ(amountText(Amount()), "$0.00");
    EXPECT_EQ(amountText(Amount::ofDollars(1234567.891)), "$1234567.89");
    EXPECT_EQ(amountText(Amount::ofDollars(-0.445)), "$-0.44");
    EXPECT_EQ(Amount::ofDollars(1e300), Amount::ofDollars(1e30));
    Amount sum;
    for (int i = 0; i < 200; ++i) {
        sum -= Amount::ofDollars(1e300);
    }
    EXPECT_EQ(amountText(sum).substr(0, 5), "$-170");
    EXPECT_EQ(amountText(Amount::ofDollars(std::nan(""))), "$0.00");
}

// Whole cents of face value give exact amounts, a fraction of a cent included; any other face
// value gives the floating product to the nearest millionth.
TEST(AmountOfFace, IsExactForFaceValuesOfWholeCents) {
    EXPECT_EQ(amountOfFace(10, 2712), Amount::ofMillionths(10848000));
    EXPECT_EQ(amountOfFace(37.55, 999999), Amount::ofMillionths(15019984980));
    EXPECT_EQ(wholeCentsOf(37.55), 3755);
    EXPECT_EQ(wholeCentsOf(37.555), std::nullopt);
    EXPECT_EQ(amountOfFace(37.555, 2712), Amount::ofDollars(27.12 * (37.555 / 25.0)));
    EXPECT_EQ(wholeCentsOf(1e7), std::nullopt);
    EXPECT_EQ(amountOfFace(1e7, 2712), Amount::ofCents(1084800000));
}

} // namespace

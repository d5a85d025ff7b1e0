#include "core/value_table_fixture.h"
#include "platform/NumberText.h"
#include "support/TempDir.h"
#include "valuation/ValueReport.h"
#include "valuation/ValueTable.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

PlistValue bond(std::string serial, PlistValue face, std::string type, std::string year,
                std::string month) {
    PlistDictRef record = PlistDict::create();
    record->set("Serial", std::move(serial));
    record->set("Face Value", std::move(face));
    record->set("Type", std::move(type));
    record->set("Issue Year", std::move(year));
    record->set("Issue Month", std::move(month));
    return PlistValue(record);
}

// Reads the leaf from a buffer holding exactly its characters, so that a read past its end is
// caught by the address sanitizer.
double leafValueExact(std::string_view leaf) {
    auto bytes = std::make_unique<char[]>(leaf.size() == 0 ? 1 : leaf.size());
    std::copy(leaf.begin(), leaf.end(), bytes.get());
    return sixDigitStringValueToDouble(std::string_view(bytes.get(), leaf.size()));
}

TEST(SixDigitLeaf, PointGoesAfterTheFourthCharacter) {
    EXPECT_DOUBLE_EQ(leafValueExact("002712"), 27.12);
    EXPECT_DOUBLE_EQ(leafValueExact("123456"), 1234.56);
    EXPECT_DOUBLE_EQ(leafValueExact("000001"), 0.01);
    // Everything after the fourth character is the fraction.
    EXPECT_DOUBLE_EQ(leafValueExact("0027125"), 27.125);
    EXPECT_DOUBLE_EQ(ValueReport::sixDigitStringValueToDouble("002712"), 27.12);
}

TEST(SixDigitLeaf, ShortAndOddLeavesStayInsideTheirText) {
    // Four characters or fewer are the whole dollar part.
    EXPECT_EQ(leafValueExact(""), 0.0);
    EXPECT_EQ(leafValueExact("7"), 7.0);
    EXPECT_EQ(leafValueExact("12"), 12.0);
    EXPECT_EQ(leafValueExact("123"), 123.0);
    EXPECT_EQ(leafValueExact("1234"), 1234.0);
    EXPECT_DOUBLE_EQ(leafValueExact("12345"), 1234.5);
    // Text that is not a number reads as far as it forms one.
    EXPECT_EQ(leafValueExact("NO PAY"), 0.0);
    EXPECT_EQ(leafValueExact("      "), 0.0);
    EXPECT_EQ(leafValueExact("  12ab"), 12.0);
    EXPECT_DOUBLE_EQ(leafValueExact("-00012"), -0.12);
    EXPECT_DOUBLE_EQ(leafValueExact("12.456"), 12.4);
    EXPECT_EQ(leafValueExact("\xc3\xa4\xc3\xa4\xc3\xa4"), 0.0);
    const std::string longLeaf = "0001" + std::string(100, '5');
    EXPECT_NEAR(leafValueExact(longLeaf), 1.5555555555, 1e-9);
}

// Plain digit leaves are read without the general parser; they must give the very same double.
TEST(SixDigitLeaf, EveryPlainLeafReadsAsTheTextToNumberRuleReadsIt) {
    char leaf[8];
    for (int n = 0; n <= 999999; n += 7) {
        std::snprintf(leaf, sizeof leaf, "%06d", n);
        const std::string joined = std::string(leaf, 4) + "." + std::string(leaf + 4, 2);
        ASSERT_EQ(sixDigitStringValueToDouble(leaf), doubleValueOfText(joined)) << leaf;
    }
    for (std::string_view longLeaf : {"0027125", "123456789012345", "1234567890123456789"}) {
        const std::string joined =
            std::string(longLeaf.substr(0, 4)) + "." + std::string(longLeaf.substr(4));
        EXPECT_EQ(sixDigitStringValueToDouble(longLeaf), doubleValueOfText(joined)) << longLeaf;
    }
}

class ValueForBondTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(standardTestTable());
        owner.database = &database;
    }
    ValueReport& report() {
        if (!controller) {
            controller = std::make_unique<ValueReport>(files.resources());
            controller->setOwner(&owner);
        }
        return *controller;
    }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    BondDatabase database;
    TestOwner owner;
    std::unique_ptr<ValueReport> controller;
};

TEST_F(ValueForBondTest, SixDigitLeafIsScaledByFaceValueOverTwentyFive) {
    EXPECT_DOUBLE_EQ(report().valueForBond(bond("A", "100", "EE", "2001", "March")).value_or(-1.0),
                     108.48);
    EXPECT_DOUBLE_EQ(report().valueForBond(bond("B", "25", "EE", "2001", "March")).value_or(-1.0),
                     27.12);
    // The face value is read by the text-to-number rule, or taken as it is when a number.
    EXPECT_DOUBLE_EQ(
        report().valueForBond(bond("C", " 50abc", "EE", "2001", "March")).value_or(-1.0), 54.24);
    EXPECT_DOUBLE_EQ(report()
                         .valueForBond(bond("D", PlistValue::integer(200), "EE", "2001", "March"))
                         .value_or(-1.0),
                     216.96);
    EXPECT_DOUBLE_EQ(report().valueForBond(bond("E", 75.0, "EE", "2001", "March")).value_or(-1.0),
                     81.36);
    EXPECT_EQ(report().valueForBond(bond("F", "none", "EE", "2001", "March")), 0.0);
}

// A bond not yet payable is worth its issue price (half the face value of an EE bond), the face
// value read by the text-to-number rule; without a price it has no value.
TEST_F(ValueForBondTest, NoPayGivesTheIssuePriceOfTheFaceValueAsTheTextToNumberRuleReadsIt) {
    for (std::string face : {"0", "25", "100", "10000", "123456789012345", "1234567890123456789",
                             "007", "50.25", " 75", "+100", "-100", "1e3", "", "abc"}) {
        const double read = doubleValueOfText(face);
        EXPECT_EQ(report().valueForBond(bond("N", face, "EE", "2001", "May")),
                  read > 0.0 ? std::optional<double>(read * 0.5) : std::nullopt)
            << "face value '" << face << "'";
    }
}

TEST_F(ValueForBondTest, NoPayIsTheIssuePriceAndSixSpacesIsNoAmount) {
    EXPECT_EQ(report().valueForBond(bond("A", "50", "EE", "2001", "May")), 25.0);
    EXPECT_EQ(report().valueForBond(bond("B", "50", "EE", "2001", "April")), std::nullopt);
    EXPECT_EQ(report().valueForBond(bond("C", "10000", "EE", "2001", "April")), std::nullopt);
}

TEST_F(ValueForBondTest, WhatTheTableDoesNotCoverIsWorthNothing) {
    EXPECT_EQ(report().valueForBond(bond("A", "100", "S", "2001", "March")), std::nullopt);
    EXPECT_EQ(report().valueForBond(bond("B", "100", "EE", "1980", "March")), std::nullopt);
    EXPECT_EQ(report().valueForBond(bond("C", "100", "EE", "2001", "march")), std::nullopt);
    EXPECT_EQ(report().valueForBond(bond("D", "100", "EE ", "2001", "March")), std::nullopt);
    // A field stored as something other than text, or missing, finds nothing either.
    EXPECT_EQ(report().valueForBond(PlistValue()), std::nullopt);
    PlistValue numericYear = bond("F", "100", "EE", "2001", "March");
    numericYear.dict()->set("Issue Year", PlistValue::integer(2001));
    EXPECT_EQ(report().valueForBond(numericYear), std::nullopt);
    PlistValue noType = bond("G", "100", "EE", "2001", "March");
    noType.dict()->remove("Type");
    EXPECT_EQ(report().valueForBond(noType), std::nullopt);

    owner.year = "2024";
    EXPECT_EQ(report().valueForBond(bond("H", "100", "EE", "2001", "March")), std::nullopt);
    EXPECT_EQ(report().valueForBond(bond("I", "100", "EE", "2001", "April")), std::nullopt);
    // Month keys are exact text: "6" does not find "06".
    owner.year = "2009";
    owner.month = "6";
    EXPECT_EQ(report().valueForBond(bond("J", "100", "EE", "2001", "March")), std::nullopt);
}

TEST_F(ValueForBondTest, RedemptionDateIsReadAtEveryCall) {
    const PlistValue march2001 = bond("A", "25", "EE", "2001", "March");
    EXPECT_DOUBLE_EQ(report().valueForBond(march2001).value_or(-1.0), 27.12);
    owner.month = "07";
    EXPECT_DOUBLE_EQ(report().valueForBond(march2001).value_or(-1.0), 28.0);
    owner.year = "2010";
    owner.month = "01";
    EXPECT_DOUBLE_EQ(report().valueForBond(march2001).value_or(-1.0), 29.0);
}

TEST_F(ValueForBondTest, TableIsReadOnceWhenTheReportIsCreated) {
    ValueReport& first = report();
    files.writeTable(makeValueTable({{"EE", "2009", "06", "2001", "March", "001000"}}));
    EXPECT_DOUBLE_EQ(first.valueForBond(bond("A", "25", "EE", "2001", "March")).value_or(-1.0),
                     27.12);
    ValueReport second(files.resources());
    second.setOwner(&owner);
    EXPECT_DOUBLE_EQ(second.valueForBond(bond("A", "25", "EE", "2001", "March")).value_or(-1.0),
                     10.0);
}

TEST(ValueTableLoading, MissingOrBrokenTableValuesEveryBondAtZero) {
    ScriptedToolkitServices services;
    BondDatabase database;
    TestOwner owner;
    owner.database = &database;
    const PlistValue march2001 = bond("A", "100", "EE", "2001", "March");

    ValueTableFiles missing;
    ValueReport noTable(missing.resources());
    noTable.setOwner(&owner);
    EXPECT_EQ(noTable.bondTable(), nullptr);
    EXPECT_EQ(noTable.valueForBond(march2001), std::nullopt);

    ValueTableFiles garbage;
    writeWholeFile(garbage.shippedTablePath(), "<plist><dict><key>EE</key><dict>");
    ValueReport brokenTable(garbage.resources());
    brokenTable.setOwner(&owner);
    EXPECT_EQ(brokenTable.valueForBond(march2001), std::nullopt);

    ValueTableFiles arrayRoot;
    ASSERT_TRUE(writePropertyList(arrayRoot.shippedTablePath(),
                                  PlistValue(std::make_shared<PlistArray>())));
    ValueReport wrongRoot(arrayRoot.resources());
    wrongRoot.setOwner(&owner);
    EXPECT_EQ(wrongRoot.valueForBond(march2001), std::nullopt);

    // A table one level short gives a dictionary where a leaf is expected.
    ValueTableFiles shallow;
    PlistDictRef table = makeValueTable({{"EE", "2009", "06", "2001", "March", "002712"}});
    table->find("EE")->dict()->find("2009")->dict()->find("06")->dict()->set("2001", "002712");
    shallow.writeTable(table);
    ValueReport shallowTable(shallow.resources());
    shallowTable.setOwner(&owner);
    EXPECT_EQ(shallowTable.valueForBond(march2001), std::nullopt);
    EXPECT_TRUE(services.alerts.empty());
}

TEST(ValueTableLoading, ReadsAHandWrittenTableFile) {
    TempDir user;
    ResourceLocations resources(std::filesystem::path(ORVELT_TEST_DATA_DIR) / "valuation",
                                user.path());
    ScriptedToolkitServices services;
    BondDatabase database;
    TestOwner owner;
    owner.database = &database;
    ValueReport report(resources);
    report.setOwner(&owner);
    EXPECT_DOUBLE_EQ(report.valueForBond(bond("A", "100", "EE", "2001", "March")).value_or(-1.0),
                     108.48);
    EXPECT_EQ(report.valueForBond(bond("B", "50", "EE", "2001", "May")), 25.0);
    EXPECT_EQ(report.valueForBond(bond("C", "50", "EE", "2001", "April")), std::nullopt);
    owner.year = "2010";
    owner.month = "05";
    EXPECT_DOUBLE_EQ(
        report.valueForBond(bond("D", "1000", "I", "1998", "September")).value_or(-1.0), 1844.4);
}

TEST(ValueTableLoading, OneReadTableIsSharedUntilItsFileChanges) {
    TempDir dir;
    const ResourceLocations resources(dir / "shipped", dir.path());
    const auto write = [&](const char* leaf) {
        ASSERT_TRUE(writePropertyList(
            dir / "BondTable.plist",
            PlistValue(makeValueTable({{"EE", "2009", "06", "2001", "March", leaf}}))));
    };
    const auto leafOf = [](const PlistDictRef& table) {
        const PlistValue* found = plistFind(table.get(), {"EE", "2009", "06", "2001", "March"});
        return found != nullptr ? found->text() : std::string();
    };
    write("002712");
    const PlistDictRef first = loadBondTable(resources);
    EXPECT_EQ(loadBondTable(resources), first);
    write("003000");
    const PlistDictRef second = loadBondTable(resources);
    EXPECT_NE(second, first);
    EXPECT_EQ(leafOf(second), "003000");
    EXPECT_EQ(leafOf(first), "002712") << "a holder keeps the table it read";
    std::filesystem::remove(dir / "BondTable.plist");
    EXPECT_EQ(loadBondTable(resources), nullptr);
}

TEST(AmountText, CutsToTwoDecimalsWithoutRounding) {
    EXPECT_EQ(amountText(1234.5), "$1234.50");
    EXPECT_EQ(amountText(27.125), "$27.12");
    EXPECT_EQ(amountText(27.129999), "$27.12");
    EXPECT_EQ(amountText(27.1299996), "$27.13");
    EXPECT_EQ(amountText(0.0), "$0.00");
    EXPECT_EQ(amountText(1234567.891), "$1234567.89");
    EXPECT_EQ(cutToTwoDecimals("inf"), "");
}

TEST(StoredValueText, NumbersAreShownPlainly) {
    EXPECT_EQ(storedValueText(PlistValue("100")), "100");
    EXPECT_EQ(storedValueText(PlistValue::integer(100)), "100");
    EXPECT_EQ(storedValueText(PlistValue::integer(-7)), "-7");
    EXPECT_EQ(storedValueText(PlistValue(100.5)), "100.5");
    EXPECT_EQ(storedValueText(PlistValue()), "");
}

} // namespace

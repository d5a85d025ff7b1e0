#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "support/TempDir.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueFileMerge.h"
#include "valuation/ValueTableFile.h"
#include "valuation/ValueTableMonths.h"

#include <gtest/gtest.h>

namespace {

// The official Treasury value file for June to November 2016, kept with the table builder's data.
const std::filesystem::path kOfficialFile =
    std::filesystem::path(ORVELT_SOURCE_DIR) / "tools" / "data" / "sb201606.asc";

std::string leafAt(const PlistDict& table, std::initializer_list<std::string_view> path) {
    const PlistValue* found = plistFind(&table, path);
    return found == nullptr ? "(absent)" : found->text();
}

// The table as its file holds it: written, then read back as a property list.
PlistDict writtenTable(const ValueTableRef& table) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(table != nullptr && writeValueTableFile(dir / "BondTable.plist", *table, &error))
        << error;
    const PlistValue read = readPropertyList(dir / "BondTable.plist", &error);
    EXPECT_NE(read.dictPtr(), nullptr) << error;
    return read.dictPtr() != nullptr ? *read.dictPtr() : PlistDict();
}

PlistDict merged(const ValueTableRef& table, std::string_view text,
                 const ValueFileOptions& options = {}) {
    std::string error;
    const ValueTableRef result = mergeValueFile(table.get(), text, "m.asc", &error, options);
    EXPECT_NE(result, nullptr) << error;
    return writtenTable(result);
}

// Eighty-three characters: "I 2016 06 <year>" and twelve leaves.
std::string line(std::string_view head, std::string_view leaves) {
    std::string text(head);
    text += leaves;
    return text;
}
const std::string kTwelveValues = "000100000200000300000400000500000600000700000800000900001000"
                                  "001100001200";

TEST(OfficialValueFile, ConvertsEveryLineWithTheLeavesAsTheFileHasThem) {
    const PlistDict table = merged(nullptr, readWholeFile(kOfficialFile));

    // Leaves read by hand from the file's text (line numbers of sb201606.asc):
    // line 1 "E2016061980011062011062011062011062011175011175" then 36 spaces.
    EXPECT_EQ(leafAt(table, {"E", "2016", "06", "1980", "January"}), "011062");
    EXPECT_EQ(leafAt(table, {"E", "2016", "06", "1980", "May"}), "011175");
    EXPECT_EQ(leafAt(table, {"E", "2016", "06", "1980", "July"}), "      ");
    // line 16, E 1965: December "012812", the first 30-year E bond.
    EXPECT_EQ(leafAt(table, {"E", "2016", "06", "1965", "December"}), "012812");
    // line 41, savings notes 1970: October "013870", none issued in November.
    EXPECT_EQ(leafAt(table, {"S", "2016", "06", "1970", "October"}), "013870");
    EXPECT_EQ(leafAt(table, {"S", "2016", "06", "1970", "November"}), "      ");
    // line 266, N (series EE) 2015: June "001253" payable, July "NO PAY".
    EXPECT_EQ(leafAt(table, {"EE", "2016", "06", "2015", "June"}), "001253");
    EXPECT_EQ(leafAt(table, {"EE", "2016", "06", "2015", "July"}), "NO PAY");
    // line 480, N 1986 in November 2016: November "005184".
    EXPECT_EQ(leafAt(table, {"EE", "2016", "11", "1986", "November"}), "005184");
    // line 501, I 2002: January "004575"; line 505, I 1998: none before September.
    EXPECT_EQ(leafAt(table, {"I", "2016", "06", "2002", "January"}), "004575");
    EXPECT_EQ(leafAt(table, {"I", "2016", "06", "1998", "August"}), "      ");
    EXPECT_EQ(leafAt(table, {"I", "2016", "06", "1998", "September"}), "006759");
    EXPECT_EQ(leafAt(table, {"N", "2016", "06", "2015", "June"}), "(absent)");

    // 600 lines: 40 E, 4 S, 37 EE and 19 I issue years in each of six months.
    EXPECT_EQ(table.keys(), (std::vector<std::string>{"E", "EE", "I", "S"}));
    EXPECT_EQ(plistFind(&table, {"E", "2016", "06"})->dictPtr()->size(), 40u);
    EXPECT_EQ(plistFind(&table, {"I", "2016"})->dictPtr()->keys(),
              (std::vector<std::string>{"06", "07", "08", "09", "10", "11"}));
    EXPECT_EQ(plistFind(&table, {"S", "2016", "06", "1967"})->dictPtr()->keys().front(), "January");
}

TEST(OfficialValueFile, EveryLineFormatsBackToItsOwnText) {
    const std::string text = readWholeFile(kOfficialFile);
    std::vector<ValueFileLine> lines;
    std::string error;
    ASSERT_TRUE(parseValueFile(text, "sb201606.asc", lines, &error)) << error;
    ASSERT_EQ(lines.size(), 600u);
    std::string again;
    for (const ValueFileLine& parsed : lines) {
        again += formatValueFileLine(parsed) + "\n";
    }
    EXPECT_EQ(again, text);
}

TEST(ValueFileLines, ByteOrderMarkCarriageReturnsBlankAndRepeatedLinesAreAccepted) {
    const std::string blanksThenTwo = std::string(60, ' ') + "002500002510";
    const std::string text = "\xEF\xBB\xBF\r\n" + line("I2009061998", blanksThenTwo) + "\r\n" +
                             line("I2009061999", kTwelveValues) + "\n\n" +
                             line("I2009061998", blanksThenTwo) + "\n";
    const PlistDict table = merged(nullptr, text);
    EXPECT_EQ(leafAt(table, {"I", "2009", "06", "1998", "December"}), "002510");
    EXPECT_EQ(leafAt(table, {"I", "2009", "06", "1998", "January"}), "      ");
    EXPECT_EQ(leafAt(table, {"I", "2009", "06", "1999", "January"}), "000100");
    EXPECT_EQ(plistFind(&table, {"I", "2009", "06"})->dictPtr()->size(), 2u);
}

TEST(ValueFileLines, MalformedLinesAreReportedWithFileAndLineAndChangeNothing) {
    struct Case {
        std::string badLine;
        std::string fault;
    };
    const std::vector<Case> cases = {
        {line("X2009061998", kTwelveValues), "series code \"X\""},
        {line("i2009061998", kTwelveValues), "series code \"i\""},
        {line("I20O9061998", kTwelveValues), "redemption year \"20O9\""},
        {line("I2009131998", kTwelveValues), "redemption month \"13\""},
        {line("I2009001998", kTwelveValues), "redemption month \"00\""},
        {line("I2009 61998", kTwelveValues), "redemption month \" 6\""},
        {line("I200906199 ", kTwelveValues), "issue year \"199 \""},
        {"I200906", "issue year \"    \""},
        {line("I2009061998", "00010A" + kTwelveValues.substr(6)), "January 1998, \"00010A\""},
        {line("I2009061998", kTwelveValues.substr(0, 66) + "NO  PA"), "December 1998, \"NO  PA\""},
        {line("I2009061998", kTwelveValues.substr(0, 66) + "------"), "December 1998"},
        {line("I2009061998", kTwelveValues.substr(0, 60) + " 00120"), "November 1998, \" 00120\""},
        {line("I2009061998", kTwelveValues) + "0", "84 characters"},
        {line("I2009061998", kTwelveValues) + "\r\r", "84 characters"},
        // Cut short: the key alone, at a leaf boundary, and one character before the end.
        {"I2009061998", "cut short: it has 11 of the 83 characters"},
        {line("I2009061998", kTwelveValues.substr(0, 36)), "values from July 1998 on are missing"},
        {line("I2009061998", kTwelveValues.substr(0, 71)), "82 of the 83"},
        // Years no bond can have.
        {line("I0000061998", kTwelveValues), "redemption year 0000"},
        {line("I2109061998", kTwelveValues), "redemption year 2109"},
        {line("I2009069999", kTwelveValues), "issue year 9999 is after the redemption year 2009"},
        {line("I2009062010", kTwelveValues), "issue year 2010 is after"},
        {line("I2009061997", kTwelveValues), "series I bonds were issued (from 1998)"},
        {line("N2009061979", kTwelveValues), "series EE bonds were issued (from 1980)"},
        {line("E2009061981", kTwelveValues), "series E bonds were issued (1941 to 1980)"},
        {line("S2009061966", kTwelveValues), "series S bonds were issued (1967 to 1970)"},
        // The key of line 1 again, with other values.
        {line("I2009051999", "NO PAY" + kTwelveValues.substr(6)),
         "the values for series I bonds of 1999 redeemed in May 2009 differ from those of line 1"},
    };
    std::string error;
    const ValueTableRef table =
        mergeValueFile(nullptr, line("I2009061999", kTwelveValues), "first.asc", &error);
    ASSERT_NE(table, nullptr) << error;
    for (const Case& c : cases) {
        const std::string text = line("I2009051999", kTwelveValues) + "\n\n" + c.badLine + "\n" +
                                 line("I2009061998", kTwelveValues) + "\n";
        EXPECT_EQ(mergeValueFile(table.get(), text, "broken.asc", &error), nullptr) << c.badLine;
        EXPECT_EQ(error.rfind("broken.asc, line 3: ", 0), 0u) << error;
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    }
    // The table merged into is never changed.
    EXPECT_EQ(table->redemptionMonths(), (std::vector<YearMonth>{{2009, 6}}));
    EXPECT_EQ(table->cell(BondSeries::I, {2009, 6}, {1999, 1}), 100);
}

TEST(ValueFileLines, UnprintableBytesAreShownSafelyAndEmptyFilesRefused) {
    std::string error;
    EXPECT_EQ(mergeValueFile(nullptr, std::string("\x01\xff", 2), "binary.bin", &error), nullptr);
    EXPECT_EQ(
        error,
        "binary.bin, line 1: the series code \"?\" is not E, I, S or N (the code of series EE).");
    EXPECT_EQ(mergeValueFile(nullptr, "\n \r\n", "empty.asc", &error), nullptr);
    EXPECT_EQ(error, "empty.asc holds no savings bond values.");
}

TEST(ValueFileMerge, LaterValuesWinKeysStayInOrderAndSharedLevelsStayUntouched) {
    const ValueTableRef first = mergeValueFile(
        nullptr, line("I2016061999", kTwelveValues) + "\n" + line("N2016061999", kTwelveValues),
        "a.asc", nullptr);
    ASSERT_NE(first, nullptr);
    const std::string later = line("I2016061999", "NO PAY" + kTwelveValues.substr(6)) + "\n" +
                              line("I2009121999", kTwelveValues) + "\n" +
                              line("I2016061998", kTwelveValues) + "\n" +
                              line("E2016061980", kTwelveValues);
    const PlistDict table = merged(first, later);

    EXPECT_EQ(leafAt(table, {"I", "2016", "06", "1999", "January"}), "NO PAY");
    EXPECT_EQ(leafAt(table, {"I", "2016", "06", "1999", "February"}), "000200");
    EXPECT_EQ(leafAt(table, {"EE", "2016", "06", "1999", "January"}), "000100");
    EXPECT_EQ(table.keys(), (std::vector<std::string>{"E", "EE", "I"}));
    EXPECT_EQ(plistFind(&table, {"I"})->dictPtr()->keys(),
              (std::vector<std::string>{"2009", "2016"}));
    EXPECT_EQ(plistFind(&table, {"I", "2016", "06"})->dictPtr()->keys(),
              (std::vector<std::string>{"1998", "1999"}));
    EXPECT_EQ(plistFind(&table, {"I", "2016", "06", "1999"})->dictPtr()->keys().back(), "December");
    // A report that loaded the table earlier keeps what it read.
    EXPECT_EQ(first->cell(BondSeries::I, {2016, 6}, {1999, 1}), 100);
}

TEST(ValueFileMerge, UnknownLeavesAreForTheTableBuilderOnlyAndLeaveKeysOut) {
    const std::string text = line("I2009061999", "------" + kTwelveValues.substr(6)) + "\n" +
                             line("I2009061998", std::string(72, '-'));
    EXPECT_EQ(mergeValueFile(nullptr, text, "computed.asc", nullptr), nullptr);
    ValueFileOptions builder;
    builder.allowUnknownLeaves = true;
    const PlistDict table = merged(nullptr, text, builder);
    EXPECT_EQ(leafAt(table, {"I", "2009", "06", "1999", "January"}), "(absent)");
    EXPECT_EQ(leafAt(table, {"I", "2009", "06", "1999", "February"}), "000200");
    EXPECT_EQ(plistFind(&table, {"I", "2009", "06", "1998"}), nullptr);
}

TEST(ValueFileMerge, WritesOnlyWhenEveryFileIsGood) {
    TempDir dir;
    writeWholeFile(dir / "good.asc", line("I2016061999", kTwelveValues) + "\n");
    writeWholeFile(dir / "bad.asc", line("I2016061998", kTwelveValues) + "\nI2016\n");
    const std::filesystem::path destination = dir / "BondTable.plist";
    writeWholeFile(destination, "previous content");

    std::string error;
    EXPECT_FALSE(writeTableWithValueFiles(nullptr, {dir / "good.asc", dir / "bad.asc"}, destination,
                                          &error));
    EXPECT_EQ(error.rfind("bad.asc, line 2: ", 0), 0u) << error;
    EXPECT_FALSE(writeTableWithValueFiles(nullptr, {dir / "good.asc", dir / "missing.asc"},
                                          destination, &error));
    EXPECT_NE(error.find("missing.asc"), std::string::npos) << error;
    EXPECT_EQ(readWholeFile(destination), "previous content");

    const ValueTableRef base =
        mergeValueFile(nullptr, line("S2016061970", kTwelveValues), "s", nullptr);
    ASSERT_TRUE(writeTableWithValueFiles(base.get(), {dir / "good.asc"}, destination, &error))
        << error;
    const PlistValue written = readPropertyList(destination);
    ASSERT_NE(written.dictPtr(), nullptr);
    EXPECT_EQ(written.dictPtr()->keys(), (std::vector<std::string>{"I", "S"}));
    EXPECT_EQ(leafAt(*written.dictPtr(), {"I", "2016", "06", "1999", "December"}), "001200");
    EXPECT_EQ(base->cell(BondSeries::I, {2016, 6}, {1999, 12}), kMissingCell);
}

TEST(UserValueTable, UpdatesTheUsersCopyAndNeverTheShippedTable) {
    TempDir shipped;
    TempDir user;
    const ValueTableRef shippedTable =
        mergeValueFile(nullptr, line("I2009061999", kTwelveValues), "s", nullptr);
    ASSERT_TRUE(writeValueTableFile(shipped / "BondTable.plist", *shippedTable));
    const std::string shippedBytes = readWholeFile(shipped / "BondTable.plist");
    const ResourceLocations locations(shipped.path(), user.path() / "data");
    writeWholeFile(shipped / "v2016.asc", line("I2016061999", kTwelveValues) + "\n");
    writeWholeFile(shipped / "v2017.asc", line("I2017061999", kTwelveValues) + "\n");

    std::string error;
    ASSERT_TRUE(updateUserValueTable(locations, {shipped / "v2016.asc"}, &error)) << error;
    ASSERT_TRUE(updateUserValueTable(locations, {shipped / "v2017.asc"}, &error)) << error;
    const ValueTableRef mine = readValueTableFile(user.path() / "data" / "BondTable.plist");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(redemptionMonthsInTable(mine.get()),
              (std::vector<RedemptionMonth>{{2009, 6}, {2016, 6}, {2017, 6}}));
    EXPECT_EQ(readWholeFile(shipped / "BondTable.plist"), shippedBytes);

    // A damaged copy is reported and left for the user to remove, not silently replaced.
    writeWholeFile(user.path() / "data" / "BondTable.plist", "<plist><dict>");
    EXPECT_FALSE(updateUserValueTable(locations, {shipped / "v2016.asc"}, &error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
    EXPECT_EQ(readWholeFile(user.path() / "data" / "BondTable.plist"), "<plist><dict>");
}

// A file leaf that differs from one the table holds (a value turned into "NO PAY" or six spaces
// alike) is refused and named, nothing written, unless the user agreed to exactly those changes;
// a month the table lacks needs no consent.
TEST(UserValueTable, AChangedValueIsRefusedAndNamedUnlessAccepted) {
    TempDir shipped;
    TempDir user;
    const ValueTableRef shippedTable =
        mergeValueFile(nullptr, line("I2009061999", kTwelveValues), "s", nullptr);
    ASSERT_TRUE(writeValueTableFile(shipped / "BondTable.plist", *shippedTable));
    const ResourceLocations locations(shipped.path(), user.path() / "data");
    const std::filesystem::path changed = shipped / "changed.asc";
    writeWholeFile(changed, line("I2009061999", kTwelveValues.substr(0, 6) + "NO PAY      " +
                                                    kTwelveValues.substr(18)) +
                                "\n" + line("I2009071999", kTwelveValues) + "\n");

    std::string error;
    ValueChangeConsent consent;
    EXPECT_FALSE(updateUserValueTable(locations, {changed}, &error, &consent));
    EXPECT_EQ(error, "2 values the value table already holds would change:\n"
                     "Series I, redeemed in June 2009, issued in February 1999: 000200 in the "
                     "table, NO PAY in changed.asc\n"
                     "Series I, redeemed in June 2009, issued in March 1999: 000300 in the table, "
                     "six spaces in changed.asc");
    ASSERT_EQ(consent.refused.size(), 2u);
    consent.accepted = {consent.refused.front()};
    EXPECT_FALSE(updateUserValueTable(locations, {changed}, &error, &consent));
    EXPECT_FALSE(std::filesystem::exists(user.path() / "data" / "BondTable.plist"));

    consent.accepted = consent.refused;
    ASSERT_TRUE(updateUserValueTable(locations, {changed}, &error, &consent)) << error;
    const ValueTableRef mine = readValueTableFile(user.path() / "data" / "BondTable.plist");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->cell(BondSeries::I, {2009, 6}, {1999, 2}), kNoPayCell);
    EXPECT_EQ(mine->cell(BondSeries::I, {2009, 6}, {1999, 3}), kInvalidCell);
    EXPECT_EQ(mine->cell(BondSeries::I, {2009, 7}, {1999, 1}), 100);
}

TEST(RedemptionMonths, ListsTheMonthsAndNamesThemInTheRefusal) {
    std::string lines;
    for (const char* month : {"2009 06", "2009 12", "2010 01", "2010 05"}) {
        std::string head = std::string("I") + month + "1999";
        head.erase(5, 1);
        lines += line(head, kTwelveValues) + "\n";
    }
    PlistDict table = merged(nullptr, lines);
    table.set("notes", PlistValue("not a series"));
    const ValueTableRef typed = valueTableOfDictionary(table);
    EXPECT_EQ(redemptionMonthsInTable(typed.get()),
              (std::vector<RedemptionMonth>{{2009, 6}, {2009, 12}, {2010, 1}, {2010, 5}}));
    EXPECT_EQ(redemptionYearTexts(redemptionMonthsInTable(typed.get())),
              (std::vector<std::string>{"2009", "2010"}));
    EXPECT_TRUE(holdsRedemptionMonth(redemptionMonthsInTable(typed.get()), 2010, 1));
    EXPECT_FALSE(holdsRedemptionMonth(redemptionMonthsInTable(typed.get()), 2010, 2));
    EXPECT_TRUE(redemptionMonthsInTable(nullptr).empty());

    std::vector<RedemptionMonth> window;
    for (int m = 6; m <= 12; ++m) {
        window.push_back({2009, m});
    }
    for (int m = 1; m <= 5; ++m) {
        window.push_back({2010, m});
    }
    const std::string add = " To add values for other months, choose Update Values… with the "
                            "Treasury's value files for them.";
    EXPECT_EQ(unsupportedRedemptionDateMessage(window, RedemptionMonth{2010, 6}),
              "The value table holds no values for June 2010. It holds values from June 2009 to "
              "May 2010." +
                  add);
    std::vector<RedemptionMonth> more = window;
    for (int m = 6; m <= 11; ++m) {
        more.push_back({2016, m});
    }
    EXPECT_EQ(unsupportedRedemptionDateMessage(more, std::nullopt, "Import them."),
              "The value table holds no values for that month. It holds values from June 2009 to "
              "May 2010 and June 2016 to November 2016. Import them.");
    more.insert(more.begin() + 12, RedemptionMonth{2012, 3});
    EXPECT_EQ(unsupportedRedemptionDateMessage(more, RedemptionMonth{2001, 1}),
              "The value table holds no values for January 2001. It holds values from June 2009 "
              "to May 2010, March 2012 to March 2012 and June 2016 to November 2016." +
                  add);
    EXPECT_EQ(unsupportedRedemptionDateMessage({}, RedemptionMonth{2009, 6}),
              "The value table holds no values for June 2009. It holds no redemption dates at "
              "all." +
                  add);
}

} // namespace

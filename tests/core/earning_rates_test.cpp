// The rates shipped beside the value table against the table's own values, and the interest
// rate, next accrual and year's interest of bonds at the edges of their rules, read through the
// shipped resources as the application reads them.

#include "core/value_table_fixture.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "support/TempDir.h"
#include "valuation/EarningRates.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ValueSources.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

const ValueTable& shippedTable() {
    static const TempDir userData;
    static const ValueTableRef table = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", userData.path()));
    return *table;
}

Bond bond(const std::string& series, const std::string& face, YearMonth issue) {
    PlistDictRef record = PlistDict::create();
    record->set("Serial", std::string("S1"));
    record->set("Type", series);
    record->set("Face Value", face);
    record->set("Issue Year", std::to_string(issue.year));
    record->set("Issue Month", std::string(monthName(issue.month)));
    return Bond::fromRecord(PlistValue(record));
}

// Interest rate, next accrual and value of a bond, as the report shows them.
std::string earnings(const std::string& series, const std::string& face, YearMonth issue,
                     YearMonth month) {
    const OwnerFigures figures =
        ownerFiguresOfBond(&shippedTable(), bond(series, face, issue), month);
    return interestRateText(figures.interestRate) + " " + nextAccrualText(figures.nextAccrual) +
           " " + ownerAmountText(figures.value);
}

// For every bond and month of the table with a value and a known rate, the value at the next
// accrual is the value now grown by that rate over the accrual step, within the table's rounding
// (a cent per $25, grown). Within five years the shown value is that of three months before, so
// its growth is by that month's rate; the step where the penalty ends, and the EE bond set to face
// value at original maturity, grow by other rules.
TEST(EarningRatesTest, TheTableGrowsByTheRatesShippedBesideIt) {
    const ValueTable& table = shippedTable();
    ASSERT_NE(table.earningRates(), nullptr);
    int checked = 0;
    for (const auto& [series, kind, firstIssue] :
         {std::tuple{"E", BondSeries::E, YearMonth{1941, 5}},
          {"S", BondSeries::S, {1967, 5}},
          {"EE", BondSeries::EE, {1980, 1}},
          {"I", BondSeries::I, {1998, 9}}}) {
        for (YearMonth issue = firstIssue; issue < kShippedLastMonth; issue = issue.plusMonths(1)) {
            const Bond unit = bond(series, "25", issue);
            const int step = table.earningRates()->accrualStepMonths(kind, issue);
            for (YearMonth month = kShippedFirstMonth; month < kShippedLastMonth;
                 month = month.plusMonths(1)) {
                const OwnerFigures now = ownerFiguresOfBond(&table, unit, month);
                const YearMonth accrual = now.nextAccrual.month;
                if (now.nextAccrual.kind != NextAccrual::Kind::Month || !now.value ||
                    now.leaf != TableEntry::Kind::Value || accrual > kShippedLastMonth) {
                    continue;
                }
                const OwnerFigures later = ownerFiguresOfBond(&table, unit, accrual);
                const bool penalty = now.status == BondStatus::IncludesPenalty;
                const EarningRate rate =
                    penalty ? table.earningRates()->rateIn(kind, issue, month.plusMonths(-3))
                            : now.interestRate;
                if (later.leaf != TableEntry::Kind::Value ||
                    rate.kind != EarningRate::Kind::Known ||
                    penalty != (later.status == BondStatus::IncludesPenalty) ||
                    (kind == BondSeries::EE && *now.value < Amount::ofCents(2500) &&
                     *later.value == Amount::ofCents(2500))) {
                    continue;
                }
                const double growth =
                    std::pow(1.0 + rate.hundredthsOfPercent / 20000.0, step / 6.0);
                ASSERT_LE(std::abs(later.value->dollars() - now.value->dollars() * growth),
                          0.01 * growth + 1e-9)
                    << series << " " << issue.keyText() << " " << month.keyText();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 100000);
}

TEST(EarningRatesTest, RateAndNextAccrualAtTheEdgesOfTheRules) {
    // The Treasury's calculator: $5,000 I of June 2003 in January 2013, fixed 1.10 % with the
    // November 2012 inflation rate 0.88 %; from June its next period takes May 2013's 0.59 %.
    EXPECT_EQ(earnings("I", "5000", {2003, 6}, {2013, 1}), "2.87% 2013-02 $7216.00");
    EXPECT_EQ(earnings("I", "5000", {2003, 6}, {2013, 5}), "2.87% 2013-06 $7284.00");
    EXPECT_EQ(earnings("I", "5000", {2003, 6}, {2013, 6}), "2.29% 2013-07 $7302.00");
    // EE of January 2003 below face value at 17 years is set to it, then earns the market-based
    // rate of its period (May 2019: 2.30 %, November 2019: 1.57 %).
    EXPECT_EQ(earnings("EE", "100", {2003, 1}, {2019, 12}), "2.30% 2020-01 $72.84");
    EXPECT_EQ(earnings("EE", "100", {2003, 1}, {2020, 1}), "1.57% 2020-02 $100.00");
    // EE of November 1986 on the guaranteed minimum, growing every six months, at and past final
    // maturity.
    EXPECT_EQ(earnings("EE", "100", {1986, 11}, {2016, 10}), "4.00% 2016-11 $203.28");
    EXPECT_EQ(earnings("EE", "100", {1986, 11}, {2016, 11}), "none none $207.36");
    EXPECT_EQ(earnings("EE", "100", {1986, 11}, {2017, 1}), "none none $207.36");
    // Series E in its last extension earns 4% every six months; where its rounding is not
    // settled neither its value nor its rate is known.
    EXPECT_EQ(earnings("E", "100", {1980, 6}, {2009, 6}), "4.00% 2009-12 $429.64");
    EXPECT_EQ(earnings("E", "100", {1980, 1}, {2009, 6}), "not known 2009-07 not known");
    // The last month the rates cover, the month the application opens on, is covered.
    const OwnerFigures last =
        ownerFiguresOfBond(&shippedTable(), bond("EE", "100", {2020, 1}), kShippedLastMonth);
    EXPECT_EQ(last.interestRate.kind, EarningRate::Kind::Known);
}

// The rates come with the table: missing or damaged, the table is not used and the problem names
// the file, the reason and what to do. Months the rates do not cover tell neither a rate nor a
// next accrual.
TEST(EarningRatesTest, ARatesFileMissingOrDamagedIsNamedAndOneNotCoveringTheMonthTellsNothing) {
    TempDir dir;
    const std::filesystem::path shipped = dir / "shipped";
    std::filesystem::create_directories(shipped);
    const ResourceLocations resources(shipped, dir / "data");
    ASSERT_TRUE(writePropertyList(
        shipped / "BondTable.plist",
        PlistValue(makeValueTable({{"EE", "2020", "01", "2010", "March", "001234"}}))));
    const std::filesystem::path rates = shipped / "EarningRates.plist";
    std::string problem;
    EXPECT_EQ(loadBondTable(resources, &problem), nullptr);
    EXPECT_EQ(problem, "The earning rates file " + rates.string() +
                           " cannot be read: it is missing. Install Orvelt again to put back a "
                           "whole copy.");
    writeWholeFile(rates, "<plist><dict><key>Months</key>");
    EXPECT_EQ(loadBondTable(resources, &problem), nullptr);
    EXPECT_NE(problem.find(rates.string() + " cannot be read: "), std::string::npos) << problem;
    EXPECT_NE(problem.find(". Install Orvelt again"), std::string::npos) << problem;

    const PlistValue shippedRates =
        readPropertyList(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" / rates.filename());
    ASSERT_NE(shippedRates.dictPtr(), nullptr);
    for (const std::string months : {"2009-06 2026-11", "2020-02 2026-11"}) {
        SCOPED_TRACE(months);
        const PlistDictRef shifted = shippedRates.dict()->copy();
        shifted->set("Months", months);
        ASSERT_TRUE(writePropertyList(rates, PlistValue(shifted)));
        const ValueTableRef table = loadBondTable(resources, &problem);
        ASSERT_NE(table, nullptr) << problem;
        const OwnerFigures figures =
            ownerFiguresOfBond(table.get(), bond("EE", "100", {2010, 3}), YearMonth{2020, 1});
        const bool covered = months.starts_with("2009");
        EXPECT_EQ(figures.interestRate.kind == EarningRate::Kind::Known, covered);
        EXPECT_EQ(nextAccrualText(figures.nextAccrual), covered ? "2020-02" : "not known");
    }
}

// As the Treasury's calculator counts it: a $1,000 I bond of March 2020 could not be cashed in
// December 2020, yet its interest of 2021 counts from the value the rules gave it then.
TEST(EarningRatesTest, TheYearsInterestCountsFromADecemberWithoutPayment) {
    const OwnerFigures april =
        ownerFiguresOfBond(&shippedTable(), bond("I", "1000", {2020, 3}), YearMonth{2021, 4});
    EXPECT_EQ(ownerAmountText(april.interestThisYear), "$4.40");
}

TEST(EarningRatesTest, RatesNotOfTheirFormAreRefused) {
    PlistDictRef root = PlistDict::create();
    root->set("Months", std::string("2009-06 2026-11"));
    root->set("Rates", PlistValue(std::make_shared<PlistArray>(PlistArray{"2.87 official"})));
    PlistDictRef issues = PlistDict::create();
    root->set("I", PlistValue(issues));
    issues->set("2003-06", std::string("1 115:0"));
    TempDir dir;
    const auto ratesOf = [&](std::string* error) {
        EXPECT_TRUE(writePropertyList(dir / "EarningRates.plist", PlistValue(root)));
        return readEarningRatesFile(dir / "EarningRates.plist", error);
    };
    ASSERT_NE(ratesOf(nullptr), nullptr);
    for (const char* text : {"1 115:1", "2 115:0", "1 115:0 115:-", "1 Y2013-12= 115:0"}) {
        issues->set("2003-06", std::string(text));
        std::string error;
        EXPECT_EQ(ratesOf(&error), nullptr) << text;
        EXPECT_NE(error, "") << text;
    }
}

} // namespace

// The tax year and the estate listing on the shipped value table: a year in which one bond is
// bought, one cashed and one reaches final maturity; cash and accrual reporting over a bond's
// life; the education exclusion's age rule at its boundary; the estate's total at the limit for
// settling without administration.

#include "platform/ResourceLocations.h"
#include "support/TempDir.h"
#include "valuation/EstateListing.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ReportableSchedule.h"
#include "valuation/TaxYear.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const ValueTable* shippedTable() {
    static const TempDir userData;
    static const ValueTableRef table = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", userData.path()));
    return table.get();
}

Bond bondOf(const std::string& serial, const std::string& series, const std::string& face,
            YearMonth issue, const std::string& cashed = {}, const std::string& received = {}) {
    Bond bond(serial, series, face, std::to_string(issue.year),
              std::string(monthName(issue.month)));
    bond.setCashed(cashed);
    bond.setAmountReceived(received);
    return bond;
}

// The report's value of the bond at `month`; the test fails where the table has none.
Amount reportValue(const Bond& bond, YearMonth month) {
    const std::optional<Amount> value = valueFiguresOfBond(shippedTable(), bond, month).value;
    EXPECT_TRUE(value) << bond.serial << " at " << month.keyText();
    return value.value_or(Amount());
}

const TaxYearRow& rowOf(const TaxYearReport& report, const std::string& serial) {
    for (const TaxYearRow& row : report.rows) {
        if (row.bond.serial == serial) {
            return row;
        }
    }
    ADD_FAILURE() << serial << " is not listed";
    return report.rows.front();
}

TEST(TaxYearTest, BoughtCashedAndFinallyMaturedInOneYear) {
    const Bond bought = bondOf("BOUGHT", "EE", "100", {2020, 3});
    const Bond cashed = bondOf("CASHED", "I", "1000", {2010, 1}, "2020-06", "1100.40");
    const Bond matured = bondOf("MATURED", "EE", "100", {1990, 5});
    const Bond gone = bondOf("GONE", "I", "50", {2010, 1}, "2019-11", "60.00");
    const std::vector<Bond> bonds = {bought, cashed, matured, gone};

    const TaxYearReport cash =
        computeTaxYear(bonds, "Family", shippedTable(), 2020, TaxMethod::Cash, std::nullopt);
    ASSERT_EQ(cash.rows.size(), 3u) << "a bond cashed the year before is not held";
    EXPECT_EQ(cash.rows.front().bond.serial, "MATURED") << "issue-date order";

    // Bought in the year: it earns from its price and nothing is reportable before cashing.
    const TaxYearRow& boughtRow = rowOf(cash, "BOUGHT");
    EXPECT_EQ(boughtRow.reportable, Amount());
    EXPECT_EQ(boughtRow.earned,
              yearEndValueOfBond(shippedTable(), bought, 2020).value() - Amount::ofCents(5000));
    ASSERT_TRUE(boughtRow.earned);
    EXPECT_GT(*boughtRow.earned, Amount());

    // Cashed: received less price is the Form 1099-INT's amount and all of it is reportable.
    const TaxYearRow& cashedRow = rowOf(cash, "CASHED");
    EXPECT_EQ(cashedRow.cashedInYear, (YearMonth{2020, 6}));
    EXPECT_EQ(cashedRow.form1099, Amount::ofCents(10040));
    EXPECT_EQ(cashedRow.reportable, cashedRow.form1099);
    EXPECT_EQ(cashedRow.earned, reportValue(cashed, {2020, 6}) - reportValue(cashed, {2019, 12}));

    // Final maturity in May 2020: all interest is reportable though it is not cashed, and it
    // earns nothing after that month.
    const TaxYearRow& maturedRow = rowOf(cash, "MATURED");
    EXPECT_EQ(maturedRow.maturedInYear, (YearMonth{2020, 5}));
    EXPECT_EQ(maturedRow.reportable, reportValue(matured, {2020, 5}) - Amount::ofCents(5000));
    EXPECT_EQ(maturedRow.earned,
              reportValue(matured, {2020, 5}) - reportValue(matured, {2019, 12}));
    ASSERT_TRUE(cashedRow.reportable && maturedRow.reportable);
    EXPECT_EQ(cash.reportable.known, *cashedRow.reportable + *maturedRow.reportable);
    EXPECT_EQ(cash.form1099.known, Amount::ofCents(10040));

    // The year after, the matured bond earns nothing and nothing more of it is reportable.
    const TaxYearReport next =
        computeTaxYear({matured}, "Family", shippedTable(), 2021, TaxMethod::Cash, std::nullopt);
    EXPECT_EQ(next.rows.front().earned, Amount());
    EXPECT_EQ(next.rows.front().reportable, Amount());

    // Before the table's first month the year's ends have no value: not known, never 0.
    const TaxYearReport before =
        computeTaxYear({bondOf("OLD", "EE", "100", {2000, 1})}, "Family", shippedTable(), 2008,
                       TaxMethod::Accrual, std::nullopt);
    EXPECT_FALSE(before.rows.front().earned);
    EXPECT_EQ(before.table().back()[7], "not known");
}

TEST(TaxYearTest, CashAndAccrualReportTheSameInterestOverABondsLife) {
    const Bond probe = bondOf("EE10", "EE", "500", {2010, 1});
    const Amount received = reportValue(probe, {2024, 3});
    const Bond bond =
        bondOf("EE10", "EE", "500", {2010, 1}, "2024-03", amountText(received).substr(1));
    Amount cash;
    Amount accrual;
    for (int year = 2010; year <= 2024; ++year) {
        const TaxYearReport byCash =
            computeTaxYear({bond}, "", shippedTable(), year, TaxMethod::Cash, std::nullopt);
        const TaxYearReport byAccrual =
            computeTaxYear({bond}, "", shippedTable(), year, TaxMethod::Accrual, std::nullopt);
        ASSERT_EQ(byAccrual.reportable.leftOut + byCash.reportable.leftOut, 0) << year;
        cash += *byCash.rows.front().reportable;
        accrual += *byAccrual.rows.front().reportable;
        EXPECT_EQ(byCash.rows.front().reportable,
                  year == 2024 ? received - Amount::ofCents(25000) : Amount())
            << year;
    }
    EXPECT_EQ(cash, accrual);
    EXPECT_EQ(cash, received - Amount::ofCents(25000));
}

TEST(TaxYearTest, EducationExclusionNeedsTheSeriesAndAnOwnerOf24BeforeTheIssueMonth) {
    const Bond iBond = bondOf("I1", "I", "100", {2010, 6});
    EXPECT_EQ(educationExclusion(iBond, YearMonth{1986, 6}), Qualifies::No) << "24 that month";
    EXPECT_EQ(educationExclusion(iBond, YearMonth{1986, 5}), Qualifies::Yes);
    EXPECT_EQ(educationExclusion(iBond, std::nullopt), Qualifies::NotKnown);
    EXPECT_EQ(educationExclusion(bondOf("EE1", "EE", "100", {1990, 1}), YearMonth{1950, 1}),
              Qualifies::Yes);
    EXPECT_EQ(educationExclusion(bondOf("EE2", "EE", "100", {1989, 12}), YearMonth{1950, 1}),
              Qualifies::No);
    EXPECT_EQ(educationExclusion(bondOf("E1", "E", "100", {1979, 1}), std::nullopt), Qualifies::No);
}

TEST(EstateListingTest, TheTotalAtTheLimitIsWithinItAndAMonthBeforeTheTableIsNotKnown) {
    // Not yet payable, each is held at its price, its face value.
    std::vector<Bond> bonds;
    for (int i = 0; i < 10; ++i) {
        Bond bond = bondOf("I" + std::to_string(i), "I", "10000", {2026, 1});
        bond.setOwner("Ann Smith");
        bonds.push_back(bond);
    }
    bonds.front().setSecondName("Ben Smith");
    bonds.front().setSecondNameIs("Beneficiary");
    bonds.push_back(bondOf("LATER", "I", "25", {2026, 7}));
    bonds.push_back(bondOf("CASHED", "I", "25", {2010, 1}, "2026-05", "30.00"));
    const YearMonth june{2026, 6};
    const EstateListing atLimit =
        computeEstateListing({{"Family", &bonds}}, "Family", false, shippedTable(), june);
    ASSERT_EQ(atLimit.rows.size(), 10u) << "bought later or cashed earlier: not held";
    EXPECT_EQ(atLimit.value.known, kSmallEstateLimit);
    EXPECT_EQ(atLimit.withinLimit(), true);
    EXPECT_EQ(atLimit.noteLines()[1], "The redemption value, $100000.00, is within the "
                                      "$100000.00 limit for settling without administration "
                                      "(FS Form 5336).");
    EXPECT_EQ(atLimit.table()[1][6], "Beneficiary");

    bonds.push_back(bondOf("MORE", "I", "25", {2026, 1}));
    const EstateListing over =
        computeEstateListing({{"Family", &bonds}}, "all portfolios", true, shippedTable(), june);
    EXPECT_EQ(over.withinLimit(), false);
    EXPECT_EQ(over.table().back()[9], "$100025.00");
    EXPECT_EQ(over.table().front().front(), "Portfolio");

    const std::vector<Bond> old = {bondOf("E1", "E", "100", {1970, 1})};
    const EstateListing early =
        computeEstateListing({{"Family", &old}}, "", false, shippedTable(), {2009, 5});
    EXPECT_FALSE(early.withinLimit());
    EXPECT_EQ(early.table().back()[8], "not known");
}

} // namespace

namespace {

TEST(TaxYearTest, WhatToDoNamesTheFinalMaturitiesOfThisYearAndTheNext) {
    const Bond thisYear = bondOf("A", "EE", "100", {1995, 5});
    const Bond march = bondOf("B", "EE", "50", {1996, 3});
    const Bond august = bondOf("C", "EE", "50", {1996, 8});
    const std::vector<Bond> bonds = {thisYear, march, august,
                                     bondOf("D", "EE", "50", {1996, 9}, "2025-01", "60.00")};
    const ReportSnapshot report =
        computeReportSnapshot(bonds, "Family", shippedTable(), YearMonth{2025, 6});
    const std::vector<std::string> lines = report.actionLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "1 EE bond reaches final maturity in 2025: " +
                  amountText(reportValue(thisYear, {2025, 5}) - Amount::ofCents(5000)) +
                  " of interest becomes reportable for 2025 even if it is not cashed.");
    // A bond cashed before its final maturity is not counted.
    const Amount next =
        reportValue(march, {2026, 3}) + reportValue(august, {2026, 8}) - Amount::ofCents(5000);
    EXPECT_EQ(lines.back(), "2 EE bonds reach final maturity in 2026: " + amountText(next) +
                                " of interest becomes reportable for 2026 even if they are not "
                                "cashed.");
    // Interest at a final maturity after the table's last month is projected, and says so.
    const ReportSnapshot later = computeReportSnapshot(
        {bondOf("M", "I", "50", {1998, 9})}, "Family", shippedTable(), YearMonth{2027, 6});
    const std::string line = later.actionLines().back();
    EXPECT_TRUE(line.starts_with("1 I bond reaches final maturity in 2028: ~$")) << line;
    EXPECT_NE(line.find(" of interest (projected) becomes reportable for 2028"), std::string::npos)
        << line;
}

TEST(TaxYearTest, AYearAfterTheTableMarksEveryProjectedFigureAndItsTotals) {
    const YearMonth last = shippedTable()->redemptionMonths().back();
    // I bonds were first issued in September 1998; one of then reaches final maturity after the
    // table.
    const int year = 2028;
    ASSERT_LT(last, (YearMonth{year, 1}));
    const Bond earning = bondOf("EARNING", "EE", "100", {2005, 1});
    const Bond maturing = bondOf("MATURING", "I", "50", {1998, 9});
    const Bond cashed =
        bondOf("CASHED", "I", "100", {2010, 1}, std::to_string(year) + "-03", "200.00");
    const Bond stopped = bondOf("STOPPED", "EE", "100", {1990, 5});
    const std::vector<Bond> bonds = {earning, maturing, cashed, stopped};

    const TaxYearReport report =
        computeTaxYear(bonds, "Family", shippedTable(), year, TaxMethod::Cash, std::nullopt);
    ASSERT_TRUE(report.projected());
    EXPECT_EQ(report.noteLines().front(), projectionCaptionAfter(last) + ".");
    const std::vector<TextRow> table = report.table();
    const auto cell = [&table, &report](const std::string& serial, std::size_t column) {
        const auto row =
            std::find_if(report.rows.begin(), report.rows.end(),
                         [&serial](const TaxYearRow& r) { return r.bond.serial == serial; });
        return table.at(static_cast<std::size_t>(row - report.rows.begin()) + 1).at(column);
    };
    EXPECT_EQ(cell("EARNING", 6).substr(0, 2), "~$");
    EXPECT_EQ(cell("MATURING", 7).substr(0, 2), "~$") << "final maturity's value is projected";
    EXPECT_EQ(cell("CASHED", 8), "$100.00") << "the amount received is never projected";
    EXPECT_EQ(cell("CASHED", 7), "$100.00");
    EXPECT_EQ(cell("STOPPED", 6), "$0.00") << "nothing earned after final maturity";
    EXPECT_EQ(table.back()[6].substr(0, 2), "~$");
    EXPECT_EQ(table.back()[7].substr(0, 2), "~$");
    EXPECT_EQ(table.back()[8], "$100.00");

    // The estate listing at a month after the table marks its values the same way.
    const std::vector<Bond> heldBonds = {earning};
    const EstateListing estate = computeEstateListing({{"Family", &heldBonds}}, "Family", false,
                                                      shippedTable(), YearMonth{year, 6});
    EXPECT_EQ(estate.table()[1][8].substr(0, 2), "~$");
    EXPECT_EQ(estate.table().back()[8].substr(0, 2), "~$");
    EXPECT_EQ(estate.noteLines().front(), projectionCaptionAfter(last) + ".");

    const TaxYearReport held =
        computeTaxYear(bonds, "Family", shippedTable(), 2020, TaxMethod::Accrual, std::nullopt);
    EXPECT_FALSE(held.projected());
    for (const TextRow& row : held.table()) {
        for (const std::string& text : row) {
            EXPECT_EQ(text.find('~'), std::string::npos) << text;
        }
    }
}

TEST(TaxYearTest, TheScheduleToFinalMaturityReportsEachBondsLifeOnceUnderEitherMethod) {
    Bond unreadable = bondOf("UNREADABLE", "EE", "100", {2012, 1});
    unreadable.issueYear = "20x2";
    const std::vector<Bond> bonds = {
        bondOf("EE12", "EE", "100", {2012, 3}), bondOf("I11", "I", "100", {2011, 1}),
        bondOf("CASHED", "EE", "50", {2011, 6}, "2020-01", "30.00"), unreadable};
    const ReportableSchedule cash =
        computeReportableSchedule(bonds, "Family", shippedTable(), 2011, TaxMethod::Cash);
    ASSERT_EQ(cash.years.size(), 2u) << "only the years of final maturity, held bonds only";
    EXPECT_EQ(cash.years[0].year, 2041);
    EXPECT_EQ(cash.years[1].maturing, 1);
    EXPECT_EQ(cash.unscheduled, 1);
    const std::string total = cash.table().back()[2];
    EXPECT_EQ(total.front(), '~') << "final maturities after the table are projected";
    EXPECT_EQ(total.back(), '*') << "the bond of no known final maturity is left out, said so";

    const ReportableSchedule accrual =
        computeReportableSchedule(bonds, "Family", shippedTable(), 2011, TaxMethod::Accrual);
    EXPECT_EQ(accrual.years.size(), 32u) << "every year from 2011 to 2042";
    EXPECT_EQ(accrual.total.known, cash.total.known);
}

} // namespace

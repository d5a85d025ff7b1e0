// orvelt-cli tax and estate on the shipped value table: the same tables as the core's, the
// portfolio's own method and its override, the listing of every portfolio, and their usage
// errors.

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "store/PortfolioDetails.h"
#include "support/CliDataFolder.h"
#include "support/TempDir.h"
#include "valuation/EstateListing.h"
#include "valuation/ReportableSchedule.h"
#include "valuation/TaxYear.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class CliTaxEstateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<TestPortfolio> portfolios = {
            {"Family",
             {{"M1", "EE", "100", "1990", "May"},
              {"B1", "EE", "50", "2020", "March"},
              {"I1", "I", "1000", "2010", "January"}}},
            {"Kids", {{"K1", "I", "500", "2015", "July"}, {"K2", "EE", "100", "1990", "May"}}},
        };
        PlistDictRef root = portfolioFileContents(portfolios);
        PlistDict& family = *root->find("Family")->dict();
        family.set(kPortfolioTaxMethodKey, std::string("accrual"));
        family.set(kPortfolioOwnerBirthMonthKey, std::string("1960-02"));
        ASSERT_TRUE(writePropertyList(folder.portfolioFile(), PlistValue(root)));
        std::unique_ptr<BondDatabase> store = BondDatabase::fromPropertyList(*root);
        stored = std::move(store);
        table = loadBondTable(ResourceLocations(
            std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", folder.home()));
        ASSERT_TRUE(table);
    }

    CliDataFolder folder;
    std::unique_ptr<BondDatabase> stored;
    ValueTableRef table;
};

TEST_F(CliTaxEstateTest, TaxGivesTheCoresYearWithThePortfoliosMethodUnlessOneIsGiven) {
    const Portfolio& family = *stored->portfolio("Family");
    const CliResult byRecord = folder.run({"tax", "Family", "--year", "2020", "--format", "csv"});
    ASSERT_EQ(byRecord.exitCode, 0) << byRecord.err;
    const TaxYearReport accrual = computeTaxYearOfPortfolio(family, table.get(), 2020);
    EXPECT_EQ(accrual.method, TaxMethod::Accrual);
    EXPECT_EQ(byRecord.out, csvText(accrual.table()));

    const CliResult byCash = folder.run({"tax", "Family", "--year=2020", "--method", "cash"});
    ASSERT_EQ(byCash.exitCode, 0) << byCash.err;
    const TaxYearReport cash =
        computeTaxYearOfPortfolio(family, table.get(), 2020, TaxMethod::Cash);
    EXPECT_EQ(linesOf(byCash.out).front(), "Tax year 2020 of \"Family\", cash method");
    for (const std::string& note : cash.noteLines()) {
        EXPECT_NE(byCash.out.find(note + "\n"), std::string::npos) << note;
    }

    const CliResult json = folder.run({"tax", "Family", "--year", "2020", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root.value("method").toString(), "accrual");
    EXPECT_EQ(root.value("totals").toObject().value("Reportable").toString().toStdString(),
              accrual.table().back()[7]);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"tax", "Family"},
          {"tax", "Family", "--year", "20"},
          {"tax", "Family", "--year", "2020", "--method", "yearly"},
          {"report", "Family", "--year", "2020"},
          {"estate", "Family"},
          {"estate", "--all", "Family", "--month", "2020-01"}}) {
        EXPECT_EQ(folder.run(wrong).exitCode, 2) << wrong.back();
    }
    EXPECT_EQ(folder.run({"tax", "Nobody", "--year", "2020"}).exitCode, 1);

    // What to do names a final maturity's reportable interest only to an owner of the cash
    // method: one of the accrual method reported it year by year.
    const std::string line = "1 EE bond reaches final maturity in 2020: ";
    EXPECT_NE(folder.run({"report", "Kids", "--month", "2020-06"}).out.find(line),
              std::string::npos);
    EXPECT_EQ(folder.run({"report", "Family", "--month", "2020-06"}).out.find(line),
              std::string::npos);
}

TEST_F(CliTaxEstateTest, EstateListsOnePortfolioOrAllAsTheCoreDoes) {
    const YearMonth month{2020, 6};
    const Portfolio& family = *stored->portfolio("Family");
    const Portfolio& kids = *stored->portfolio("Kids");
    const CliResult one = folder.run({"estate", "Family", "--month", "2020-06", "--format", "csv"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const EstateListing familyListing =
        computeEstateListing({{"Family", &family.bonds}}, "\"Family\"", false, table.get(), month);
    EXPECT_EQ(one.out, csvText(familyListing.table()));

    const CliResult all = folder.run({"estate", "--all", "--month", "2020-06"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const EstateListing allListing =
        computeEstateListing({{"Family", &family.bonds}, {"Kids", &kids.bonds}}, "all portfolios",
                             true, table.get(), month);
    EXPECT_EQ(linesOf(all.out).front(), "Estate listing of all portfolios at June 2020");
    EXPECT_NE(all.out.find(allListing.noteLines()[1]), std::string::npos) << all.out;

    // Before the table's first month nothing is known, and standard error says why.
    const CliResult early = folder.run({"estate", "--all", "--month", "1999-01"});
    ASSERT_EQ(early.exitCode, 0) << early.err;
    EXPECT_NE(early.out.find("is not known"), std::string::npos) << early.out;
    EXPECT_NE(early.err.find("holds no values for 1999-01"), std::string::npos) << early.err;
}

TEST_F(CliTaxEstateTest, SetKeepsTheDetailsThatTaxThenUsesAndABadValueWritesNothing) {
    const std::string before = readWholeFile(folder.portfolioFile());
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"set", "Kids"},
          {"set", "Kids", "--tax-method", "yearly"},
          {"set", "Kids", "--owner-birth-month", "1961-13"},
          {"set", "Kids", "--owner-birth-month", "2999-01"},
          {"set", "Kids", "--default-owner", "Ann", "--no-default-owner"},
          {"tax", "Kids", "--year", "2020", "--tax-method", "cash"}}) {
        EXPECT_EQ(folder.run(wrong).exitCode, 2) << wrong.back();
    }
    EXPECT_EQ(folder.run({"set", "Kids", "--default-owner", "Ann\x1b[2J"}).exitCode, 1);
    EXPECT_EQ(folder.run({"set", "Nobody", "--tax-method", "cash"}).exitCode, 1);
    EXPECT_EQ(readWholeFile(folder.portfolioFile()), before) << "nothing written on an error";

    const CliResult set = folder.run({"set", "Kids", "--tax-method", "accrual",
                                      "--owner-birth-month", "1970-08", "--default-owner", "Ann"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("owner's birth month: August 1970"), std::string::npos) << set.out;
    const auto kept = [this] {
        return portfolioDetailsOf(*BondDatabase::open(folder.portfolioFile())->portfolio("Kids"));
    };
    EXPECT_EQ(kept(), (PortfolioDetails{"Ann", YearMonth{1970, 8}, TaxMethod::Accrual}));
    const CliResult tax = folder.run({"tax", "Kids", "--year", "2020", "--format", "json"});
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(tax.out)).object();
    EXPECT_EQ(root.value("method").toString(), "accrual");

    ASSERT_EQ(
        folder.run({"set", "Kids", "--owner-birth-month", "none", "--no-default-owner"}).exitCode,
        0);
    EXPECT_EQ(kept(), (PortfolioDetails{"", std::nullopt, TaxMethod::Accrual}))
        << "the method stays as it was";
}

TEST_F(CliTaxEstateTest, AProjectedYearAndTheScheduleAreTheCoresAndSaySoInJson) {
    const Portfolio& kids = *stored->portfolio("Kids");
    const int after = table->redemptionMonths().back().year + 1;
    const CliResult year =
        folder.run({"tax", "Kids", "--year", std::to_string(after), "--format", "json"});
    ASSERT_EQ(year.exitCode, 0) << year.err;
    EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(year.out))
                    .object()
                    .value("projected")
                    .toBool());

    const CliResult csv =
        folder.run({"tax", "Kids", "--schedule", "--year", "2020", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const ReportableSchedule schedule =
        computeReportableSchedule(kids.bonds, "Kids", table.get(), 2020, TaxMethod::Cash);
    EXPECT_EQ(csv.out, csvText(schedule.table()));
    const CliResult json =
        folder.run({"tax", "Kids", "--schedule", "--year=2020", "--format=json"});
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root.value("years").toArray().size(), static_cast<qsizetype>(schedule.years.size()));
    EXPECT_EQ(root.value("projected").toBool(), schedule.projected());
    EXPECT_EQ(folder.run({"estate", "Kids", "--month", "2020-01", "--schedule"}).exitCode, 2);
}

} // namespace

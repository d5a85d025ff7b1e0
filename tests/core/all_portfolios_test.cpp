// Every portfolio together over the shipped table: each row is its portfolio's own snapshot and
// the grand total is their sum, with the bonds each leaves out counted.

#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "support/TempDir.h"
#include "valuation/AllPortfolios.h"
#include "valuation/Session.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(AllPortfoliosTest, RowsAreEachPortfoliosOwnTotalsAndTheGrandTotalIsTheirSum) {
    TempDir folder;
    Session session(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", folder.path()));
    session.setRedemptionMonth(YearMonth{2024, 6});
    BondDatabase& store = session.store();
    Bond cashed("C1", "E", "100", "1960", "January");
    cashed.setCashed("2023-01");
    cashed.setAmountReceived("500");
    for (const char* name : {"Family", "Estate", "Empty"}) {
        ASSERT_TRUE(store.createPortfolio(name));
    }
    ASSERT_TRUE(store.appendBonds(
        "Family",
        {{"F1", "EE", "100", "2001", "March"}, {"F2", "I", "50", "2003", "July"}, cashed}));
    ASSERT_TRUE(
        store.appendBonds("Estate", {{"E1", "EE", "1000", "2030", "January"},
                                     {"E2", "E", "100", "1985", "May"}, // the table holds no value
                                     {"E3", "EE", "200", "2005", "June"}}));

    const AllPortfolios all = allPortfolios(session);
    const long computed = session.snapshotComputations();
    ASSERT_EQ(all.portfolios.size(), 3u);
    Amount worth;
    Amount face;
    for (const PortfolioTotals& row : all.portfolios) {
        const std::shared_ptr<const ReportSnapshot> own = session.snapshot(row.name);
        EXPECT_EQ(row.worth.known, own->summary.worth.known) << row.name;
        EXPECT_EQ(row.faceValue, own->totalFaceValue) << row.name;
        worth += row.worth.known;
        face += row.faceValue;
    }
    EXPECT_EQ(session.snapshotComputations(), computed) << "the rows are the session's snapshots";
    EXPECT_EQ(all.total.worth.known, worth);
    EXPECT_EQ(all.rows().back(),
              (TextRow{"Total", "6", amountText(face), amountText(worth), "1", "1", "1"}));
    EXPECT_EQ(all.rows()[2], (TextRow{"Empty", "0", "$0.00", "$0.00", "0", "0", "0"}));
    EXPECT_EQ(all.summaryLines(),
              std::vector<std::string>{
                  "The value totals count the bonds that have a value in June 2024; they leave "
                  "out 3 bonds (without a value, not issued yet or cashed, as each row counts)."});
}

} // namespace

// The bond list exported in the form its import reads: paper bonds exactly as Orvelt for Windows
// writes them, electronic bonds and the registration in further columns, and an export imported
// into an empty portfolio gives the same bonds.

#include "store/BondDatabase.h"
#include "store/BondListExport.h"
#include "store/BondListImport.h"
#include "store/BondRecord.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kFaceValues = {"10",  "25",  "50",   "75",   "100",
                                              "200", "500", "1000", "5000", "10000"};

TEST(BondListExportTest, PaperBondsAsTheWindowsEditionWritesThem) {
    EXPECT_EQ(bondListText(
                  {{"C\"1", "EE", "1000", "2001", "June"}, {"Q9", "E", "25", "1975", "December"}}),
              std::string(kBondListHeader) + "\r\n\"C\"\"1\",\"EE\",$1,000,\"6\",\"2001\"\r\n"
                                             "\"Q9\",\"E\",$25,\"12\",\"1975\"\r\n");
}

TEST(BondListExportTest, AnExportImportedIntoAnEmptyPortfolioGivesTheSameBonds) {
    Bond electronic("Account 1", "I", "34.59", "2003", "May");
    electronic.electronic = true;
    electronic.setOwner("Ruth \"Ruthie\" Alvarez");
    electronic.setSecondName("Daniel Alvarez");
    electronic.setSecondNameIs(std::string(kBeneficiary));
    electronic.setKeptAt("TreasuryDirect, account of Ruth");
    electronic.setNote("birthday, 2003");
    Bond registered("L200", "E", "10000", "1979", "March");
    registered.setOwner("Ruth Alvarez");
    registered.setKeptAt("safe deposit box 12");
    const std::vector<Bond> bonds = {
        {"C100", "EE", "5000", "2001", "June"}, electronic, registered};

    const std::string text = bondListText(bonds);
    EXPECT_TRUE(
        text.starts_with(std::string(kBondListHeader) +
                         ",\"Electronic\",\"Owner\",\"Second Name\",\"Second Name "
                         "Is\",\"Kept At\",\"Note\"\r\n\"C100\",\"EE\",$5,000,\"6\",\"2001\"\r\n"))
        << text;
    BondDatabase db;
    ASSERT_TRUE(db.createPortfolio("Copy"));
    const ImportReport report = importBondListText(db, "Copy", text, kFaceValues);
    EXPECT_EQ(report.skippedLineCount, 0U);
    const std::vector<Bond>& imported = db.portfolio("Copy")->bonds;
    ASSERT_EQ(imported.size(), bonds.size());
    for (std::size_t i = 0; i < bonds.size(); ++i) {
        EXPECT_TRUE(imported[i].sameFields(bonds[i])) << bonds[i].serial;
    }

    // A list of another program that names no further columns: a field after the year is not
    // read; one of Orvelt's whose role is neither is passed over, named.
    BondDatabase other;
    ASSERT_TRUE(other.createPortfolio("Other"));
    const ImportReport plain = importBondListText(
        other, "Other",
        std::string(kBondListHeader) + "\n\"P1\",\"EE\",$100,\"1\",\"2001\",\"Yes\"\n",
        kFaceValues);
    ASSERT_EQ(plain.added, 1U);
    EXPECT_FALSE(other.portfolio("Other")->bonds.front().electronic);
    const std::string header = text.substr(0, text.find('\n') + 1);
    const ImportReport odd = importBondListText(
        other, "Other",
        header + "\"P2\",\"I\",$20.5,\"1\",\"2005\",\"Yes\"\r\n"
                 "\"P3\",\"I\",$100,\"1\",\"2005\",\"\",\"A\",\"B\",\"Friend\"\r\n",
        kFaceValues);
    EXPECT_EQ(odd.added, 0U);
    ASSERT_EQ(odd.skipped.size(), 2U);
    EXPECT_EQ(odd.skipped[0].reason, "An electronic bond holds at least $25.00, not $20.50.");
    EXPECT_EQ(odd.skipped[1].reason,
              "the second name's role \"Friend\" is not \"Co-owner\" or \"Beneficiary\"");
}

} // namespace

// The session without any window: how it opens the data folder (the lock, a damaged portfolio
// file set aside or left alone, the shipped file read in place of a missing one) and its
// snapshots, computed once per change, shared while held, announced once per turn of the loop.

#include "core/value_table_fixture.h"
#include "platform/DataFolderLock.h"
#include "support/PortfolioFileFixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SessionOpeningTest : public ::testing::Test {
  protected:
    fs::path userFile() const { return files.resources().userDataDir() / "portfolios.plist"; }

    ValueTableFiles files;
    Session session{files.resources()};
};

TEST_F(SessionOpeningTest, ADamagedFileIsSetAsideUntouchedAndNamed) {
    writeWholeFile(userFile(), "not a property list");
    ASSERT_TRUE(session.open(Session::Access::Read));
    ASSERT_TRUE(session.store().setAsidePath().has_value());
    EXPECT_EQ(readWholeFile(*session.store().setAsidePath()), "not a property list");
    EXPECT_FALSE(fs::exists(userFile())) << "nothing written in its place";
    EXPECT_FALSE(session.store().unreadableReason().empty());
    EXPECT_TRUE(session.store().portfolioNames().empty());
    EXPECT_FALSE(session.save()) << "a session opened to read never saves";
}

TEST_F(SessionOpeningTest, WhileAnotherHoldsTheFolderADamagedFileIsLeftAloneAndWritingRefused) {
    writeWholeFile(userFile(), "not a property list");
    const std::optional<DataFolderLock> running =
        DataFolderLock::tryAcquire(files.resources().userDataDir());
    ASSERT_TRUE(running);
    const std::vector<fs::path> before = filesIn(files.resources().userDataDir());

    const Session::Opening writing = session.open(Session::Access::Write);
    EXPECT_FALSE(writing);
    EXPECT_FALSE(writing.refusal.folderNotWritable);
    ASSERT_TRUE(session.open(Session::Access::Read));
    EXPECT_FALSE(session.store().setAsidePath());
    EXPECT_FALSE(session.store().unreadableReason().empty());
    EXPECT_EQ(filesIn(files.resources().userDataDir()), before);
    EXPECT_EQ(readWholeFile(userFile()), "not a property list");
}

TEST_F(SessionOpeningTest, ReadingTakesTheShippedFileForAMissingOneAndCreatesNothing) {
    ASSERT_TRUE(writePropertyList(files.resources().shippedDir() / "portfolios.plist",
                                  PlistValue(portfolioFileContents({{"Sample", {}}}))));
    ASSERT_TRUE(session.open(Session::Access::Read));
    EXPECT_EQ(session.store().portfolioNames(), std::vector<std::string>{"Sample"});
    EXPECT_TRUE(filesIn(files.resources().userDataDir()).empty());

    // To write, the folder is held and the file is the user's, seeded from the shipped one.
    ASSERT_TRUE(session.open(Session::Access::Write));
    EXPECT_FALSE(DataFolderLock::tryAcquire(files.resources().userDataDir()));
    ASSERT_TRUE(session.store().createPortfolio("Mine"));
    ASSERT_TRUE(session.save());
    EXPECT_EQ(readPropertyList(userFile()).dictPtr()->keys(),
              (std::vector<std::string>{"Sample", "Mine"}));
}

class SessionSnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(standardTestTable());
        ASSERT_TRUE(session.store().createPortfolio("Family"));
        ASSERT_TRUE(session.store().createPortfolio("Other"));
        ASSERT_TRUE(session.store().addBond("Family", Bond("A", "EE", "100", "2001", "March")));
        QCoreApplication::processEvents();
        QObject::connect(&session, &Session::changed,
                         [this](const std::string& portfolio, unsigned what) {
                             announced.emplace_back(portfolio, what);
                         });
    }

    int argc = 1;
    char name[8] = "session";
    char* argv[1] = {name};
    QCoreApplication application{argc, argv};
    ValueTableFiles files;
    TestSession session{files.resources()};
    std::vector<std::pair<std::string, unsigned>> announced;
};

TEST_F(SessionSnapshotTest, OneComputationPerChangeSharedWhileHeldAndDroppedWhenNot) {
    const long computed = session.snapshotComputations();
    std::shared_ptr<const ReportSnapshot> family = session.snapshot("Family");
    EXPECT_EQ(session.snapshot("Family"), family) << "the same while nothing changed";
    EXPECT_EQ(session.snapshotComputations(), computed + 1);
    EXPECT_EQ(family->cellText(reportColumnNamed(kCurrentValueColumn), 2), "$108.48");

    // Two changes before anyone asks: one computation, one announcement of Family alone.
    ASSERT_TRUE(session.store().addBond("Family", Bond("B", "EE", "25", "1995", "January")));
    ASSERT_TRUE(session.store().sortBondsByDate("Family"));
    EXPECT_EQ(family->bondCount(), 1) << "a snapshot held never changes";
    family = session.snapshot("Family");
    EXPECT_EQ(session.snapshot("Family"), family);
    EXPECT_EQ(session.snapshotComputations(), computed + 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(announced,
              (std::vector<std::pair<std::string, unsigned>>{{"Family", Session::BondsChanged}}));

    // A new month: the held snapshots, and only they, are outdated and announced.
    announced.clear();
    session.setRedemptionMonth(YearMonth{2009, 7});
    QCoreApplication::processEvents();
    EXPECT_EQ(announced,
              (std::vector<std::pair<std::string, unsigned>>{{"Family", Session::MonthChanged}}));
    EXPECT_EQ(session.snapshot("Family")->cellText(reportColumnNamed(kCurrentValueColumn), 3),
              "$112.00");
    EXPECT_EQ(session.snapshotComputations(), computed + 3);

    // Nobody holds it any more: it is computed again when asked for.
    family.reset();
    session.snapshot("Family");
    session.snapshot("Family");
    EXPECT_EQ(session.snapshotComputations(), computed + 5);
}

TEST_F(SessionSnapshotTest, APortfolioDeletedOrOpenedUnderAnUnknownNameIsNone) {
    const std::shared_ptr<const ReportSnapshot> other = session.snapshot("Other");
    session.setOpenPortfolio("Nobody");
    EXPECT_FALSE(session.openPortfolio());
    session.setOpenPortfolio("Other");
    ASSERT_TRUE(session.store().deletePortfolio("Other"));
    QCoreApplication::processEvents();
    EXPECT_EQ(announced, (std::vector<std::pair<std::string, unsigned>>{
                             {"Other", Session::PortfolioChanged}}));
    EXPECT_NE(session.snapshot("Other"), other);
}

} // namespace

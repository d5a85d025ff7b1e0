#include "support/ExpectedReport.h"

#include "store/BondDatabase.h"
#include "support/ScriptedToolkitServices.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueReport.h"

namespace {

class FixedOwner : public ValuationContext {
  public:
    FixedOwner(BondDatabase* database, std::string portfolio, std::optional<YearMonth> month)
        : database_(database), portfolio_(std::move(portfolio)), month_(month) {}
    BondDatabase* bondDatabase() const override { return database_; }
    std::optional<std::string> openPortfolio() const override { return portfolio_; }
    std::optional<YearMonth> redemptionMonth() const override { return month_; }

  private:
    BondDatabase* database_;
    std::string portfolio_;
    std::optional<YearMonth> month_;
};

} // namespace

ExpectedReport reportAsTheWindowShowsIt(const CliDataFolder& folder, const std::string& portfolio,
                                        const std::string& year, const std::string& month,
                                        bool withOwnerFigures) {
    ScriptedToolkitServices services;
    // A copy of the file, so that nothing here can touch the folder the program works on.
    TempDir copy;
    std::filesystem::copy_file(folder.portfolioFile(), copy / "portfolios.plist");
    std::unique_ptr<BondDatabase> database = BondDatabase::open(copy / "portfolios.plist");
    FixedOwner owner(database.get(), portfolio, YearMonth::fromKeyText(year + "-" + month));

    // The data folder's table with the resources shipped beside the program, the rates among
    // them, as orvelt-cli reads them.
    ValueReport report(ResourceLocations(
        std::filesystem::path(ORVELT_CLI_PROGRAM).parent_path().parent_path() / "resources",
        folder.path()));
    report.setOwner(&owner);
    ExpectedReport expected;
    for (int row = 0; row < report.rowCount(); ++row) {
        std::vector<std::string> cells;
        const std::size_t columns =
            withOwnerFigures ? kReportColumnIdentifiers.size() : kValueColumnCount;
        for (std::size_t column = 0; column < columns; ++column) {
            cells.push_back(report.cellText(kReportColumnIdentifiers[column], row));
        }
        expected.rows.push_back(std::move(cells));
    }
    if (report.bondsWithoutValue() > 0) {
        expected.missingValuesNote = report.missingValuesNote();
    }
    // As the window does when it opens: one alert that names every invalid bond.
    if (!report.valid()) {
        expected.alerts.push_back(invalidBondsMessage(report.snapshot()));
    }
    return expected;
}

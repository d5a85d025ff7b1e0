#include "support/ExpectedReport.h"

#include "store/BondDatabase.h"
#include "support/ScriptedToolkitServices.h"
#include "valuation/Session.h"
#include "valuation/ValueReport.h"

ExpectedReport reportAsTheWindowShowsIt(const CliDataFolder& folder, const std::string& portfolio,
                                        const std::string& year, const std::string& month,
                                        bool withOwnerFigures) {
    // A copy of the folder's files, so that nothing here can touch the folder the program works
    // on; with the resources shipped beside the program, the rates among them, as orvelt-cli
    // reads them.
    TempDir copy;
    for (const char* file : {"portfolios.plist", "BondTable.plist"}) {
        if (std::filesystem::exists(folder.path() / file)) {
            std::filesystem::copy_file(folder.path() / file, copy / file);
        }
    }
    Session session(ResourceLocations(
        std::filesystem::path(ORVELT_CLI_PROGRAM).parent_path().parent_path() / "resources",
        copy.path()));
    session.open(Session::Access::Read);
    session.setRedemptionMonth(YearMonth::fromKeyText(year + "-" + month));
    ValueReport report(session, portfolio);
    ExpectedReport expected;
    for (int row = 0; row < report.rowCount(); ++row) {
        std::vector<std::string> cells;
        // The kind and the registration where a bond holds them, with the owner's figures.
        for (std::size_t column :
             reportColumnsWithHeldOptions(report.snapshot(), withOwnerFigures)) {
            if (withOwnerFigures || column < kValueColumnCount) {
                cells.push_back(report.cellText(kReportColumnIdentifiers[column], row));
            }
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

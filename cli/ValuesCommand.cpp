#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "store/BondRecord.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueFileMerge.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableFile.h"
#include "valuation/ValueTableMonths.h"

namespace {

// "values sources": the months the table in effect holds and where their values come from.
int printValueSources(const CliArguments& arguments, CommandIo& io) {
    refuseReportOptions(arguments, false);
    const ResourceLocations locations = locateDataFolder(arguments.dataDir);
    std::string problem;
    const ValueTableRef table = loadBondTable(locations, &problem);
    if (!problem.empty()) {
        throw CliError(kExitFailure, problem);
    }
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(table.get());
    if (months.empty()) {
        io.out << "The value table holds no redemption months.\n";
    } else {
        io.out << "The value table holds " << months.size() << " redemption months, "
               << redemptionMonthRangesText(months) << ".\n";
    }
    std::error_code ec;
    if (table == nullptr ||
        !std::filesystem::exists(locations.userPathForResource(kBondTableResource, kBondTableType),
                                 ec)) {
        io.out << valueSourcesText() << "\n";
        return kExitSuccess;
    }
    // The user's table: each month credited to the file its values came from.
    const ValueTableRef shipped =
        readValueTableFile(locations.shippedDir() / (std::string(kBondTableResource) + "." +
                                                     std::string(kBondTableType)),
                           nullptr, locations.cacheDir());
    io.out << "Where the values of each month come from:\n";
    for (const std::string& line :
         monthSourceLines(*table, shipped.get(), readValueSourceRecord(locations))) {
        io.out << "  " << line << "\n";
    }
    io.out << "A bond past final maturity keeps its final value; a bond or month the data do not "
              "cover has no value.\n";
    return kExitSuccess;
}

} // namespace

int runValuesImportCommand(const CliArguments& arguments, CommandIo& io) {
    if (arguments.words.size() == 2 && arguments.words[1] == "sources") {
        return printValueSources(arguments, io);
    }
    if (arguments.words.size() < 2 || arguments.words[1] != "import") {
        throw CliError(kExitUsage, "unknown values command; usage: orvelt-cli values import "
                                   "FILE... or orvelt-cli values sources");
    }
    if (arguments.words.size() < 3) {
        throw CliError(kExitUsage, "missing arguments; usage: orvelt-cli values import FILE...");
    }
    refuseReportOptions(arguments, false);
    const std::vector<std::filesystem::path> files(arguments.words.begin() + 2,
                                                   arguments.words.end());

    const ResourceLocations locations = locateDataFolder(arguments.dataDir);
    const DataFolderLock lock = lockDataFolder(locations);
    std::string error;
    ValueChangeConsent consent;
    if (!updateUserValueTable(locations, files, &error, &consent)) {
        if (!consent.refused.empty()) {
            throw CliError(kExitFailure,
                           error + "\nThe value table was not changed. orvelt-cli never replaces a "
                                   "value the table holds; Update Values… in Orvelt asks first.");
        }
        throw CliError(kExitFailure, error + " The value table was not changed.");
    }
    io.saved = "the value files were merged into your value table";

    const std::filesystem::path table =
        locations.userPathForResource(kBondTableResource, kBondTableType);
    io.out << "Merged " << files.size() << (files.size() == 1 ? " value file" : " value files")
           << " into " << table.string() << ".\n";
    const ValueTableRef merged = loadBondTable(locations);
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(merged.get());
    if (!months.empty()) {
        io.out << "The table holds " << months.size() << " redemption months, "
               << months.front().name() << " to " << months.back().name() << ".\n";
    }
    return kExitSuccess;
}

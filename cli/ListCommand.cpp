#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "store/BondDatabase.h"
#include "valuation/TableText.h"

#include <string>

OutputFormat outputFormat(const CliArguments& arguments, bool allowsJson) {
    if (!arguments.format || *arguments.format == "text") {
        return OutputFormat::Text;
    }
    if (*arguments.format == "csv") {
        return OutputFormat::Csv;
    }
    if (allowsJson && *arguments.format == "json") {
        return OutputFormat::Json;
    }
    throw CliError(kExitUsage, "unknown format \"" + *arguments.format + "\": use text" +
                                   (allowsJson ? ", csv or json" : " or csv"));
}

void expectOperandCount(const CliArguments& arguments, std::size_t count, const char* synopsis) {
    if (arguments.words.size() != count) {
        throw CliError(kExitUsage,
                       std::string(arguments.words.size() < count ? "missing" : "too many") +
                           " arguments; usage: orvelt-cli " + synopsis);
    }
}

void refuseTaxAndEstateOptions(const CliArguments& arguments) {
    const std::string& command = arguments.words.front();
    if (arguments.year || arguments.method || arguments.schedule) {
        throw CliError(kExitUsage, std::string("option ") +
                                       (arguments.year     ? "--year"
                                        : arguments.method ? "--method"
                                                           : "--schedule") +
                                       " is for the tax command, not " + command);
    }
}

void refuseReportOptions(const CliArguments& arguments, bool allowsFormat) {
    const std::string& command = arguments.words.front();
    refuseTaxAndEstateOptions(arguments);
    if (arguments.month) {
        throw CliError(kExitUsage, "option --month is for the report command, not " + command);
    }
    if (arguments.details) {
        throw CliError(kExitUsage, "option --details is for the report command, not " + command);
    }
    if (arguments.all) {
        throw CliError(kExitUsage,
                       "option --all is for the report and estate commands, not " + command);
    }
    if (arguments.format && !allowsFormat) {
        throw CliError(kExitUsage,
                       "option --format is for the report and list commands, not " + command);
    }
}

int runListCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 1, "list");
    refuseReportOptions(arguments, true);
    const OutputFormat format = outputFormat(arguments);
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    std::vector<TextRow> rows;
    for (const Portfolio& portfolio : session.store().portfolios()) {
        rows.push_back({portfolio.name, std::to_string(portfolio.bonds.size())});
    }
    if (format == OutputFormat::Csv) {
        rows.insert(rows.begin(), TextRow{"Portfolio", "Bonds"});
        io.out << csvText(rows);
    } else if (!rows.empty()) {
        rows.insert(rows.begin(), TextRow{"Portfolio", "Bonds"});
        io.out << alignedText(rows, {Alignment::Left, Alignment::Right});
    }
    return kExitSuccess;
}

#pragma once

// The commands of orvelt-cli. Each answers its exit status or throws CliError; what it prints
// goes to `out`, alerts of the core library to standard error through `services`.

#include <ostream>
#include <string>

struct CliArguments;
class ConsoleToolkitServices;
class Session;
struct YearMonth;

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    ConsoleToolkitServices& services;
    // What a writing command saved ("the import into \"Family\" was saved"), once it is saved:
    // when standard output then fails, the user learns that only the output was lost.
    std::string saved;
};

int runListCommand(const CliArguments& arguments, CommandIo& io);
int runReportCommand(const CliArguments& arguments, CommandIo& io);
// The report of every portfolio together, at `month`, on a session opened to read.
int runAllPortfoliosReport(const CliArguments& arguments, Session& session, const YearMonth& month,
                           CommandIo& io);
int runImportCommand(const CliArguments& arguments, CommandIo& io);
int runExportCommand(const CliArguments& arguments, CommandIo& io);
int runValuesImportCommand(const CliArguments& arguments, CommandIo& io);
int runTaxCommand(const CliArguments& arguments, CommandIo& io);
int runEstateCommand(const CliArguments& arguments, CommandIo& io);
// Keeps the owner's details with a portfolio: tax method, birth month, default owner.
int runSetCommand(const CliArguments& arguments, CommandIo& io);

// Shared checks of the command line.
enum class OutputFormat { Text, Csv, Json };
// Json only where `allowsJson`; throws CliError (kExitUsage) for any other format.
OutputFormat outputFormat(const CliArguments& arguments, bool allowsJson = false);
// Throws CliError (kExitUsage) unless the command has exactly `count` words and operands.
void expectOperandCount(const CliArguments& arguments, std::size_t count, const char* synopsis);
// Throws CliError (kExitUsage) when --month, --details or --format is given to a command without
// them.
void refuseReportOptions(const CliArguments& arguments, bool allowsFormat);
// Throws CliError (kExitUsage) when --year, --method or --all is given to a command without them.
void refuseTaxAndEstateOptions(const CliArguments& arguments);

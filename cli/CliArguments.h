#pragma once

// The command line of orvelt-cli: a command with its operands and the options. Options may
// stand anywhere, before or after the command; "--" ends them, so that an operand may begin with
// a dash. Both "--month 2009-06" and "--month=2009-06" are accepted.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct CliArguments {
    bool help = false;
    bool version = false;
    // The report adds the owner's figures (issue price, interest, maturity, status).
    bool details = false;
    std::optional<std::filesystem::path> dataDir;
    std::optional<std::string> month;
    std::optional<std::string> format;
    // The command's words and operands in order: {"report", "Family"}.
    std::vector<std::string> words;
};

// Throws CliError (kExitUsage) for an unknown option or an option without its value.
CliArguments parseCliArguments(const std::vector<std::string>& arguments);

// A redemption date given as YYYY-MM: the table's keys, year "2009" and month "06".
struct RedemptionDate {
    std::string year;
    std::string month;
};

// Throws CliError (kExitUsage) unless the text is four digits, a dash and a month 01 to 12.
RedemptionDate parseRedemptionMonth(const std::string& text);

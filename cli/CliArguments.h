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
    // Every portfolio together: the report's or the estate listing's.
    bool all = false;
    std::optional<std::filesystem::path> dataDir;
    std::optional<std::string> month;
    std::optional<std::string> format;
    // The tax command's calendar year and reporting method ("cash" or "accrual").
    std::optional<std::string> year;
    std::optional<std::string> method;
    // The tax command lists the interest reportable in each coming year instead of one year's.
    bool schedule = false;
    // The set command's portfolio details; --no-default-owner takes the default owner away.
    std::optional<std::string> taxMethod;
    std::optional<std::string> ownerBirthMonth;
    std::optional<std::string> defaultOwner;
    bool noDefaultOwner = false;
    // Whether any of the set command's options is given.
    bool setsDetails() const {
        return taxMethod || ownerBirthMonth || defaultOwner || noDefaultOwner;
    }
    // The command's words and operands in order: {"report", "Family"}.
    std::vector<std::string> words;
};

// Throws CliError (kExitUsage) for an unknown option or an option without its value.
CliArguments parseCliArguments(const std::vector<std::string>& arguments);

struct YearMonth;

// The month given as YYYY-MM. Throws CliError (kExitUsage) unless the text is four digits, a
// dash and a month 01 to 12.
YearMonth parseRedemptionMonth(const std::string& text);

#include "cli/CliArguments.h"

#include "cli/CliError.h"
#include "store/YearMonth.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Splits "--name=value"; nothing for the value when there is no "=".
std::pair<std::string_view, std::optional<std::string>> splitOption(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) {
        return {argument, std::nullopt};
    }
    return {argument.substr(0, equals), std::string(argument.substr(equals + 1))};
}

// The options that take no value.
struct Flag {
    std::string_view name;
    bool CliArguments::*set;
};

constexpr std::array<Flag, 7> kFlags = {{
    {"--help", &CliArguments::help},
    {"-h", &CliArguments::help},
    {"--details", &CliArguments::details},
    {"--all", &CliArguments::all},
    {"--schedule", &CliArguments::schedule},
    {"--no-default-owner", &CliArguments::noDefaultOwner},
    {"--version", &CliArguments::version},
}};

} // namespace

CliArguments parseCliArguments(const std::vector<std::string>& arguments) {
    CliArguments result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            result.words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (const auto flag =
                std::find_if(kFlags.begin(), kFlags.end(),
                             [&argument](const Flag& f) { return f.name == argument; });
            flag != kFlags.end()) {
            result.*flag->set = true;
            continue;
        }
        auto [name, value] = splitOption(argument);
        std::optional<std::string>* target = nullptr;
        std::optional<std::string> dataDir;
        if (name == "--data-dir") {
            target = &dataDir;
        } else if (name == "--month") {
            target = &result.month;
        } else if (name == "--format") {
            target = &result.format;
        } else if (name == "--year") {
            target = &result.year;
        } else if (name == "--method") {
            target = &result.method;
        } else if (name == "--tax-method") {
            target = &result.taxMethod;
        } else if (name == "--owner-birth-month") {
            target = &result.ownerBirthMonth;
        } else if (name == "--default-owner") {
            target = &result.defaultOwner;
        } else {
            throw CliError(kExitUsage,
                           "unknown option " + std::string(name) + " (see orvelt-cli --help)");
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                throw CliError(kExitUsage, "option " + std::string(name) + " needs a value");
            }
            value = arguments[++i];
        }
        if (value->empty()) {
            throw CliError(kExitUsage, "option " + std::string(name) + " needs a value");
        }
        *target = std::move(value);
        if (dataDir) {
            result.dataDir = std::filesystem::path(*dataDir);
        }
    }
    return result;
}

YearMonth parseRedemptionMonth(const std::string& text) {
    const std::optional<YearMonth> month = YearMonth::fromKeyText(text);
    if (!month) {
        throw CliError(kExitUsage,
                       "bad month \"" + text + "\": give it as YYYY-MM, for example 2009-06");
    }
    return *month;
}

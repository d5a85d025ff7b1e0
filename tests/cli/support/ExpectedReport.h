#pragma once

// What the report window shows for a portfolio and month, computed with the window's own
// controller on the same files, to hold the program's output against.

#include "support/CliDataFolder.h"

#include <string>
#include <vector>

struct ExpectedReport {
    // Every row of the table, each cell in the order of kReportColumnIdentifiers: the value
    // report's six columns, and the owner's figures too when asked for, with the optional
    // columns a bond holds something in.
    std::vector<std::vector<std::string>> rows;
    // The messages of the alerts the window showed (the invalid-serials alert).
    std::vector<std::string> alerts;
    // The window's line below the table on bonds the value table has no value for; empty when
    // it has a value for every bond.
    std::string missingValuesNote;
};

ExpectedReport reportAsTheWindowShowsIt(const CliDataFolder& folder, const std::string& portfolio,
                                        const std::string& year, const std::string& month,
                                        bool withOwnerFigures = false);

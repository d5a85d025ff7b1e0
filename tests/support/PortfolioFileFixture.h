#pragma once

// Portfolio files for tests, written as the application writes them.

#include "platform/PlistValue.h"

#include <string>
#include <vector>

struct TestBond {
    std::string serial, type, faceValue, issueYear, issueMonth;
};

struct TestPortfolio {
    std::string name;
    std::vector<TestBond> bonds;
};

// A portfolio file's root dictionary holding the portfolios in the order given.
PlistDictRef portfolioFileContents(const std::vector<TestPortfolio>& portfolios);

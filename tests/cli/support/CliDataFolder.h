#pragma once

// A temporary data folder for orvelt-cli, with a home folder beside it for the program's
// environment, and the files written as the application writes them.

#include "platform/PlistValue.h"
#include "platform/ResourceLocations.h"
#include "support/CliProcess.h"
#include "support/PortfolioFileFixture.h"
#include "support/TempDir.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class CliDataFolder {
  public:
    CliDataFolder();

    const std::filesystem::path& path() const { return dataDir_; }
    std::filesystem::path home() const { return temp_.path() / "home"; }
    std::filesystem::path portfolioFile() const { return dataDir_ / "portfolios.plist"; }
    std::filesystem::path tableFile() const { return dataDir_ / "BondTable.plist"; }
    // The data folder alone, as the program sees it with --data-dir (no shipped resources).
    ResourceLocations resources() const { return ResourceLocations({}, dataDir_); }

    void writePortfolios(const std::vector<TestPortfolio>& portfolios);
    void writeTable(const PlistDictRef& table);
    // A file beside the data folder, for imports.
    std::filesystem::path writeFile(const std::string& name, const std::string& bytes) const;

    // orvelt-cli with "--data-dir <this folder>" before the arguments; standard output to
    // `output` when one is given.
    CliResult run(const std::vector<std::string>& arguments, const std::string& output = {}) const;

  private:
    TempDir temp_;
    std::filesystem::path dataDir_;
};

// A value table: series EE, redemption 2009-06 and 2009-07, issue years 1990 and 2001, with
// six-digit leaves, a "NO PAY" leaf (EE 2009-06, 1990 January) and an invalid leaf of six spaces
// (EE 2009-06, 2001 December).
PlistDictRef sampleValueTable();

// Sets table[series][year][month][issueYear][issueMonth] = leaf, creating the levels.
void setLeaf(PlistDict& table, const std::vector<std::string>& keys, const std::string& leaf);

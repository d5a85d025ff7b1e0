#include "support/CliDataFolder.h"

#include "platform/PropertyList.h"
#include "store/BondRecord.h"

#include <gtest/gtest.h>

CliDataFolder::CliDataFolder() : dataDir_(temp_.path() / "data folder") {
    std::filesystem::create_directories(dataDir_);
    std::filesystem::create_directories(home());
}

void CliDataFolder::writePortfolios(const std::vector<TestPortfolio>& portfolios) {
    ASSERT_TRUE(writePropertyList(portfolioFile(), PlistValue(portfolioFileContents(portfolios))));
}

void CliDataFolder::writeTable(const PlistDictRef& table) {
    ASSERT_TRUE(writePropertyList(tableFile(), PlistValue(table)));
}

std::filesystem::path CliDataFolder::writeFile(const std::string& name,
                                               const std::string& bytes) const {
    const std::filesystem::path file = temp_.path() / name;
    writeWholeFile(file, bytes);
    return file;
}

CliResult CliDataFolder::run(const std::vector<std::string>& arguments,
                             const std::string& output) const {
    std::vector<std::string> all = {"--data-dir", dataDir_.string()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runOrveltCli(all, home(), output);
}

void setLeaf(PlistDict& table, const std::vector<std::string>& keys, const std::string& leaf) {
    PlistDict* level = &table;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        PlistValue* next = level->find(keys[i]);
        if (next == nullptr || next->dictPtr() == nullptr) {
            level->set(keys[i], PlistValue(PlistDict::create()));
            next = level->find(keys[i]);
        }
        level = next->dict().get();
    }
    level->set(keys.back(), PlistValue(leaf));
}

PlistDictRef sampleValueTable() {
    auto table = PlistDict::create();
    for (const char* month : {"06", "07"}) {
        const bool june = std::string(month) == "06";
        for (std::size_t m = 0; m < kMonthNames.size(); ++m) {
            const std::string name(kMonthNames[m]);
            // 0027.12 in June, plus a cent per issue month; a cent more in July.
            const int cents = 2712 + static_cast<int>(m) + (june ? 0 : 1);
            std::string leaf = std::to_string(cents);
            leaf.insert(0, 6 - leaf.size(), '0');
            setLeaf(*table, {"EE", "2009", month, "2001", name}, leaf);
            setLeaf(*table, {"EE", "2009", month, "1990", name}, "004523");
        }
    }
    setLeaf(*table, {"EE", "2009", "06", "1990", "January"}, "NO PAY");
    setLeaf(*table, {"EE", "2009", "06", "2001", "December"}, "      ");
    return table;
}

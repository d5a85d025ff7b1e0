#include "support/PortfolioFileFixture.h"

#include "store/BondRecord.h"

PlistDictRef portfolioFileContents(const std::vector<TestPortfolio>& portfolios) {
    auto root = PlistDict::create();
    for (const TestPortfolio& portfolio : portfolios) {
        auto bonds = std::make_shared<PlistArray>();
        for (const TestBond& bond : portfolio.bonds) {
            auto record = PlistDict::create();
            record->set(kSerialKey, PlistValue(bond.serial));
            record->set(kTypeKey, PlistValue(bond.type));
            record->set(kFaceValueKey, PlistValue(bond.faceValue));
            record->set(kIssueYearKey, PlistValue(bond.issueYear));
            record->set(kIssueMonthKey, PlistValue(bond.issueMonth));
            bonds->push_back(PlistValue(record));
        }
        auto record = PlistDict::create();
        record->set(kPortfolioNameKey, PlistValue(portfolio.name));
        record->set(kPortfolioBondsKey, PlistValue(bonds));
        root->set(portfolio.name, PlistValue(record));
    }
    return root;
}

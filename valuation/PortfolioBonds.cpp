#include "valuation/PortfolioBonds.h"

#include "store/BondDatabase.h"
#include "store/BondRecord.h"

Bond reportBondOf(const Bond& stored) {
    Bond bond = stored;
    if (bond.faceValue.empty()) {
        bond.faceValue = stored.recordText(kFaceValueKey);
    }
    return bond;
}

std::vector<Bond> bondsOfPortfolio(const BondDatabase& store, const std::string& name) {
    std::vector<Bond> bonds;
    if (const Portfolio* portfolio = store.portfolio(name)) {
        bonds.reserve(portfolio->bonds.size());
        for (const Bond& bond : portfolio->bonds) {
            bonds.push_back(reportBondOf(bond));
        }
    }
    return bonds;
}

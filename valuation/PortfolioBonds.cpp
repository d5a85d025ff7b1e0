#include "valuation/PortfolioBonds.h"

#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/ValueTable.h"

Bond reportBondOf(const Bond& stored) {
    Bond bond = stored;
    if (bond.faceValue.empty()) {
        const PlistValue record = stored.toRecord();
        const PlistDict* dict = record.dictPtr();
        const PlistValue* face = dict != nullptr ? dict->find(kFaceValueKey) : nullptr;
        if (face != nullptr && !face->isString()) {
            bond.faceValue = storedValueText(*face);
        }
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

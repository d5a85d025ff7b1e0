#include "valuation/PortfolioBonds.h"

#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/ValueTable.h"

Bond reportBondOf(const PlistValue& record) {
    Bond bond = Bond::fromRecord(record);
    const PlistDict* dict = record.dictPtr();
    const PlistValue* face = dict != nullptr ? dict->find(kFaceValueKey) : nullptr;
    if (face != nullptr && !face->isString()) {
        bond.faceValue = storedValueText(*face);
    }
    return bond;
}

std::vector<Bond> bondsOfPortfolio(const BondDatabase& store, const std::string& name) {
    std::vector<Bond> bonds;
    if (const PlistArrayRef list = store.bondListOfPortfolio(name)) {
        bonds.reserve(list->size());
        for (const PlistValue& record : *list) {
            bonds.push_back(reportBondOf(record));
        }
    }
    return bonds;
}

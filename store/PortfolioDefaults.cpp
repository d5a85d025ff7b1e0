#include "store/PortfolioDefaults.h"

#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "store/Portfolio.h"

std::string defaultOwnerOf(const Portfolio& portfolio) {
    const PlistDict* record = portfolio.stored.dictPtr();
    const PlistValue* owner = record != nullptr ? record->find(kPortfolioDefaultOwnerKey) : nullptr;
    const std::string* text = owner != nullptr ? owner->stringPtr() : nullptr;
    return text != nullptr ? *text : std::string();
}

std::string defaultOwnerOf(const BondDatabase& store, std::string_view portfolio) {
    const Portfolio* found = store.portfolio(portfolio);
    return found != nullptr ? defaultOwnerOf(*found) : std::string();
}

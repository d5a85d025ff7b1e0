#include "store/Portfolio.h"

#include "store/BondRecord.h"

namespace {

PlistArrayRef recordsOf(const std::vector<Bond>& bonds) {
    auto records = std::make_shared<PlistArray>();
    records->reserve(bonds.size());
    for (const Bond& bond : bonds) {
        records->push_back(bond.toRecord());
    }
    return records;
}

} // namespace

std::optional<std::size_t> Portfolio::indexOf(std::string_view serial) const {
    for (std::size_t i = 0; i < bonds.size(); ++i) {
        if (bonds[i].serial == serial) {
            return i;
        }
    }
    return std::nullopt;
}

const Bond* Portfolio::find(std::string_view serial) const {
    const std::optional<std::size_t> index = indexOf(serial);
    return index ? &bonds[*index] : nullptr;
}

std::vector<Portfolio> takePortfoliosFromPropertyList(PlistDict& root) {
    std::vector<Portfolio> portfolios;
    portfolios.reserve(root.size());
    for (const auto& [name, record] : root.entries()) {
        Portfolio& portfolio = portfolios.emplace_back();
        portfolio.name = name;
        const PlistDict* fields = record.dictPtr();
        const PlistValue* list = fields != nullptr ? fields->find(kPortfolioBondsKey) : nullptr;
        PlistArray* bonds = list != nullptr ? list->arrayPtr() : nullptr;
        if (bonds == nullptr) {
            portfolio.stored = record;
            continue;
        }
        portfolio.bonds.reserve(bonds->size());
        for (PlistValue& bond : *bonds) {
            portfolio.bonds.push_back(Bond::fromRecord(bond));
            bond = PlistValue(); // freed now unless the bond keeps it
        }
        // The record keeps its other keys and their order; its list is written from the bonds.
        PlistDictRef rest = fields->copy();
        rest->set(kPortfolioBondsKey, PlistValue(std::make_shared<PlistArray>()));
        portfolio.stored = PlistValue(std::move(rest));
        portfolio.storedHasBondList = true;
    }
    return portfolios;
}

PlistValue portfolioRecord(const Portfolio& portfolio) {
    if (!portfolio.bondsChanged && !portfolio.stored.isAbsent()) {
        if (!portfolio.storedHasBondList) {
            return portfolio.stored;
        }
        PlistDictRef record = portfolio.stored.dictPtr()->copy();
        record->set(kPortfolioBondsKey, PlistValue(recordsOf(portfolio.bonds)));
        return PlistValue(std::move(record));
    }
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue(portfolio.name));
    record->set(kPortfolioBondsKey, PlistValue(recordsOf(portfolio.bonds)));
    return PlistValue(std::move(record));
}

PlistDictRef portfoliosToPropertyList(const std::vector<Portfolio>& portfolios) {
    auto root = PlistDict::create();
    root->reserve(portfolios.size());
    for (const Portfolio& portfolio : portfolios) {
        root->appendNew(portfolio.name, portfolioRecord(portfolio));
    }
    return root;
}

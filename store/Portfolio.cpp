#include "store/Portfolio.h"

#include "platform/PlistXmlWriter.h"
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

void writeBonds(PlistXmlWriter& writer, const std::vector<Bond>& bonds) {
    writer.beginArray();
    for (const Bond& bond : bonds) {
        bond.writeRecord(writer);
    }
    writer.end();
}

// What portfolioRecord gives, written as it is made.
void writePortfolioRecord(PlistXmlWriter& writer, const Portfolio& portfolio) {
    const PlistDict* fields = portfolio.stored.dictPtr();
    const bool writesBonds = portfolio.stored.isAbsent() || portfolio.storedHasBondList ||
                             (portfolio.bondsChanged && portfolio.recordUnfitForBonds().empty());
    const bool writesName = portfolio.stored.isAbsent() || portfolio.bondsChanged;
    if (!portfolio.stored.isAbsent() &&
        (fields == nullptr || (!portfolio.bondsChanged && !writesBonds))) {
        writer.value(portfolio.stored);
        return;
    }
    writer.beginDict();
    bool nameWritten = false;
    bool bondsWritten = false;
    static const std::vector<PlistDict::Entry> kNoEntries;
    for (const auto& [key, value] : fields != nullptr ? fields->entries() : kNoEntries) {
        writer.key(key);
        if (writesName && key == kPortfolioNameKey) {
            writer.string(portfolio.name);
            nameWritten = true;
        } else if (writesBonds && key == kPortfolioBondsKey) {
            writeBonds(writer, portfolio.bonds);
            bondsWritten = true;
        } else {
            writer.value(value);
        }
    }
    // A key the record lacks comes after its others, as a new key of a dictionary does.
    if (writesName && !nameWritten) {
        writer.key(kPortfolioNameKey);
        writer.string(portfolio.name);
    }
    if (writesBonds && !bondsWritten) {
        writer.key(kPortfolioBondsKey);
        writeBonds(writer, portfolio.bonds);
    }
    writer.end();
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

std::string Portfolio::recordUnfitForBonds() const {
    if (stored.isAbsent() || storedHasBondList) {
        return {};
    }
    const PlistDict* fields = stored.dictPtr();
    if (fields == nullptr) {
        return "its record in the portfolio file is not a dictionary";
    }
    if (fields->find(kPortfolioBondsKey) != nullptr) {
        return "its \"" + std::string(kPortfolioBondsKey) +
               "\" entry in the portfolio file is not a list";
    }
    return {};
}

PlistValue portfolioRecord(const Portfolio& portfolio) {
    if (portfolio.stored.isAbsent()) {
        auto record = PlistDict::create();
        record->set(kPortfolioNameKey, PlistValue(portfolio.name));
        record->set(kPortfolioBondsKey, PlistValue(recordsOf(portfolio.bonds)));
        return PlistValue(std::move(record));
    }
    const PlistDict* fields = portfolio.stored.dictPtr();
    // A record of another shape never takes bonds (the store refuses them), so it stays as read.
    const bool writesBonds = portfolio.storedHasBondList ||
                             (portfolio.bondsChanged && portfolio.recordUnfitForBonds().empty());
    if (fields == nullptr || (!portfolio.bondsChanged && !writesBonds)) {
        return portfolio.stored;
    }
    // The record keeps its other keys and their order.
    PlistDictRef record = fields->copy();
    if (portfolio.bondsChanged) {
        record->set(kPortfolioNameKey, PlistValue(portfolio.name));
    }
    if (writesBonds) {
        record->set(kPortfolioBondsKey, PlistValue(recordsOf(portfolio.bonds)));
    }
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

bool appendPortfolioFileXml(const std::vector<Portfolio>& portfolios, std::string& out,
                            std::string& error) {
    // Room for the usual bond record at once, so that a large file's text is not copied over
    // and over as it grows.
    std::size_t bonds = 0;
    for (const Portfolio& portfolio : portfolios) {
        bonds += portfolio.bonds.size();
    }
    out.reserve(out.size() + 4096 + bonds * 320);
    PlistXmlWriter writer(out);
    writer.beginDict();
    for (const Portfolio& portfolio : portfolios) {
        writer.key(portfolio.name);
        writePortfolioRecord(writer, portfolio);
    }
    writer.end();
    return writer.finish(error);
}

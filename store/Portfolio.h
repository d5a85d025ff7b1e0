#pragma once

// One portfolio of the store: its name and its bonds in the order the owner keeps them, with what
// else its record in the portfolio file held, so that an untouched portfolio is written back
// exactly as it was read.

#include "platform/PlistValue.h"
#include "store/Bond.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Portfolio {
    std::string name;
    std::vector<Bond> bonds;
    // The record as read from the portfolio file (also one without "Bonds", or one that is not
    // a dictionary), its bond list given up to `bonds`; absent for a portfolio created since.
    PlistValue stored;
    // `stored` held a bond list, which is written back from `bonds` in its place.
    bool storedHasBondList = false;
    // The bonds or the name were changed since reading: the record is written with its name and
    // its bonds as they are now, its other keys kept.
    bool bondsChanged = false;

    // Why bonds cannot be stored in the record read (one that is not a dictionary, or whose
    // "Bonds" is not a list), so that it is never replaced by one that can; empty when they can.
    std::string recordUnfitForBonds() const;

    // The position of the first bond with this serial.
    std::optional<std::size_t> indexOf(std::string_view serial) const;
    // The first bond with this serial, or nullptr.
    const Bond* find(std::string_view serial) const;
};

// The portfolios of a portfolio file's root dictionary, in the file's order. The bond lists are
// taken out of `root` as they are read, so that a large file is not held twice.
std::vector<Portfolio> takePortfoliosFromPropertyList(PlistDict& root);
// The root dictionary to write: untouched records as they were read, the others anew.
PlistDictRef portfoliosToPropertyList(const std::vector<Portfolio>& portfolios);
// The record written for one portfolio.
PlistValue portfolioRecord(const Portfolio& portfolio);
// The portfolio file's text: the same bytes as the root dictionary above written as XML, written
// straight from the portfolios. False, with the reason, when it cannot be written.
bool appendPortfolioFileXml(const std::vector<Portfolio>& portfolios, std::string& out,
                            std::string& error);

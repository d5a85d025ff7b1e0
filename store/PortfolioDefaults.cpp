#include "store/PortfolioDefaults.h"

#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "store/PortfolioDetails.h"

std::string defaultOwnerOf(const Portfolio& portfolio) {
    return portfolioDetailsOf(portfolio).defaultOwner;
}

std::string defaultOwnerOf(const BondDatabase& store, std::string_view portfolio) {
    const Portfolio* found = store.portfolio(portfolio);
    return found != nullptr ? defaultOwnerOf(*found) : std::string();
}

#include "store/PortfolioDetails.h"

#include "store/BondRecord.h"
#include "store/Portfolio.h"

namespace {

constexpr std::string_view kCashKeyword = "cash";
constexpr std::string_view kAccrualKeyword = "accrual";

std::string storedText(const Portfolio& portfolio, std::string_view key) {
    const PlistDict* record = portfolio.stored.dictPtr();
    const PlistValue* value = record != nullptr ? record->find(key) : nullptr;
    const std::string* text = value != nullptr ? value->stringPtr() : nullptr;
    return text != nullptr ? *text : std::string();
}

} // namespace

std::string_view taxMethodKeyword(TaxMethod method) {
    return method == TaxMethod::Accrual ? kAccrualKeyword : kCashKeyword;
}

std::optional<TaxMethod> taxMethodOfKeyword(std::string_view keyword) {
    if (keyword == kCashKeyword) {
        return TaxMethod::Cash;
    }
    if (keyword == kAccrualKeyword) {
        return TaxMethod::Accrual;
    }
    return std::nullopt;
}

PortfolioDetails portfolioDetailsOf(const Portfolio& portfolio) {
    PortfolioDetails details;
    details.defaultOwner = storedText(portfolio, kPortfolioDefaultOwnerKey);
    details.ownerBirthMonth =
        YearMonth::fromKeyText(storedText(portfolio, kPortfolioOwnerBirthMonthKey));
    details.taxMethod = taxMethodOfKeyword(storedText(portfolio, kPortfolioTaxMethodKey));
    return details;
}

#include "valuation/ElectronicValue.h"

int leavesPerElectronicHundred(BondSeries series) {
    // $100 of an electronic bond is worth the paper bonds its price bought: their face value is
    // $100 times the electronic price over the paper price, in $25 leaves.
    const SeriesRules& rules = seriesRules(series);
    constexpr int kLeavesPerHundred = 4;
    if (rules.electronicIssuePricePerMille == 0) {
        return kLeavesPerHundred;
    }
    return kLeavesPerHundred * rules.electronicIssuePricePerMille / rules.issuePricePerMille;
}

Amount electronicValueOfHundred(std::int64_t amountCents, std::int64_t hundredCents) {
    // amountCents / 100 dollars times hundredCents / 100 is amountCents * hundredCents / 10,000
    // cents; the half cent goes up. Wide enough for any amount the entry takes.
    const Amount::Millionths product = Amount::Millionths{amountCents} * hundredCents;
    return Amount::ofCents(static_cast<std::int64_t>((product + 5000) / 10000));
}

Amount electronicValue(BondSeries series, std::int64_t amountCents, ValueCell cell) {
    return electronicValueOfHundred(amountCents,
                                    std::int64_t{cell} * leavesPerElectronicHundred(series));
}

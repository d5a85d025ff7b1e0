#include "valuation/ElectronicValue.h"

int leavesPerElectronicHundred(BondSeries series) {
    return series == BondSeries::EE ? 8 : 4;
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

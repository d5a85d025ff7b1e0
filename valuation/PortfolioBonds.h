#pragma once

// The one place where the report reads a portfolio's bonds from the store.

#include "store/Bond.h"

#include <string>
#include <vector>

class BondDatabase;

// The bonds of the portfolio with that name, in the portfolio's order; none when there is no
// such portfolio.
std::vector<Bond> bondsOfPortfolio(const BondDatabase& store, const std::string& name);

// A stored bond record as the report reads it: a face value stored as a number counts as its
// plain decimal text, as the value table has always read it.
Bond reportBondOf(const Bond& stored);

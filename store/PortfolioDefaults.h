#pragma once

// What a portfolio's record holds for the bonds entered into it.

#include <string>
#include <string_view>

class BondDatabase;
struct Portfolio;

// The owner new bonds of the portfolio take; empty when it has none.
std::string defaultOwnerOf(const Portfolio& portfolio);
std::string defaultOwnerOf(const BondDatabase& store, std::string_view portfolio);

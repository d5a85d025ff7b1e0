#pragma once

// Messages about entering bonds that more than one place shows.

#include <string_view>

// The title of the note that a command needs an open portfolio: nothing failed, the user is
// told what to do first.
inline constexpr std::string_view kNoPortfolioOpenTitle = "No Portfolio Open";

// Bonds are entered into the open portfolio, so there must be one.
inline constexpr std::string_view kNoPortfolioForEditingMessage =
    "Please either open an existing bond file or create a new bond file before editing bonds.";

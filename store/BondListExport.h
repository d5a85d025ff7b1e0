#pragma once

// The bond list written as "Orvelt for Windows" writes it, for its import and Orvelt's own:
//   "Serial Number","Type","Face Value","Month Issued","Year Issued"
//   "C123","EE",$100,"6","2001"
//   "C124","EE",$1,000,"6","2001"
// What that edition has no column for (an electronic bond, the registration and the note) goes
// in further columns after the year, titled on the header line; a row holds them only up to its
// last one that is set, so that a list of plain paper bonds is exactly what that edition writes.

#include "store/Bond.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The titles of the further columns, in their order after "Year Issued".
inline constexpr std::array<std::string_view, 6> kBondListExtraTitles = {
    "Electronic", "Owner", "Second Name", "Second Name Is", "Kept At", "Note"};
// What the "Electronic" column holds for an electronic bond; empty for paper.
inline constexpr std::string_view kElectronicMark = "Yes";

// The list's text, lines ended with a carriage return and a line feed.
std::string bondListText(const std::vector<Bond>& bonds);

// The further fields of a bond, in the order of kBondListExtraTitles.
std::array<std::string, kBondListExtraTitles.size()> bondListExtraFields(const Bond& bond);

#pragma once

// The month each series of savings bonds was first issued: E May 1941 (31 CFR 316), savings notes
// May 1967 (31 CFR 342.0), EE January 1980 (31 CFR 351), I September 1998 (31 CFR 359). A bond
// dated earlier cannot exist; the editor and the report say so.

#include "store/YearMonth.h"

#include <array>
#include <optional>
#include <string_view>

struct SeriesFirstIssue {
    std::string_view series;
    YearMonth month;
};

inline constexpr std::array<SeriesFirstIssue, 4> kSeriesFirstIssues = {{
    {"E", {1941, 5}},
    {"S", {1967, 5}},
    {"EE", {1980, 1}},
    {"I", {1998, 9}},
}};

// The first issue month of `series`; nothing for a series Orvelt does not know.
inline std::optional<YearMonth> firstIssueOf(std::string_view series) {
    for (const SeriesFirstIssue& first : kSeriesFirstIssues) {
        if (first.series == series) {
            return first.month;
        }
    }
    return std::nullopt;
}

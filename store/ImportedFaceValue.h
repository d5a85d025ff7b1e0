#pragma once

// The face value of an imported row, as the bond list writes it after its "$": whole dollars,
// with or without thousands separators ("1,000", "10000"), maybe with zero cents ("100.00").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The dollars as the portfolio keeps them ("1000"), or nothing when the text is not a positive
// whole number of dollars written so ("-100", "1e309", "nan", "abc", "0", "1,00", "25.50").
std::optional<std::string> wholeDollarsOf(std::string_view text);

// Why a row's face value is passed over, or nothing when `text` reads as one of `faceValues`
// (the face values a bond is entered with); `dollars` is then what the portfolio keeps.
std::optional<std::string> faceValueProblem(std::string_view text,
                                            const std::vector<std::string>& faceValues,
                                            std::string& dollars);

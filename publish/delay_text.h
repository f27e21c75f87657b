#pragma once
// Reading the connection delay typed on the "Vask" page.
#include <optional>
#include <string_view>

namespace vask {

// The number at the start of the text: leading blanks skipped, reading stops
// at the first character that cannot belong to a number; no leading number
// gives 0.
double leading_number(std::string_view text);

// The delay in whole seconds (halves to the even neighbour), or nothing when
// the text is empty or the delay lies outside min..max.
std::optional<int> delay_seconds(std::string_view text, int min, int max);

// Whether the whole text, blanks around it allowed, is a decimal number
// from min to max.
bool is_number_in_range(std::string_view text, double min, double max);

}  // namespace vask

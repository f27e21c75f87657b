#include "publish/delay_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "app/settings_loader.h"

namespace vask {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The length of the longest prefix of the form [+-]digits[.digits][e[+-]digits].
size_t number_prefix(std::string_view text) {
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    size_t before_exponent = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) i = before_exponent;
    }
    return i;
}

// Parses a number of the form above; from_chars takes no leading '+'.
double parse(std::string_view number) {
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double value = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return value;
}

}  // namespace

double leading_number(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    size_t length = number_prefix(text);
    return length == 0 ? 0.0 : parse(text.substr(0, length));
}

std::optional<int> delay_seconds(std::string_view text, int min, int max) {
    if (trim_blanks(text).empty()) return std::nullopt;
    double value = std::nearbyint(leading_number(text));  // the default rounding: halves to even
    if (!(value >= min && value <= max)) return std::nullopt;
    return int(value);
}

bool is_number_in_range(std::string_view text, double min, double max) {
    std::string trimmed = trim_blanks(text);
    size_t length = number_prefix(trimmed);
    if (length == 0 || length != trimmed.size()) return false;
    double value = parse(trimmed);
    return value >= min && value <= max;
}

}  // namespace vask

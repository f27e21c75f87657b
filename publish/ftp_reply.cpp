#include "publish/ftp_reply.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace vask {

namespace {

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

std::string_view ftp_without_line_end(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

int ftp_reply_code(std::string_view line) {
    const std::string_view head = line.substr(0, 3);
    std::size_t i = 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
    // The longest prefix that reads as a number: sign, digits, fraction, exponent.
    std::string number;
    if (i < head.size() && (head[i] == '+' || head[i] == '-')) number += head[i++];
    bool any_digit = false;
    while (i < head.size() && is_digit(head[i])) {
        number += head[i++];
        any_digit = true;
    }
    if (i < head.size() && head[i] == '.') {
        number += head[i++];
        while (i < head.size() && is_digit(head[i])) {
            number += head[i++];
            any_digit = true;
        }
    }
    if (!any_digit) return 0;
    if (i < head.size() && (head[i] == 'e' || head[i] == 'E' || head[i] == 'd' || head[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < head.size() && (head[j] == '+' || head[j] == '-')) exponent += head[j++];
        bool exponent_digit = false;
        while (j < head.size() && is_digit(head[j])) {
            exponent += head[j++];
            exponent_digit = true;
        }
        if (exponent_digit) number += exponent;
    }
    const double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
    if (!(std::fabs(value) <= double(std::numeric_limits<int>::max()))) return 0;
    return static_cast<int>(value);
}

std::string_view ftp_reply_text(std::string_view line) {
    line = ftp_without_line_end(line);
    const std::size_t blank = line.find(' ');
    return blank == std::string_view::npos ? line : line.substr(blank + 1);
}

std::string ftp_directory_of(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank < 2) return {};
    return std::string(text.substr(1, blank - 2));
}

}  // namespace vask

#include "desktop/user_time_format.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

namespace vask {

namespace {

// The locale name the C library would take for LC_TIME from "".
std::string environment_time_locale() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return "C";
}

// The time and character-set categories of one locale, so the names the
// locale writes can be converted from its own character set.
class TimeLocale {
public:
    explicit TimeLocale(const std::string& name) {
        locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name.c_str(), locale_t(0));
        if (!locale_) locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", locale_t(0));
    }
    ~TimeLocale() {
        if (locale_) freelocale(locale_);
    }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    std::string info(nl_item item) const { return nl_langinfo_l(item, locale_); }
    locale_t get() const { return locale_; }

private:
    locale_t locale_ = locale_t(0);
};

// One piece of a strftime pattern: a conversion ("%-d": flags "-",
// conversion 'd') or literal text (conversion 0).
struct Piece {
    std::string text;
    std::string flags;  // flags, width and E/O modifier
    char conversion = 0;
};

std::vector<Piece> split_pattern(std::string_view pattern) {
    std::vector<Piece> pieces;
    for (size_t i = 0; i < pattern.size();) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            if (pieces.empty() || pieces.back().conversion) pieces.push_back({});
            pieces.back().text += pattern[i++];
            continue;
        }
        size_t start = i++;
        Piece piece;
        while (i < pattern.size() && std::strchr("_-0^#EO123456789", pattern[i]))
            piece.flags += pattern[i++];
        if (i >= pattern.size()) {  // a lone "%" at the end: keep it as text
            pieces.push_back({std::string(pattern.substr(start)), "", 0});
            break;
        }
        piece.conversion = pattern[i++];
        piece.text = std::string(pattern.substr(start, i - start));
        pieces.push_back(piece);
    }
    return pieces;
}

std::string time_pattern(const TimeLocale& locale) {
    std::string pattern = locale.info(T_FMT);
    if (pattern.empty()) pattern = "%H:%M:%S";
    std::string out;
    for (const Piece& piece : split_pattern(pattern)) {
        if (piece.conversion == 'r' && piece.flags.empty()) {
            // "%r" is the 12-hour form; expand it to drop the hour's zero.
            std::string ampm = locale.info(T_FMT_AMPM);
            if (ampm.empty() || ampm.find("%r") != std::string::npos) ampm = "%I:%M:%S %p";
            for (const Piece& inner : split_pattern(ampm))
                out += (inner.conversion == 'I' || inner.conversion == 'l') && inner.flags.empty()
                           ? std::string("%-") + inner.conversion
                           : inner.text;
        } else if ((piece.conversion == 'I' || piece.conversion == 'l') && piece.flags.empty()) {
            out += std::string("%-") + piece.conversion;
        } else {
            out += piece.text;
        }
    }
    return out;
}

std::string long_date_pattern(const TimeLocale& locale) {
    std::string short_date = locale.info(D_FMT);
    std::string order;  // 'd', 'm' and 'y' in the order the short date has them
    bool dot_after_day = false;
    std::vector<Piece> pieces = split_pattern(short_date);
    for (size_t i = 0; i < pieces.size(); ++i) {
        switch (pieces[i].conversion) {
            case 'd': case 'e':
                order += 'd';
                dot_after_day = i + 1 < pieces.size() && !pieces[i + 1].conversion &&
                                pieces[i + 1].text.starts_with('.');
                break;
            case 'm': case 'b': case 'B': case 'h': order += 'm'; break;
            case 'y': case 'Y': case 'C': case 'G': case 'g': order += 'y'; break;
            case 'D': order += "mdy"; break;
            case 'F': order += "ymd"; break;
            default: break;
        }
    }
    if (order.starts_with('m')) return "%A, %B %-d, %Y";
    if (order.starts_with('d')) return dot_after_day ? "%A, %-d. %B %Y" : "%A, %-d %B %Y";
    return "%A, " + (short_date.empty() ? std::string("%Y-%m-%d") : short_date);
}

// Text in the locale's character set to UTF-8; bytes that do not convert
// become "?".
std::string to_utf8(const std::string& text, const TimeLocale& locale) {
    std::string codeset = locale.info(CODESET);
    bool ascii = true;
    for (char ch : text) ascii = ascii && (unsigned char)ch < 0x80;
    if (ascii || codeset == "UTF-8") return text;

    std::string out;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    std::vector<char> buffer(text.size() * 4 + 4);
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    while (in_left > 0) {
        char* dest = buffer.data();
        size_t dest_left = buffer.size();
        size_t result = cd == iconv_t(-1) ? size_t(-1) : iconv(cd, &in, &in_left, &dest, &dest_left);
        out.append(buffer.data(), size_t(dest - buffer.data()));
        if (result == size_t(-1)) {  // no converter, or a byte it rejects
            out += '?';
            ++in;
            --in_left;
        }
    }
    if (cd != iconv_t(-1)) iconv_close(cd);
    return out;
}

std::string format(std::chrono::system_clock::time_point time, const std::string& pattern,
                   const TimeLocale& locale) {
    std::time_t t = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&t, &local);
    // A leading blank tells an empty result from a buffer too small.
    std::string marked = " " + pattern;
    for (size_t size = 128; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        size_t n = strftime_l(buffer.data(), size, marked.c_str(), &local, locale.get());
        if (n > 0) return to_utf8(std::string(buffer.data() + 1, n - 1), locale);
    }
    return {};
}

}  // namespace

bool locale_installed(const std::string& locale_name) {
    locale_t locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, locale_name.c_str(), locale_t(0));
    if (!locale) return false;
    freelocale(locale);
    return true;
}

std::string time_text_in_locale(const std::string& locale_name,
                                std::chrono::system_clock::time_point time) {
    TimeLocale locale(locale_name);
    return format(time, time_pattern(locale), locale);
}

std::string long_date_text_in_locale(const std::string& locale_name,
                                     std::chrono::system_clock::time_point time) {
    TimeLocale locale(locale_name);
    return format(time, long_date_pattern(locale), locale);
}

std::string user_time_text(std::chrono::system_clock::time_point time) {
    return time_text_in_locale(environment_time_locale(), time);
}

std::string user_long_date_text(std::chrono::system_clock::time_point time) {
    return long_date_text_in_locale(environment_time_locale(), time);
}

}  // namespace vask

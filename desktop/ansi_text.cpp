#include "desktop/ansi_text.h"

#include <cstdint>

namespace vask {

namespace {

// The characters of bytes 0x80-0x9F. The undefined bytes keep their own
// value (the C1 control).
constexpr char32_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The byte of a code point, or -1 when the code page has none.
int ansi_byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == cp) return 0x80 + i;
    return -1;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {  // the table holds nothing above U+FFFF
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Decodes the well-formed sequence at text[i]; returns its length, or 0 when
// the byte at i does not start one.
size_t decode_utf8(std::string_view text, size_t i, char32_t& cp) {
    auto byte = [&](size_t k) { return std::uint8_t(text[k]); };
    std::uint8_t lead = byte(i);
    size_t length;
    char32_t min;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string to_ansi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t length = decode_utf8(utf8, i, cp);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        int b = ansi_byte(cp);
        out += b < 0 ? '?' : char(b);
        i += length;
    }
    return out;
}

std::string from_ansi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        std::uint8_t b = std::uint8_t(c);
        append_utf8(out, b >= 0x80 && b <= 0x9F ? kHighTable[b - 0x80] : char32_t(b));
    }
    return out;
}

std::string crlf_lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

}  // namespace vask

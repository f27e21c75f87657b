#pragma once
// Text at the edges of the program. Controls hold UTF-8; files and the
// network carry single-byte Windows-1252, the code page the program's peers
// use. Every conversion between the two goes through these helpers.
//
// Windows-1252 is Latin-1 (bytes 0xA0-0xFF are U+00A0-U+00FF, 0x00-0x7F are
// ASCII) except for 0x80-0x9F, where a table of 32 entries holds the
// typographic characters (euro sign, curly quotes, dashes, ...). The five
// bytes the code page leaves undefined, 0x81 0x8D 0x8F 0x90 0x9D, stand for
// the C1 control characters of the same value, as Windows itself maps them;
// so from_ansi is total and to_ansi(from_ansi(b)) == b for every byte string.
#include <string>
#include <string_view>
#include <vector>

namespace vask {

// UTF-8 to Windows-1252. A character the code page cannot hold becomes "?",
// and so does every byte that is not part of a well-formed UTF-8 sequence
// (overlong forms, surrogates and values above U+10FFFF are not well-formed).
std::string to_ansi(std::string_view utf8);

// Windows-1252 to UTF-8; every byte maps to one character.
std::string from_ansi(std::string_view bytes);

// The lines joined with CR LF after each one, the last included.
std::string crlf_lines(const std::vector<std::string>& lines);

}  // namespace vask

#pragma once
// Reply lines of the FTP control connection (RFC 959): what a line's code
// and text are, and the directory a PWD reply names. Lines are the raw
// Windows-1252 bytes as received, line end included or not.
#include <cstddef>
#include <string>
#include <string_view>

namespace vask {

// Characters of a reply line that are kept; the rest of a longer line is
// read and dropped, so it is never taken for the next reply.
inline constexpr std::size_t kFtpMaxLineLength = 255;

// The line without its line end (LF or CR LF).
std::string_view ftp_without_line_end(std::string_view line);

// The number the first three characters of the line read as: leading blanks
// are skipped and reading stops at the first character that cannot belong to
// a number ("220 ok" is 220, " 22" is 22, "2a0" is 2); a fraction is rounded
// to the nearest whole number, halves to the even one. A line that does not
// start with a number reads as 0.
int ftp_reply_code(std::string_view line);

// True for a code a server may send: three digits, 100 to 599.
inline bool ftp_valid_code(int code) { return code >= 100 && code <= 599; }

// A multi-line reply starts with a line whose fourth character is "-".
inline bool ftp_starts_multiline(std::string_view line) { return line.size() >= 4 && line[3] == '-'; }

// Everything after the first blank, without the line end; the whole line
// when it has no blank.
std::string_view ftp_reply_text(std::string_view line);

// The directory of a 257 reply text such as "\"/www\" is the current
// directory": from its second character to two characters before its first
// blank, so the name without its quotes. A text without a blank gives "".
std::string ftp_directory_of(std::string_view text);

}  // namespace vask

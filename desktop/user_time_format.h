#pragma once
// The current time and the long date as text in the user's formats, taken
// from the LC_TIME locale of the environment (LC_ALL, else LC_TIME, else
// LANG; the C locale when none is set or the named one is not installed).
// The result is UTF-8 whatever the locale's character set.
//
// Time: the locale's time format (T_FMT; its 12-hour form T_FMT_AMPM when
// T_FMT is "%r"). A 12-hour hour is written without its leading zero, as
// desktop clocks show it: "3:04:06 PM" in en_US. 24-hour formats are left as
// the locale has them: "15:04:06" in C and de_DE.
//
// Long date: glibc has no long date format, so one is built from the order
// of day, month and year in the locale's short date format (D_FMT), with the
// full weekday and month names and the day unpadded:
//   month first (en_US, C):   "%A, %B %-d, %Y"  Wednesday, December 9, 2026
//   day first (en_GB, fr_FR): "%A, %-d %B %Y"   Wednesday, 9 December 2026
//   day first with "." after the day (de_DE): "%A, %-d. %B %Y"
//   anything else (year first): "%A, " + D_FMT
#include <chrono>
#include <string>

namespace vask {

std::string user_time_text(std::chrono::system_clock::time_point time);
std::string user_long_date_text(std::chrono::system_clock::time_point time);

// The same in a named locale ("en_US.UTF-8", "C"); the C locale when that
// one is not installed.
std::string time_text_in_locale(const std::string& locale_name,
                                std::chrono::system_clock::time_point time);
std::string long_date_text_in_locale(const std::string& locale_name,
                                     std::chrono::system_clock::time_point time);

// Whether the named locale is installed on this machine.
bool locale_installed(const std::string& locale_name);

}  // namespace vask

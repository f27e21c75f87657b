#pragma once
// The current time and the long date as text in the user's formats, taken
// from the LC_TIME locale of the environment.
#include <chrono>
#include <string>

namespace vask {

std::string user_time_text(std::chrono::system_clock::time_point time);
std::string user_long_date_text(std::chrono::system_clock::time_point time);

}  // namespace vask

#include "desktop/user_time_format.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

namespace vask {

namespace {

// The LC_TIME locale the user chose, without changing the process locale.
class TimeLocale {
public:
    TimeLocale() {
        locale_ = newlocale(LC_TIME_MASK, "", nullptr);
        if (!locale_) locale_ = newlocale(LC_TIME_MASK, "C", nullptr);
    }
    ~TimeLocale() {
        if (locale_) freelocale(locale_);
    }
    locale_t get() const { return locale_; }

private:
    locale_t locale_ = nullptr;
};

std::string format(std::chrono::system_clock::time_point time, const char* pattern, locale_t locale) {
    std::time_t t = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[256];
    size_t n = strftime_l(buffer, sizeof buffer, pattern, &local, locale);
    return std::string(buffer, n);
}

}  // namespace

std::string user_time_text(std::chrono::system_clock::time_point time) {
    TimeLocale locale;
    return format(time, "%X", locale.get());
}

std::string user_long_date_text(std::chrono::system_clock::time_point time) {
    TimeLocale locale;
    return format(time, "%A, %B %e, %Y", locale.get());
}

}  // namespace vask

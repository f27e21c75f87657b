#include "desktop/user_time_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <ostream>

namespace vask {
namespace {

using Clock = std::chrono::system_clock;

// A moment given in local time, so the texts do not depend on the time zone.
Clock::time_point local(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return Clock::from_time_t(std::mktime(&tm));
}

#define SKIP_UNLESS_INSTALLED(name)                                                           \
    if (!locale_installed(name))                                                              \
    GTEST_SKIP() << "locale " << name << " is not installed (Debian: package locales, then " \
                 << "localedef -i " << std::string(name).substr(0, std::string(name).find('.')) \
                 << " -f UTF-8 " << name << ")"

struct Case {
    const char* locale;
    int hour, minute, second;
    int year, month, day;
    const char* time;
    const char* date;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.locale << " " << c.time << " " << c.date; }

const Case kCases[] = {
    {"C", 15, 4, 6, 2026, 12, 9, "15:04:06", "Wednesday, December 9, 2026"},
    {"C", 0, 0, 0, 2027, 1, 1, "00:00:00", "Friday, January 1, 2027"},
    {"POSIX", 9, 30, 0, 2026, 12, 31, "09:30:00", "Thursday, December 31, 2026"},
    {"en_US.UTF-8", 15, 4, 6, 2026, 12, 9, "3:04:06 PM", "Wednesday, December 9, 2026"},
    {"en_US.UTF-8", 0, 4, 6, 2027, 1, 1, "12:04:06 AM", "Friday, January 1, 2027"},
    {"en_US.UTF-8", 9, 30, 0, 2026, 11, 22, "9:30:00 AM", "Sunday, November 22, 2026"},
    {"en_US.UTF-8", 12, 0, 0, 2026, 2, 28, "12:00:00 PM", "Saturday, February 28, 2026"},
    {"en_US.UTF-8", 23, 59, 59, 2026, 12, 9, "11:59:59 PM", "Wednesday, December 9, 2026"},
    {"en_GB.UTF-8", 15, 4, 6, 2026, 12, 9, "15:04:06", "Wednesday, 9 December 2026"},
    {"de_DE.UTF-8", 9, 4, 6, 2026, 3, 9, "09:04:06", "Montag, 9. M\xC3\xA4rz 2026"},
};

class TimeFormatTest : public ::testing::TestWithParam<Case> {};

TEST_P(TimeFormatTest, TimeAndLongDate) {
    const Case& c = GetParam();
    SKIP_UNLESS_INSTALLED(c.locale);
    Clock::time_point t = local(c.year, c.month, c.day, c.hour, c.minute, c.second);
    EXPECT_EQ(time_text_in_locale(c.locale, t), c.time);
    EXPECT_EQ(long_date_text_in_locale(c.locale, t), c.date);
}

INSTANTIATE_TEST_SUITE_P(Locales, TimeFormatTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.locale;
    name = name.substr(0, name.find('.')) + "_" + std::to_string(info.index);
    return name;
});

TEST(TimeFormat, UnknownLocaleFallsBackToC) {
    Clock::time_point t = local(2026, 12, 9, 15, 4, 6);
    EXPECT_EQ(time_text_in_locale("xx_NOWHERE.UTF-8", t), "15:04:06");
    EXPECT_EQ(long_date_text_in_locale("xx_NOWHERE.UTF-8", t), "Wednesday, December 9, 2026");
}

// Sets environment variables for one test and puts them back afterwards.
class Environment {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~Environment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(UserTimeFormat, LocaleComesFromLcAllThenLcTimeThenLang) {
    SKIP_UNLESS_INSTALLED("en_US.UTF-8");
    Clock::time_point t = local(2026, 12, 9, 15, 4, 6);
    Environment env;
    env.set("LC_ALL", nullptr);
    env.set("LC_TIME", nullptr);
    env.set("LANG", "en_US.UTF-8");
    EXPECT_EQ(user_time_text(t), "3:04:06 PM");
    env.set("LC_TIME", "C");
    EXPECT_EQ(user_time_text(t), "15:04:06");
    env.set("LC_ALL", "en_US.UTF-8");
    EXPECT_EQ(user_time_text(t), "3:04:06 PM");
    EXPECT_EQ(user_long_date_text(t), "Wednesday, December 9, 2026");
}

TEST(UserTimeFormat, NoLocaleSetIsTheCLocale) {
    Clock::time_point t = local(2026, 12, 9, 15, 4, 6);
    Environment env;
    env.set("LC_ALL", nullptr);
    env.set("LC_TIME", nullptr);
    env.set("LANG", nullptr);
    EXPECT_EQ(user_time_text(t), "15:04:06");
    EXPECT_EQ(user_long_date_text(t), "Wednesday, December 9, 2026");
}

}  // namespace
}  // namespace vask

#include <gtest/gtest.h>

#include "publish/delay_text.h"

namespace vask {
namespace {

TEST(DelayText, ConnectionDelayTable) {
    struct Case {
        const char* text;
        std::optional<int> seconds;
    };
    const Case cases[] = {
        {"2", 2},        {" 7", 7},       {"2.5", 2},      {"3.5", 4},     {"0.5", std::nullopt},
        {"1", 1},        {"20", 20},      {"20.5", 20},    {"21", std::nullopt},
        {"25", std::nullopt}, {"0", std::nullopt},   {"abc", std::nullopt}, {"", std::nullopt},
        {"   ", std::nullopt}, {"5x", 5},  {"1e1", 10},     {"1e999", std::nullopt},
        {"-3", std::nullopt}, {"+4", 4},
    };
    for (const Case& test : cases)
        EXPECT_EQ(delay_seconds(test.text, 1, 20), test.seconds) << '"' << test.text << '"';
}

TEST(DelayText, FieldCheckTable) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"2", true},  {" 60 ", true}, {"2.5", true}, {"25", true},   {"61", false},
        {"0", false}, {"", false},    {"abc", false}, {"5x", false}, {"1 2", false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(is_number_in_range(test.text, 1, 60), test.valid) << '"' << test.text << '"';
}

}  // namespace
}  // namespace vask

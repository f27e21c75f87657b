#include "desktop/ansi_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <ostream>

namespace vask {
namespace {

struct Case {
    const char* name;
    std::string utf8;
    std::string ansi;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kToAnsi[] = {
    {"Ascii", "joe <b>@ 127.0.0.1\t~", "joe <b>@ 127.0.0.1\t~"},
    {"Latin1", "Caf\xC3\xA9 \xC2\xA0\xC3\xBF\xC3\x80", "Caf\xE9 \xA0\xFF\xC0"},
    {"TypographicRange", "\xE2\x82\xAC \xE2\x80\x9C\xE2\x80\x9D \xE2\x80\x94 \xC5\xB8 \xE2\x84\xA2",
     "\x80 \x93\x94 \x97 \x9F \x99"},
    {"NotInTheCodePage", "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xC4\x80", "?? ? ?"},
    {"C1ControlsOnlyWhereTheCodePageHasNoCharacter", "\xC2\x81\xC2\x8D\xC2\x80\xC2\x9F", "\x81\x8D??"},
    {"Nul", std::string("a\0b", 3), std::string("a\0b", 3)},
    {"StrayContinuation", "a\x80" "b", "a?b"},
    {"InvalidLeadBytes", "\xFF\xFE\xC0\xC1", "????"},
    {"TruncatedAtTheEnd", "ok\xE2\x82", "ok??"},
    {"InterruptedSequence", "\xE2\x82" "A", "??A"},
    {"Overlong", "\xC0\xAF\xE0\x80\xAF", "?????"},
    {"Surrogate", "\xED\xA0\x80", "???"},
    {"AboveTheLastCodePoint", "\xF4\x90\x80\x80", "????"},
    {"Empty", "", ""},
};

class ToAnsiTest : public ::testing::TestWithParam<Case> {};

TEST_P(ToAnsiTest, Converts) { EXPECT_EQ(to_ansi(GetParam().utf8), GetParam().ansi); }

INSTANTIATE_TEST_SUITE_P(Cases, ToAnsiTest, ::testing::ValuesIn(kToAnsi),
                         [](const auto& info) { return std::string(info.param.name); });

std::string all_bytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += char(b);
    return bytes;
}

// glibc's own table is the reference for every byte it defines.
TEST(FromAnsi, AgreesWithTheSystemConverter) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    ASSERT_NE(cd, iconv_t(-1));
    for (int b = 0; b < 256; ++b) {
        char in_byte = char(b);
        char out[8];
        char* in = &in_byte;
        char* dest = out;
        size_t in_left = 1, out_left = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &in_left, &dest, &out_left) == size_t(-1)) {
            // Undefined in the code page: the C1 control of the same value.
            EXPECT_TRUE(b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) << b;
            EXPECT_EQ(from_ansi(std::string(1, in_byte)), (std::string{char(0xC2), in_byte})) << b;
            continue;
        }
        EXPECT_EQ(from_ansi(std::string(1, in_byte)), std::string(out, size_t(dest - out))) << b;
    }
    iconv_close(cd);
}

TEST(FromAnsi, EveryByteComesBackUnchanged) {
    std::string bytes = all_bytes();
    EXPECT_EQ(to_ansi(from_ansi(bytes)), bytes);
}

TEST(CrlfLines, EveryLineEndsWithCrLf) {
    EXPECT_EQ(crlf_lines({}), "");
    EXPECT_EQ(crlf_lines({""}), "\r\n");
    EXPECT_EQ(crlf_lines({"a", "", "b c"}), "a\r\n\r\nb c\r\n");
}

}  // namespace
}  // namespace vask

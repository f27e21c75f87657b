#include <gtest/gtest.h>

#include "publish/ftp_reply.h"

namespace vask {
namespace {

using namespace std::literals;

TEST(FtpReply, CodeIsWhatTheFirstThreeCharactersReadAs) {
    struct Case {
        std::string_view line;
        int code;
    } cases[] = {
        {"220 Service ready\r\n", 220},
        {"220-Welcome\r\n", 220},
        {"2201 more digits", 220},  // only three characters count
        {" 22 indented", 22},
        {"  5", 5},
        {"2a0 letter inside", 2},
        {"Hello", 0},
        {"", 0},
        {"\x00\xff\x80"sv, 0},
        {"-12", -12},
        {"+22", 22},
        {"1e2", 100},  // an exponent belongs to a number
        {"2.5", 2},    // halves go to the even neighbour
        {"3.5", 4},
        {".5x", 0},
        {"9e9", 0},  // too large for a code at all
    };
    for (const Case& c : cases) EXPECT_EQ(ftp_reply_code(c.line), c.code) << '"' << c.line << '"';
}

TEST(FtpReply, TextIsWhatFollowsTheFirstBlank) {
    EXPECT_EQ(ftp_reply_text("230 User logged in, proceed.\r\n"), "User logged in, proceed.");
    EXPECT_EQ(ftp_reply_text("220-first line\n"), "line");  // the dash is no blank
    EXPECT_EQ(ftp_reply_text("NoBlankAtAll\r\n"), "NoBlankAtAll");
    EXPECT_EQ(ftp_reply_text("226 \r\n"), "");
}

TEST(FtpReply, MultiLineStartsWithADashAsFourthCharacter) {
    EXPECT_TRUE(ftp_starts_multiline("220-Welcome"));
    EXPECT_FALSE(ftp_starts_multiline("220 Welcome"));
    EXPECT_FALSE(ftp_starts_multiline("22-"));
    EXPECT_TRUE(ftp_starts_multiline("abc-no code"));
}

TEST(FtpReply, DirectoryOfA257Reply) {
    struct Case {
        const char* text;
        const char* directory;
    } cases[] = {
        {"\"/www/site\" is the current directory", "/www/site"},
        {"\"/\" is current", "/"},
        {"\"/my dir\" is current", "/m"},  // a blank inside the name cuts it
        {"\"/tmp/x\"", ""},                 // no blank: no name
        {"\" x", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ftp_directory_of(c.text), c.directory) << c.text;
}

}  // namespace
}  // namespace vask

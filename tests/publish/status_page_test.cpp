#include "publish/status_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace vask::test {
namespace {

namespace fs = std::filesystem;

const char kTime[] = "3:04:06 PM";
const char kDate[] = "Wednesday, December 9, 2026";
const char kAddress[] = "192.168.1.20";

std::pair<std::string, std::string> fixed_clock() { return {kTime, kDate}; }
std::string fixed_address() { return kAddress; }

std::vector<std::string> page(PageKind kind, const PageSettings& settings = {},
                              const std::string& user = "joe") {
    return StatusPageLines(kind, user, fixed_address, fixed_clock, settings);
}

std::optional<std::string> write(PageKind kind, const fs::path& path,
                                 const PageSettings& settings = {},
                                 const std::string& user = "joe") {
    return WriteStatusPage(kind, path.string(), user, fixed_address, fixed_clock, settings);
}

std::string golden(const std::string& name) {
    std::string bytes = read_bytes(fs::path(VASK_TEST_SOURCE_DIR) / "publish" / "golden" / name);
    if (bytes.empty()) ADD_FAILURE() << "golden file missing: " << name;
    return bytes;
}

std::vector<std::string> split_crlf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

// Every line ends with CR LF, the last included, and no CR or LF stands alone.
void expect_crlf_only(const std::string& bytes) {
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR at " << i;
        }
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF at " << i;
        }
    }
}

struct GoldenCase {
    const char* file;
    PageKind kind;
    bool rules;
    size_t lines;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.file; }

class GoldenPageTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenPageTest, FirstStartSettingsGiveTheExactFile) {
    const GoldenCase& c = GetParam();
    TempDir dir;
    PageSettings settings;
    settings.rules = c.rules;
    ASSERT_EQ(write(c.kind, dir / "vask.htm", settings), std::nullopt);
    std::string bytes = read_bytes(dir / "vask.htm");
    EXPECT_EQ(bytes, golden(c.file));
    EXPECT_EQ(split_crlf(bytes).size(), c.lines);
    expect_crlf_only(bytes);
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPageTest,
                         ::testing::Values(GoldenCase{"online.htm", PageKind::Online, false, 35},
                                           GoldenCase{"online_rules.htm", PageKind::Online, true, 37},
                                           GoldenCase{"offline.htm", PageKind::Offline, false, 27},
                                           GoldenCase{"offline_rules.htm", PageKind::Offline, true, 29}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

// Lines are numbered from 1, as the page is read.
struct LinesCase {
    const char* name;
    PageKind kind;
    std::function<void(PageSettings&)> change;
    std::string user;
    size_t count;
    std::vector<std::pair<size_t, std::string>> lines;
};

void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.name; }

const char kMessage1[] = "You can reach me at my current IP Address";
const char kMessage2[] = "I'm using Vask for text based Chat";

const LinesCase kLinesCases[] = {
    {"EmptyFirstMessageStartsTheListWithAnItem", PageKind::Online,
     [](PageSettings& s) { s.messages[0] = ""; }, "joe", 33,
     {{21, "<UL>"}, {22, "<LI>"}, {23, kMessage2}, {24, "<P>"}, {25, "</UL>"}}},
    {"EmptyThirdMessageIsSkipped", PageKind::Online,
     [](PageSettings& s) { s.messages[3] = "four"; }, "joe", 38,
     {{24, "<LI>"}, {25, kMessage2}, {26, "<P>"}, {27, "<LI>"}, {28, "four"}, {29, "<P>"}, {30, "</UL>"}}},
    {"MessagesOfSpacesAreWritten", PageKind::Online,
     [](PageSettings& s) { s.messages = {"   ", "", "   ", ""}; }, "joe", 35,
     {{21, "<UL>"}, {22, "   "}, {23, "<P>"}, {24, "<LI>"}, {25, "   "}, {26, "<P>"}, {27, "</UL>"}}},
    {"NoMessagesLeaveAnEmptyList", PageKind::Online,
     [](PageSettings& s) { s.messages = {"", "", "", ""}; }, "joe", 30,
     {{21, "<UL>"}, {22, "</UL>"}, {23, "<P>"}}},
    {"MessagesAreNotEscaped", PageKind::Online,
     [](PageSettings& s) { s.messages[0] = "<b>Tom & Jerry</b>"; }, "joe", 35,
     {{22, "<b>Tom & Jerry</b>"}}},
    {"OfflinePageHasNoMessages", PageKind::Offline,
     [](PageSettings& s) { s.messages = {"one", "two", "three", "four"}; }, "joe", 27,
     {{19, "</FONT>"}, {20, "<P>"}, {21, "<!--Begin Comment                    -->"}}},
    {"BackgroundImageNameIsTrimmedAndUnquoted", PageKind::Online,
     [](PageSettings& s) {
         s.background_image = true;
         s.image_file = "  my back.gif ";
         s.bg_color = "00FF00";
     },
     "joe", 35, {{9, "<BODY  BACKGROUND=my back.gif>"}}},
    {"BackgroundImageWithoutName", PageKind::Offline,
     [](PageSettings& s) { s.background_image = true; }, "joe", 27, {{9, "<BODY  BACKGROUND=>"}}},
    {"ImageOffWritesTheTrimmedColourNotTheName", PageKind::Online,
     [](PageSettings& s) {
         s.image_file = "back.gif";
         s.bg_color = " 00FF00 ";
     },
     "joe", 35, {{9, "<BODY  BGCOLOR=\"#00FF00\">"}}},
    {"ColoursAreTrimmedButNotChecked", PageKind::Online,
     [](PageSettings& s) {
         s.bg_color = "";
         s.base_color = " 12";
         s.title_color = "red ";
         s.text_color = " ABCDEF ";
     },
     "joe", 35,
     {{9, "<BODY  BGCOLOR=\"#\">"},
      {10, "<BASEFONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#12\" SIZE=\"2\">"},
      {11, "<FONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#red\" SIZE=\"6\">"},
      {17, "<FONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#ABCDEF\" SIZE=\"2\">"}}},
    {"EmptyUserName", PageKind::Online, [](PageSettings&) {}, "", 35,
     {{4, "<!USER=>"}, {13, "<P> is currently online"}}},
    {"UserNameIsWrittenAsTyped", PageKind::Offline, [](PageSettings&) {}, " <i>Jo</i> ", 27,
     {{4, "<!USER= <i>Jo</i> >"}, {13, "<P> <i>Jo</i>  is currently offline"}}},
};

class PageLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(PageLinesTest, Lines) {
    const LinesCase& c = GetParam();
    PageSettings settings;
    c.change(settings);
    std::vector<std::string> lines = page(c.kind, settings, c.user);
    ASSERT_EQ(lines.size(), c.count);
    for (const auto& [number, text] : c.lines) EXPECT_EQ(lines.at(number - 1), text) << "line " << number;
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, PageLinesTest, ::testing::ValuesIn(kLinesCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusPageLines, ClockAndAddressAreReadAgainForTheTextBlock) {
    int clock_reads = 0, address_reads = 0;
    auto clock = [&] {
        ++clock_reads;
        return std::pair<std::string, std::string>("T" + std::to_string(clock_reads), "D");
    };
    auto address = [&] { return "10.0.0." + std::to_string(++address_reads); };
    std::vector<std::string> lines = StatusPageLines(PageKind::Online, "joe", address, clock, {});
    EXPECT_EQ(lines[1], "<!TIME=T1 D>");
    EXPECT_EQ(lines[2], "<!IP=10.0.0.1>");
    EXPECT_EQ(lines[17], "<P>I have been online since: T2 D");
    EXPECT_EQ(lines[18], "<P>My Current IP Address is: 10.0.0.2");
    EXPECT_EQ(clock_reads, 2);
    EXPECT_EQ(address_reads, 2);
}

TEST(StatusPageLines, OfflinePageNeverReadsTheAddress) {
    int address_reads = 0;
    auto address = [&] {
        ++address_reads;
        return std::string("192.168.1.20");
    };
    std::vector<std::string> lines = StatusPageLines(PageKind::Offline, "joe", address, fixed_clock, {});
    EXPECT_EQ(lines[2], "<!IP=127.0.0.1>");
    EXPECT_EQ(address_reads, 0);
}

TEST(WriteStatusPage, TextIsWrittenInWindows1252) {
    TempDir dir;
    PageSettings settings;
    settings.messages = {"Caf\xC3\xA9 \xE2\x80\x94 open", "\xE2\x82\xAC" "5", "", ""};
    ASSERT_EQ(write(PageKind::Online, dir / "p.htm", settings, "J\xC3\xB6rg \xE6\x97\xA5\xE6\x9C\xAC"),
              std::nullopt);
    std::vector<std::string> lines = split_crlf(read_bytes(dir / "p.htm"));
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines[3], "<!USER=J\xF6rg ??" ">");
    EXPECT_EQ(lines[12], "<P>J\xF6rg ?? is currently online");
    EXPECT_EQ(lines[21], "Caf\xE9 \x97 open");
    EXPECT_EQ(lines[24], "\x80" "5");
}

TEST(WriteStatusPage, WritingAgainReplacesTheWholeFile) {
    TempDir dir;
    PageSettings settings;
    settings.rules = true;
    settings.messages = {"one", "two", "three", "four"};
    ASSERT_EQ(write(PageKind::Online, dir / "vask.htm", settings), std::nullopt);
    ASSERT_GT(read_bytes(dir / "vask.htm").size(), golden("offline.htm").size());

    ASSERT_EQ(write(PageKind::Offline, dir / "vask.htm"), std::nullopt);
    EXPECT_EQ(read_bytes(dir / "vask.htm"), golden("offline.htm"));
}

TEST(WriteStatusPage, PagesOfTwoRunsDifferOnlyInTheTimeLines) {
    TempDir dir;
    PageSettings settings;
    settings.rules = true;  // every line of the table is written
    auto clock_at = [](const char* time) {
        return [time] { return std::pair<std::string, std::string>(time, kDate); };
    };
    ASSERT_EQ(WriteStatusPage(PageKind::Online, (dir / "a.htm").string(), "joe", fixed_address,
                              clock_at("3:04:06 PM"), settings),
              std::nullopt);
    std::vector<std::string> first = split_crlf(read_bytes(dir / "a.htm"));
    ASSERT_EQ(WriteStatusPage(PageKind::Online, (dir / "a.htm").string(), "joe", fixed_address,
                              clock_at("3:05:00 PM"), settings),
              std::nullopt);
    std::vector<std::string> second = split_crlf(read_bytes(dir / "a.htm"));
    ASSERT_EQ(first.size(), second.size());
    std::vector<size_t> differing;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != second[i]) differing.push_back(i + 1);
    EXPECT_EQ(differing, (std::vector<size_t>{2, 19}));
}

TEST(WriteStatusPage, ReplacedPageKeepsItsPermissionsAndNoTemporaryFileStays) {
    TempDir dir;
    fs::path path = dir / "vask.htm";
    ASSERT_EQ(write(PageKind::Online, path), std::nullopt);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(write(PageKind::Offline, path), std::nullopt);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(WriteStatusPage, ALinkIsFollowedAndStaysALink) {
    TempDir dir;
    fs::create_directory(dir / "pages");
    std::ofstream(dir / "pages" / "real.htm") << "old";
    fs::create_symlink("pages/real.htm", dir / "vask.htm");
    ASSERT_EQ(write(PageKind::Offline, dir / "vask.htm"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "vask.htm"));
    EXPECT_EQ(read_bytes(dir / "pages" / "real.htm"), golden("offline.htm"));
}

TEST(WriteStatusPage, RelativePathIsTakenFromTheCurrentFolder) {
    TempDir dir;
    fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    fs::create_directory("www");
    auto error = write(PageKind::Offline, "www/vask.htm");
    fs::current_path(previous);
    ASSERT_EQ(error, std::nullopt);
    EXPECT_EQ(read_bytes(dir / "www" / "vask.htm"), golden("offline.htm"));
}

struct FailureCase {
    const char* name;
    // Prepares the folder and returns the path to write.
    std::function<std::string(const TempDir&)> prepare;
    const char* reason;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailureCases[] = {
    {"MissingFolder", [](const TempDir& d) { return (d / "missing" / "vask.htm").string(); },
     "No such file or directory"},
    {"FolderIsAFile",
     [](const TempDir& d) {
         std::ofstream(d / "file") << "x";
         return (d / "file" / "vask.htm").string();
     },
     "Not a directory"},
    {"PathIsAFolder",
     [](const TempDir& d) {
         fs::create_directory(d / "vask.htm");
         return (d / "vask.htm").string();
     },
     "Is a directory"},
    {"ReadOnlyFile",
     [](const TempDir& d) {
         std::ofstream(d / "vask.htm") << "old page";
         fs::permissions(d / "vask.htm", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         return (d / "vask.htm").string();
     },
     "Permission denied"},
    {"EmptyPath", [](const TempDir&) { return std::string(); }, "No such file or directory"},
};

class WriteFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(WriteFailureTest, ReportsTheFileAndTheReasonAndLeavesTheFolderAsItWas) {
    TempDir dir;
    std::string path = GetParam().prepare(dir);
    auto listing = [&dir] {
        std::vector<fs::path> entries{fs::directory_iterator(dir.path()), fs::directory_iterator()};
        std::sort(entries.begin(), entries.end());
        return entries;
    };
    std::vector<fs::path> before = listing();
    std::string old_bytes = fs::is_regular_file(path) ? read_bytes(path) : "";

    EXPECT_EQ(write(PageKind::Online, path), "writing " + path + ": " + GetParam().reason);

    EXPECT_EQ(listing(), before);
    if (fs::is_regular_file(path)) {
        EXPECT_EQ(read_bytes(path), old_bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, WriteFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vask::test

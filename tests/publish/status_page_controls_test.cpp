#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "publish/status_page.h"
#include "support/temp_dir.h"
#include "support/window_fixture.h"

namespace vask::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> file_lines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

// The window's tests run in a folder of their own, as the page path is
// relative to the current folder.
class StatusPageWindowTest : public WindowTest {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
        desktop.fixed_now = std::chrono::system_clock::from_time_t(1'796'828'646);
    }
    void TearDown() override { fs::current_path(previous_); }

    // Records the enabled states a button goes through.
    void watch_enabled(Button* button) {
        window->form.set_observer([this, button](Control& control, Property what) {
            if (&control == button && what == Property::Enabled) enabled_states.push_back(control.enabled());
        });
    }
    std::vector<bool> enabled_states;

    std::string time_marker() {
        return "<!TIME=" + desktop.time_text(desktop.fixed_now) + " " +
               desktop.long_date_text(desktop.fixed_now) + ">";
    }

    TempDir dir_;

private:
    fs::path previous_;
};

TEST_F(StatusPageWindowTest, OnlineButtonWritesThePageWithTheInputsOfTheControls) {
    start();
    c().vaskUserName->set_text("joe");
    watch_enabled(c().vaskcmdCreateHTM);
    c().vaskcmdCreateHTM->click();

    std::vector<std::string> lines = file_lines(dir_ / "vask.htm");
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines[0], "<!STATUS=ONLINE>");
    EXPECT_EQ(lines[1], time_marker());
    EXPECT_EQ(lines[2], "<!IP=" + window->LocalAddress() + ">");
    EXPECT_EQ(lines[3], "<!USER=joe>");
    EXPECT_EQ(enabled_states, (std::vector<bool>{false, true}));
    EXPECT_TRUE(c().vaskcmdCreateHTM->enabled());
    EXPECT_EQ(window->form.caption().rfind("Error", 0), std::string::npos);
}

TEST_F(StatusPageWindowTest, OfflineButtonWritesTheOfflinePage) {
    start();
    c().vaskUserName->set_text("joe");
    c().vasktxtLocalFile->set_text("out.htm");
    watch_enabled(c().vaskcmdCreateOUTHTM);
    c().vaskcmdCreateOUTHTM->click();

    std::vector<std::string> lines = file_lines(dir_ / "out.htm");
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[0], "<!STATUS=OFFLINE>");
    EXPECT_EQ(lines[2], "<!IP=127.0.0.1>");
    EXPECT_EQ(lines[12], "<P>joe is currently offline");
    EXPECT_EQ(enabled_states, (std::vector<bool>{false, true}));
    EXPECT_FALSE(fs::exists(dir_ / "vask.htm"));
}

TEST_F(StatusPageWindowTest, PageTakesEachSettingFromItsOwnControl) {
    start();
    c().httptxtHtmBgColor->set_text("111111");
    c().httptxtHtmBaseColor->set_text("222222");
    c().httptxtHtmTitleColor->set_text("333333");
    c().httptxtHtmTextColor->set_text("444444");
    c().httptxtHtmMessage1->set_text("m1");
    c().httptxtHtmMessage2->set_text("m2");
    c().httptxtHtmMessage3->set_text("m3");
    c().httptxtHtmMessage4->set_text("m4");
    c().httpchkHRule->set_value(1);
    c().vaskcmdCreateHTM->click();

    std::vector<std::string> lines = file_lines(dir_ / "vask.htm");
    ASSERT_EQ(lines.size(), 43u);
    EXPECT_EQ(lines[8], "<BODY  BGCOLOR=\"#111111\">");
    EXPECT_EQ(lines[9], "<BASEFONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#222222\" SIZE=\"2\">");
    EXPECT_EQ(lines[10], "<FONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#333333\" SIZE=\"6\">");
    EXPECT_EQ(lines[16], "<HR>");
    EXPECT_EQ(lines[17], "<FONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#444444\" SIZE=\"2\">");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 21, lines.begin() + 35),
              (std::vector<std::string>{"<HR>", "<UL>", "m1", "<P>", "<LI>", "m2", "<P>", "<LI>", "m3",
                                        "<P>", "<LI>", "m4", "<P>", "</UL>"}));

    c().httpBgFileName->set_text(" sky.jpg ");
    c().httpchkBackground->set_value(1);
    c().vaskcmdCreateHTM->click();
    EXPECT_EQ(file_lines(dir_ / "vask.htm").at(8), "<BODY  BACKGROUND=sky.jpg>");
}

TEST_F(StatusPageWindowTest, FailedWriteIsReportedInTheTitleAndTheButtonIsEnabledAgain) {
    start();
    c().vasktxtLocalFile->set_text("missing/vask.htm");
    for (Button* button : {c().vaskcmdCreateHTM, c().vaskcmdCreateOUTHTM}) {
        window->form.set_caption("Vask");
        button->click();
        EXPECT_EQ(window->form.caption(), "Error writing missing/vask.htm: No such file or directory");
        EXPECT_TRUE(button->enabled());
        EXPECT_TRUE(window->form.visible());
    }
    EXPECT_FALSE(window->ended());
}

TEST_F(StatusPageWindowTest, PageFunctionsReportWhetherThePageWasWritten) {
    start();
    EXPECT_TRUE(CreateOnlinePage(*window));
    c().vasktxtLocalFile->set_text("missing/vask.htm");
    EXPECT_FALSE(CreateOfflinePage(*window));
}

TEST_F(StatusPageWindowTest, EveryTextBoxSavesItsWholeTextUnderItsOwnName) {
    start();
    for (TextBox* box : {c().httpBgFileName, c().httptxtHtmBgColor, c().httptxtHtmBaseColor,
                         c().httptxtHtmTitleColor, c().httptxtHtmTextColor, c().httptxtHtmMessage1,
                         c().httptxtHtmMessage2, c().httptxtHtmMessage3, c().httptxtHtmMessage4}) {
        settings.writes.clear();
        box->set_text("ab");
        box->type("c");
        using Write = std::pair<std::string, std::string>;
        EXPECT_EQ(settings.writes, (std::vector<Write>{{box->name(), "ab"}, {box->name(), "abc"}}))
            << box->name();
    }
}

TEST_F(StatusPageWindowTest, BackgroundBoxEnablesTheSettingThatTakesEffectAndIsSaved) {
    start();
    settings.writes.clear();
    c().httpchkBackground->user_click();
    EXPECT_TRUE(c().httpBgFileName->enabled());
    EXPECT_FALSE(c().httptxtHtmBgColor->enabled());
    c().httpchkBackground->user_click();
    EXPECT_FALSE(c().httpBgFileName->enabled());
    EXPECT_TRUE(c().httptxtHtmBgColor->enabled());
    using Write = std::pair<std::string, std::string>;
    EXPECT_EQ(settings.writes,
              (std::vector<Write>{{"httpchkBackground", "1"}, {"httpchkBackground", "0"}}));
}

TEST_F(StatusPageWindowTest, RuleBoxIsSaved) {
    start();
    settings.writes.clear();
    c().httpchkHRule->user_click();
    c().httpchkHRule->user_click();
    using Write = std::pair<std::string, std::string>;
    EXPECT_EQ(settings.writes, (std::vector<Write>{{"httpchkHRule", "1"}, {"httpchkHRule", "0"}}));
}

}  // namespace
}  // namespace vask::test

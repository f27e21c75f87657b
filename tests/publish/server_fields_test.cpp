#include <gtest/gtest.h>

#include <fstream>

#include "support/current_dir.h"
#include "support/temp_dir.h"
#include "support/window_fixture.h"

namespace vask::test {
namespace {

class ServerFieldsTest : public WindowTest {
protected:
    bool connect_enabled() { return c().vaskcmdActionButton->enabled(); }
};

TEST_F(ServerFieldsTest, TypingIntoOneAddressFieldEmptiesTheOther) {
    start();
    c().vaskIPAddress->set_text("10.0.0.1");
    c().vaskHostname->type("f");
    EXPECT_EQ(c().vaskIPAddress->text(), "");
    EXPECT_EQ(c().vaskHostname->text(), "f");
    c().vaskIPAddress->type("1");
    EXPECT_EQ(c().vaskHostname->text(), "");
    EXPECT_EQ(c().vaskIPAddress->text(), "1");
}

TEST_F(ServerFieldsTest, ChoosingAListEntryLeavesTheAddressAlone) {
    start();
    c().vaskHostname->add_item("ftp.example.org");
    c().vaskIPAddress->set_text("10.0.0.1");
    c().vaskHostname->set_list_index(0);
    EXPECT_EQ(c().vaskHostname->text(), "ftp.example.org");
    EXPECT_EQ(c().vaskIPAddress->text(), "10.0.0.1");
}

TEST_F(ServerFieldsTest, TheAddressRuleIgnoresTheUserName) {
    start();
    c().vaskHostname->set_text("ftp.example.org");
    EXPECT_FALSE(connect_enabled());  // no user name
    // The key empties the host name first (its rule disables), then the
    // address rule enables without a user name.
    std::vector<bool> seen;
    window->form.set_observer([&](Control& control, Property what) {
        if (&control == c().vaskcmdActionButton && what == Property::Enabled)
            seen.push_back(control.enabled());
    });
    c().vaskIPAddress->type("1");
    EXPECT_TRUE(connect_enabled());
    EXPECT_EQ(seen, std::vector<bool>{true});
    c().vaskUserName->type("j");
    c().vaskUserName->type("\b");
    EXPECT_FALSE(connect_enabled());  // the full rule again
}

TEST_F(ServerFieldsTest, FullRuleTable) {
    struct Case {
        const char* host;
        const char* address;
        const char* user;
        bool enabled;
    };
    const Case cases[] = {
        {"ftp.example.org", "", "joe", true},
        {"   ", "", "joe", true},  // blanks count as filled
        {"", "10.0.0.1", "joe", true},
        {"", "", "joe", false},
        {"ftp.example.org", "", "", false},
    };
    start();
    for (const Case& test : cases) {
        c().vaskHostname->set_text(test.host);
        c().vaskIPAddress->set_text(test.address);
        c().vaskUserName->set_text("");
        c().vaskUserName->set_text(test.user);
        EXPECT_EQ(connect_enabled(), test.enabled) << test.host << "|" << test.address << "|" << test.user;
    }
}

TEST_F(ServerFieldsTest, RulesDoNotLookAtTheConnectionState) {
    start();
    c().vaskHostname->set_text("ftp.example.org");
    c().vaskUserName->set_text("joe");
    c().vaskcmdActionButton->set_caption("Disconnect");
    c().vaskUserName->set_text("");
    EXPECT_FALSE(connect_enabled());
}

TEST_F(ServerFieldsTest, FocusSelectsTheWholeText) {
    start();
    c().vaskHostname->set_text("ftp.example.org");
    c().vaskIPAddress->set_text("");
    c().vaskIPAddress->set_text("10.0.0.1");
    c().vaskHostname->got_focus();
    EXPECT_EQ(c().vaskHostname->sel_length(), 15);
    c().vaskIPAddress->got_focus();
    EXPECT_EQ(c().vaskIPAddress->selected_text(), "10.0.0.1");
}

TEST_F(ServerFieldsTest, StoredServerSettingsEnableConnectAtStartUp) {
    settings.values["FTP_Server"] = "ftp.example.org";
    settings.values["User"] = "joe";
    start();
    EXPECT_TRUE(connect_enabled());
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Connect");
}

TEST_F(ServerFieldsTest, RefreshBeforeAnyConnectionStillShowsTheCaption) {
    start();
    window->form.set_caption("Offline");
    c().vaskcmdRefreshIP->click();
    EXPECT_EQ(window->form.caption(), "Vask = " + window->LocalAddress());
    EXPECT_TRUE(c().vaskcmdRefreshIP->enabled());
    EXPECT_FALSE(window->sockets.vaskSocket1.connected());
}

TEST_F(ServerFieldsTest, RefreshPutsTheNewCaptionIntoTheTrayTip) {
    settings.values["Tray"] = "1";
    start();
    c().mnuRefreshIP->click();
    EXPECT_EQ(desktop.icon.tip_text(), "Vask = " + window->LocalAddress());
}

TEST_F(ServerFieldsTest, ClipboardGetsTheBareAddress) {
    start();
    c().mnuCopyToClipboard->click();
    EXPECT_EQ(desktop.clipboard, window->LocalAddress());
    EXPECT_EQ(desktop.calls.at(desktop.calls.size() - 2), "clipboard_clear");
}

TEST_F(ServerFieldsTest, HostsFileOffersEveryNameInFileOrder) {
    TempDir dir;
    std::ofstream(dir / "HOSTS.SAM") << "# sample\n"
                                        "127.0.0.1   localhost loopback\n"
                                        "\n"
                                        "10.0.0.5\tftp.example.org ftp   # the server\n"
                                        "   # indented comment\n"
                                        "10.0.0.6 www.example.org\n";
    CurrentDir here(dir.path());
    start();
    EXPECT_EQ(c().vaskHostname->list(),
              (std::vector<std::string>{"localhost", "loopback", "ftp.example.org", "ftp", "www.example.org"}));
    EXPECT_EQ(window->sockets.vaskSocket1.hosts_file(), "");
}

TEST_F(ServerFieldsTest, MissingHostsFileLeavesTheListEmpty) {
    TempDir dir;
    CurrentDir here(dir.path());
    start();
    EXPECT_TRUE(c().vaskHostname->list().empty());
}

}  // namespace
}  // namespace vask::test

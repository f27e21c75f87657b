// The publish workflow driven through the whole window against real FTP
// servers on loopback addresses of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/file_bytes.h"
#include "support/current_dir.h"
#include "support/ftp_server.h"
#include "support/temp_dir.h"
#include "support/window_fixture.h"

namespace vask::test {
namespace {

namespace fs = std::filesystem;

class PublishTest : public WindowTest {
protected:
    TempDir work;       // the program's current folder
    TempDir ftp_root;   // what the server serves
    std::unique_ptr<CurrentDir> here;
    std::unique_ptr<FtpServer> server;

    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "FTP servers on port 21 need root";
        here = std::make_unique<CurrentDir>(work.path());
        settings.values["TimerDelayTime"] = "1";
    }
    // The stored account of a server, as a user would have saved it.
    void use_server(const std::string& user, const std::string& password) {
        settings.values["FTP_ServerIP"] = server->address();
        settings.values["User"] = user;
        settings.values["vaskPassword"] = password;
    }
    void use_pyftpdlib() {
        if (!FtpServer::available(FtpServer::Kind::pyftpdlib)) GTEST_SKIP() << "pyftpdlib missing";
        server = FtpServer::pyftpdlib(ftp_root.path(), "joe", "secret");
        use_server("joe", "secret");
    }
    std::string title() { return window->form.caption(); }
    std::string panel(int n) { return c().vaskStatus->panel(n).text; }
};

TEST_F(PublishTest, OnlineThenOfflineUploadsThePageByteForByte) {
    use_pyftpdlib();
    start();
    c().vaskcmdAutomaticOn->click();
    ASSERT_TRUE(fs::exists(ftp_root / "vask.htm")) << title();
    std::string online = read_bytes(work / "vask.htm");
    EXPECT_NE(online.find("<!STATUS=ONLINE>\r\n"), std::string::npos);
    EXPECT_EQ(read_bytes(ftp_root / "vask.htm"), online);
    // The caption and the IP marker carry the local end of the login connection.
    size_t ip = online.find("<!IP=");
    ASSERT_NE(ip, std::string::npos);
    EXPECT_EQ(title(), "Vask = " + online.substr(ip + 5, online.find('>', ip) - ip - 5));
    EXPECT_EQ(panel(1), "Disconnected");
    EXPECT_TRUE(c().vaskcmdAutomaticOn->enabled());
    EXPECT_FALSE(desktop.busy);

    c().vaskcmdAutomaticOff->click();
    EXPECT_EQ(title(), "Offline");
    std::string offline = read_bytes(work / "vask.htm");
    EXPECT_NE(offline.find("<!STATUS=OFFLINE>\r\n"), std::string::npos);
    EXPECT_EQ(read_bytes(ftp_root / "vask.htm"), offline);
    EXPECT_FALSE(window->sockets.vaskSocket1.connected());
}

TEST_F(PublishTest, OnePublishSendsExactlyTheseCommands) {
    server = FtpServer::scripted(ftp_root.path(), "{}");
    use_server("joe", "secret");
    settings.values["Remote_Path"] = "/www";
    fs::create_directories(ftp_root / "www");
    start();
    window->PublishOnline();
    ASSERT_EQ(server->connections(), 2);  // the probe, then the real connection
    std::vector<std::string> lines = server->received_lines();
    ASSERT_EQ(lines.size(), 6u) << title();
    EXPECT_EQ(lines[0], "USER joe\r\n");
    EXPECT_EQ(lines[1], "PASS secret\r\n");
    EXPECT_EQ(lines[2], "PWD\r\n");
    EXPECT_EQ(lines[3].rfind("PORT ", 0), 0u);
    EXPECT_EQ(lines[4], "TYPE I\r\n");
    EXPECT_EQ(lines[5], "STOR /www/vask.htm\r\n");  // no QUIT follows
}

TEST_F(PublishTest, RefusedLoginIsReportedAndTheButtonReturns) {
    use_pyftpdlib();
    settings.values["vaskPassword"] = "wrong";
    start();
    c().vaskcmdActionButton->click();
    EXPECT_EQ(title(), "Error Invalid user name or Password");
    EXPECT_EQ(panel(1), "End Delay");
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Connect");
    EXPECT_TRUE(c().vaskcmdActionButton->enabled());
    EXPECT_FALSE(window->sockets.vaskSocket1.connected());
    EXPECT_FALSE(desktop.busy);
}

TEST_F(PublishTest, ADelayOutsideOneToTwentyIsRefusedAfterTheProbe) {
    use_pyftpdlib();
    settings.values["TimerDelayTime"] = "25";
    start();
    EXPECT_TRUE(desktop.message_boxes.empty());  // 25 passes the field check
    c().vaskcmdActionButton->click();
    EXPECT_EQ(title(), "Error Specify a Delay amount between 1 - 20");
    EXPECT_EQ(panel(1), "Start Delay");
    EXPECT_TRUE(c().vaskcmdActionButton->enabled());
    EXPECT_FALSE(c().vaskTimer1->running());
}

TEST_F(PublishTest, ManualConnectCopyToLocalSystemAndDisconnect) {
    use_pyftpdlib();
    settings.values["Manual"] = "1";
    settings.values["Remote_Path"] = "remote.htm";
    std::ofstream(ftp_root / "remote.htm", std::ios::binary) << "short";
    std::ofstream(work / "vask.htm", std::ios::binary) << std::string(10000, 'x');
    start();
    EXPECT_TRUE(c().vaskPicture1->visible());
    EXPECT_FALSE(c().vaskPicture3->visible());
    c().vaskcmdActionButton->click();
    ASSERT_EQ(panel(1), "Connected") << title();
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Disconnect");
    EXPECT_TRUE(c().vaskcmdCopyButton->enabled());
    c().vaskchkLocalTransfer->set_value(true);
    c().vaskcmdCopyButton->click();
    EXPECT_EQ(read_bytes(work / "vask.htm"), "short");  // the old tail is gone
    EXPECT_TRUE(c().vaskcmdCopyButton->enabled());
    // Leaving manual mode while connected disconnects first.
    c().vaskchkManual->set_value(0);
    EXPECT_EQ(panel(1), "Disconnected");
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Connect");
    EXPECT_FALSE(c().vaskcmdCopyButton->enabled());
    EXPECT_TRUE(c().vaskPicture3->visible());
}

TEST_F(PublishTest, ServerClosingTheControlConnectionIsReported) {
    use_pyftpdlib();
    start();
    c().vaskcmdActionButton->click();
    ASSERT_EQ(panel(1), "Connected") << title();
    server->stop();
    loop.wait_until([&] { return title().rfind("Error", 0) == 0; }, 10000);
    EXPECT_EQ(title(), "Error Remote server closed control connection");
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Connect");
    EXPECT_FALSE(c().vaskcmdCopyButton->enabled());
    EXPECT_EQ(panel(1), "Connected");
    EXPECT_FALSE(window->sockets.vaskSocket1.connected());
}

TEST_F(PublishTest, AFailedFirstConnectionStillWritesThePageAndTriesAgainAtTheEnd) {
    settings.values["FTP_ServerIP"] = fresh_loopback_address();  // nobody listens there
    settings.values["User"] = "joe";
    start();
    window->PublishOnline();
    EXPECT_TRUE(fs::exists(work / "vask.htm"));
    // The copy reported its failure, then the closing toggle tried a new
    // connection, which failed in its probe.
    EXPECT_EQ(title(), "Error Unable to connect to remote host");
    EXPECT_GE(desktop.count("busy_pointer on"), 1);
    EXPECT_FALSE(desktop.busy);
    EXPECT_TRUE(c().vaskcmdAutomaticOn->enabled());
    EXPECT_TRUE(c().vaskcmdActionButton->enabled());
}

TEST_F(PublishTest, OnlineOnStartupPublishesBeforeTheWindowShowsAndExitPublishesOffline) {
    use_pyftpdlib();
    settings.values["AutoOnline"] = "1";
    settings.values["AutoOffline"] = "1";
    start();
    EXPECT_TRUE(c().mnuAutoOnline->checked());
    EXPECT_NE(read_bytes(ftp_root / "vask.htm").find("<!STATUS=ONLINE>"), std::string::npos);
    c().cmdExit->click();
    EXPECT_TRUE(window->ended());
    EXPECT_TRUE(c().mnuAutoOffline->checked());
    EXPECT_NE(read_bytes(ftp_root / "vask.htm").find("<!STATUS=OFFLINE>"), std::string::npos);
}

TEST_F(PublishTest, PublishAgainstVsftpd) {
    if (!FtpServer::available(FtpServer::Kind::vsftpd)) GTEST_SKIP() << "vsftpd missing";
    server = FtpServer::vsftpd(ftp_root.path());
    use_server(FtpServer::kVsftpdUser, "me@example.com");
    // vsftpd run by the test is not chrooted: name the served folder in full.
    settings.values["Remote_Path"] = ftp_root.path().string();
    start();
    c().mnuAutoOnline->click();
    ASSERT_TRUE(fs::exists(ftp_root / "vask.htm")) << title() << "\n" << server->log_text();
    EXPECT_EQ(read_bytes(ftp_root / "vask.htm"), read_bytes(work / "vask.htm"));
    EXPECT_TRUE(c().mnuAutoOnline->checked());
}

// Without a server.
using VaskPageTest = WindowTest;

TEST_F(VaskPageTest, SaveWritesItsElevenKeysInOrder) {
    start();
    c().vaskPassword->set_text(" p=w ");
    c().vaskchkTray->set_value(1);
    settings.writes.clear();
    c().vaskcmdSave->click();
    EXPECT_EQ(settings.written_keys(),
              (std::vector<std::string>{"FTP_Server", "FTP_ServerIP", "User", "vaskPassword", "Local_File",
                                        "Remote_Path", "Manual", "AutoOffline", "Tray", "TimerDelayTime",
                                        "AutoOnline"}));
    EXPECT_EQ(settings.values["vaskPassword"], " p=w ");  // as typed, untrimmed
    EXPECT_EQ(settings.values["Tray"], "1");
    EXPECT_EQ(settings.values["Manual"], "0");
}

TEST_F(VaskPageTest, DelayFieldCheckWarnsOnEveryInvalidText) {
    start();
    c().vasktxtTimerDelayTime->set_text("");
    c().vasktxtTimerDelayTime->type("7");
    c().vasktxtTimerDelayTime->type("0");  // 70
    ASSERT_EQ(desktop.message_boxes.size(), 2u);
    EXPECT_EQ(desktop.message_boxes[0].text, "Delay does not contain a valid number...  1 - 60");
    EXPECT_EQ(desktop.message_boxes[0].title, "Vask");
    EXPECT_EQ(desktop.message_boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(c().vasktxtTimerDelayTime->text(), "70");
}

}  // namespace
}  // namespace vask::test

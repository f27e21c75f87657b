// The FTP client against the scripted server: the exact bytes on the wire,
// the FTP log, the reply rules, and a table of server misbehaviours.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "publish/ftp_client.h"
#include "support/file_bytes.h"
#include "support/ftp_server.h"
#include "support/temp_dir.h"
#include "support/window_fixture.h"

namespace vask::test {
namespace {

namespace fs = std::filesystem;
using namespace ftp_script;
using Lines = std::vector<std::string>;
using namespace std::literals;

constexpr int kTestLimitMs = 10'000;  // no test should come near it
constexpr int kSilenceLimitMs = 300;  // for servers that keep silent

std::string some_bytes(std::size_t count) {
    std::string bytes(count, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 16);
    }
    return bytes;
}

class FtpScriptedTest : public WindowTest {
protected:
    void SetUp() override {
        if (!FtpServer::available(FtpServer::Kind::scripted)) GTEST_SKIP() << "needs python3 and root";
        start();
        // The client's own reports only: the publish workflow's report of a
        // closed control connection would race with them.
        control_socket().on_peer_closed = nullptr;
        ftp = std::make_unique<FtpClient>(*window);
        ftp->set_time_limit(kTestLimitMs);
        fs::create_directory(root());
        fs::create_directory(local_dir());
    }
    void serve(const FtpScript& script = {}) { server = FtpServer::scripted(root(), script.json()); }
    bool connect_and_login() {
        return ftp->FtpConnect(server->address()) && ftp->FtpLogin("bob", "secret");
    }
    fs::path root() const { return dir / "root"; }
    fs::path local_dir() const { return dir / "local"; }
    fs::path local(const std::string& name) const { return local_dir() / name; }
    std::string title() const { return window->form.caption(); }
    std::string log_panel() { return c().vaskStatus->panel(FtpClient::kLogPanel).text; }
    Socket& control_socket() { return window->sockets.vaskSocket1; }
    Socket& data_socket() { return window->sockets.vaskSocket2; }
    // A title no report of the client would set.
    void clear_title() { window->form.set_caption("(no report)"); }

    TempDir dir;
    std::unique_ptr<FtpServer> server;
    std::unique_ptr<FtpClient> ftp;
};

// --- What goes over the wire ---

TEST_F(FtpScriptedTest, UploadSendsExactlyTheseCommandsAndNoQuit) {
    serve();
    write_bytes(local("page.htm"), "<html>online</html>");
    ASSERT_TRUE(connect_and_login());
    EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), "/");
    ASSERT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "/page.htm")) << title();
    control_socket().disconnect();
    // The server takes one connection after the other: once the second is
    // logged in, all the first one sent is in the log.
    ASSERT_TRUE(connect_and_login());

    const Lines lines = server->received_lines();
    ASSERT_EQ(lines.size(), 8u) << server->log_text();
    EXPECT_EQ(lines[0], "USER bob\r\n");
    EXPECT_EQ(lines[1], "PASS secret\r\n");
    EXPECT_EQ(lines[2], "PWD\r\n");
    // PORT h1,h2,h3,h4,p1,p2: the address of the control connection's local side.
    unsigned h[4], p[2];
    char end[3] = {};
    ASSERT_EQ(std::sscanf(lines[3].c_str(), "PORT %u,%u,%u,%u,%u,%u%2c", &h[0], &h[1], &h[2], &h[3], &p[0],
                          &p[1], end),
              7)
        << lines[3];
    EXPECT_EQ(std::string(end), "\r\n");
    EXPECT_EQ((std::vector<unsigned>{h[0], h[1], h[2], h[3]}), (std::vector<unsigned>{127, 0, 0, 1}));
    EXPECT_LT(p[0], 256u);
    EXPECT_LT(p[1], 256u);
    EXPECT_GT(p[0] * 256 + p[1], 0u);
    EXPECT_EQ(lines[4], "TYPE I\r\n");
    EXPECT_EQ(lines[5], "STOR /page.htm\r\n");
    EXPECT_EQ(lines[6], "USER bob\r\n");  // no QUIT before it
    EXPECT_EQ(server->connections(), 2);
    EXPECT_EQ(read_bytes(root() / "page.htm"), "<html>online</html>");
}

TEST_F(FtpScriptedTest, DownloadSendsPortTypeRetr) {
    serve();
    write_bytes(root() / "remote.htm", "remote page");
    ASSERT_TRUE(connect_and_login());
    ASSERT_TRUE(ftp->FtpRetrieveFile("remote.htm", local("page.htm").string())) << title();
    const Lines lines = server->received_lines();
    ASSERT_EQ(lines.size(), 5u) << server->log_text();
    EXPECT_EQ(lines[2].rfind("PORT ", 0), 0u);
    EXPECT_EQ(lines[3], "TYPE I\r\n");
    EXPECT_EQ(lines[4], "RETR remote.htm\r\n");
    EXPECT_EQ(read_bytes(local("page.htm")), "remote page");
}

TEST_F(FtpScriptedTest, TypeAWhenTheBinaryBoxIsClear) {
    serve();
    c().vaskchkBinaryTransfer->set_value(0);
    write_bytes(local("page.htm"), "x");
    ASSERT_TRUE(connect_and_login());
    ASSERT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm"));
    EXPECT_EQ(server->received_lines().at(3), "TYPE A\r\n");
}

TEST_F(FtpScriptedTest, TextGoesOverTheWireAsWindows1252) {
    serve(FtpScript().reply("PWD", {send("257 \"/\xe9t\xe9\" is the current directory\r\n")}));
    write_bytes(local("page.htm"), "x");
    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    ASSERT_TRUE(ftp->FtpLogin("J\u00fcrgen", "s\u00e9cret"));
    EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), "/\u00e9t\u00e9");
    ASSERT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "/caf\u00e9.htm"));
    const Lines lines = server->received_lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "USER J\xfcrgen\r\n");
    EXPECT_EQ(lines[1], "PASS s\xe9" "cret\r\n");
    EXPECT_EQ(lines[5], "STOR /caf\xe9.htm\r\n");
}

TEST_F(FtpScriptedTest, CommandWithALineEndInsideIsNotSent) {
    serve();
    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    EXPECT_FALSE(ftp->FtpLogin("bob\r\nDELE index.htm", "secret"));
    EXPECT_TRUE(ftp->FtpLogin("bob", "secret"));  // the connection is still in step
    EXPECT_EQ(server->received_lines(), (Lines{"USER bob\r\n", "PASS secret\r\n"}));
}

// --- The FTP log in status panel 3 ---

TEST_F(FtpScriptedTest, LogShowsCommandsAndContinuationLinesButNeverThePassword) {
    serve(FtpScript().greeting({send("220-Welcome\r\n   to the test server\r\n  last\twords\r\n220 Ready\r\n")}));
    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    EXPECT_EQ(log_panel(), "  last words");  // the last continuation line; the first line is not shown
    ASSERT_TRUE(ftp->FtpLogin("bob", "a rather long secret"));
    EXPECT_EQ(log_panel(), "Password *******");
    ftp->FtpPrintWorkingDirectory();
    EXPECT_EQ(log_panel(), "PWD");
    ASSERT_TRUE(ftp->FtpSendCommand("PASS x"));
    EXPECT_EQ(log_panel(), "Password *******");
    ASSERT_TRUE(ftp->FtpSendCommand("pass y"));  // only the upper-case command is hidden
    EXPECT_EQ(log_panel(), "pass y");
}

// --- Connecting and logging in ---

TEST_F(FtpScriptedTest, GreetingLinesRepeatingTheCodeAreReadBeforeUser) {
    serve(FtpScript().greeting({send("220-first\r\n220-second\r\n220 third\r\n")}));
    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    ASSERT_TRUE(ftp->FtpLogin("bob", "secret")) << title();
    EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), "/");
}

TEST_F(FtpScriptedTest, ConnectFailures) {
    clear_title();
    EXPECT_FALSE(ftp->FtpConnect(""));
    EXPECT_EQ(title(), "(no report)");

    EXPECT_FALSE(ftp->FtpConnect(fresh_loopback_address()));  // nobody listens there
    EXPECT_EQ(title(), "Error Unable to connect to remote host");

    serve(FtpScript().greeting({send("421 Too many users\r\n")}));
    clear_title();
    EXPECT_FALSE(ftp->FtpConnect(server->address()));
    EXPECT_EQ(title(), "(no report)");
    EXPECT_FALSE(control_socket().connected());
}

struct LoginCase {
    const char* name;
    FtpScript script;
    bool ok;
    Lines sent;
    const char* title;  // "" when nothing is reported
};

void PrintTo(const LoginCase& row, std::ostream* out) { *out << row.name; }

class FtpLoginTest : public FtpScriptedTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(FtpLoginTest, Outcome) {
    const LoginCase& row = GetParam();
    serve(row.script);
    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    clear_title();
    EXPECT_EQ(ftp->FtpLogin("bob", "secret"), row.ok);
    EXPECT_EQ(title(), *row.title ? row.title : "(no report)");
    if (row.ok) {
        EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), "/");  // the next command reads its own reply
    }
    Lines sent = row.sent;
    if (row.ok) sent.push_back("PWD\r\n");
    EXPECT_EQ(server->received_lines(), sent);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpLoginTest,
    ::testing::Values(
        LoginCase{"UserAnswered230", FtpScript().reply("USER", {send("230 Welcome\r\n")}), true,
                  {"USER bob\r\n"}, ""},
        LoginCase{"UserRefused", FtpScript().reply("USER", {send("530 Not allowed\r\n")}), false,
                  {"USER bob\r\n"}, "Error Invalid user name or Password"},
        LoginCase{"PasswordRefused", FtpScript().reply("PASS", {send("530 Login incorrect\r\n")}), false,
                  {"USER bob\r\n", "PASS secret\r\n"}, "Error Invalid user name or Password"},
        LoginCase{"LoggedInWithSurplusLines",
                  FtpScript().reply("PASS", {send("230-Welcome\r\n230-Enjoy\r\n230 Logged in\r\n")}), true,
                  {"USER bob\r\n", "PASS secret\r\n"}, ""},
        LoginCase{"ClosedAfterUser", FtpScript().reply("USER", {close()}), false, {"USER bob\r\n"},
                  "Error Remote host closed the connection"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DirectoryCase {
    const char* name;
    const char* reply;
    const char* directory;
};

void PrintTo(const DirectoryCase& row, std::ostream* out) { *out << row.name; }

class FtpDirectoryTest : public FtpScriptedTest, public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(FtpDirectoryTest, PrintWorkingDirectory) {
    serve(FtpScript().reply("PWD", {send(GetParam().reply)}));
    ASSERT_TRUE(connect_and_login());
    EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpDirectoryTest,
    ::testing::Values(DirectoryCase{"Quoted", "257 \"/www/site\" is the current directory\r\n", "/www/site"},
                      DirectoryCase{"BlankInName", "257 \"/my site\" is current\r\n", "/m"},
                      DirectoryCase{"NoBlank", "257 \"/www\"\r\n", ""},
                      DirectoryCase{"OtherCodeGivesItsText", "550 Not allowed here\r\n", "Not allowed here"},
                      DirectoryCase{"MultiLine", "257-\"/ignored\" a\r\n more\r\n257 \"/www\" is it\r\n",
                                    "/www"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Data connections ---

TEST_F(FtpScriptedTest, RefusedPortOrTypeStopsBeforeTheTransfer) {
    for (const char* verb : {"PORT", "TYPE"}) {
        SCOPED_TRACE(verb);
        serve(FtpScript().reply(verb, {send(std::string(verb) == "PORT" ? "500 No\r\n" : "504 No\r\n")}));
        write_bytes(local("page.htm"), "x");
        ASSERT_TRUE(connect_and_login());
        EXPECT_FALSE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm"));
        EXPECT_FALSE(ftp->FtpRetrieveFile("page.htm", local("copy.htm").string()));
        EXPECT_FALSE(data_socket().listening());
        for (const std::string& line : server->received_lines()) {
            EXPECT_NE(line.rfind("STOR", 0), 0u);
            EXPECT_NE(line.rfind("RETR", 0), 0u);
        }
        EXPECT_FALSE(fs::exists(local("copy.htm")));
        control_socket().disconnect();
        server.reset();
    }
}

TEST_F(FtpScriptedTest, RefusedTransferLeavesNoListeningSocketBehind) {
    serve(FtpScript()
              .reply("RETR", {send("550 No such file\r\n")})
              .reply("RETR", {retr()})
              .reply("STOR", {send("550 Permission denied\r\n")})
              .reply("STOR", {stor()}));
    write_bytes(root() / "remote.htm", "remote");
    write_bytes(local("page.htm"), "local");
    ASSERT_TRUE(connect_and_login());
    clear_title();
    EXPECT_FALSE(ftp->FtpRetrieveFile("remote.htm", local("copy.htm").string()));
    EXPECT_FALSE(data_socket().listening());
    EXPECT_FALSE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm"));
    EXPECT_FALSE(data_socket().listening());
    EXPECT_EQ(title(), "(no report)");  // a refusal is the caller's to report
    EXPECT_FALSE(fs::exists(local("copy.htm")));

    EXPECT_TRUE(ftp->FtpRetrieveFile("remote.htm", local("copy.htm").string())) << title();
    EXPECT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm")) << title();
    EXPECT_EQ(read_bytes(local("copy.htm")), "remote");
    EXPECT_EQ(read_bytes(root() / "page.htm"), "local");
}

TEST_F(FtpScriptedTest, DataSocketLeftOpenDoesNotStopTheNextTransfer) {
    serve();
    write_bytes(local("page.htm"), "local");
    ASSERT_TRUE(connect_and_login());
    Socket& stale = data_socket();
    stale.set_bind_address("0.0.0.0");
    stale.set_local_port(0);
    ASSERT_EQ(stale.listen(), 0);  // as a transfer that failed early would leave it
    EXPECT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm")) << title();

    Socket peer(loop);
    peer.set_bind_address("127.0.0.1");
    ASSERT_EQ(peer.listen(), 0);
    ASSERT_EQ(stale.connect("127.0.0.1", peer.local_port()), 0);  // or a connection still open
    EXPECT_TRUE(ftp->FtpRetrieveFile("page.htm", local("copy.htm").string())) << title();
    EXPECT_EQ(read_bytes(local("copy.htm")), "local");
}

TEST_F(FtpScriptedTest, LocalFileErrorAfterTheDataConnectionLeavesNoReplyBehind) {
    serve();
    write_bytes(root() / "remote.htm", some_bytes(100'000));
    ASSERT_TRUE(connect_and_login());
    EXPECT_FALSE(ftp->FtpRetrieveFile("remote.htm", (local_dir() / "missing" / "page.htm").string()));
    EXPECT_EQ(title(), "Error No such file or directory");
    EXPECT_EQ(ftp->FtpPrintWorkingDirectory(), "/");  // not the reply to the abandoned RETR
    EXPECT_TRUE(fs::is_empty(local_dir()));
}

TEST_F(FtpScriptedTest, UploadOfAFileThatCannotBeReadSendsNothing) {
    serve();
    fs::create_directory(local("folder"));
    ASSERT_TRUE(connect_and_login());
    EXPECT_FALSE(ftp->FtpStoreFile(local("missing.htm").string(), "page.htm"));
    EXPECT_EQ(title(), "Error No such file or directory");
    EXPECT_FALSE(ftp->FtpStoreFile(local("folder").string(), "page.htm"));
    EXPECT_EQ(title(), "Error Is a directory");
    EXPECT_EQ(server->received_lines(), (Lines{"USER bob\r\n", "PASS secret\r\n"}));
    EXPECT_FALSE(fs::exists(root() / "page.htm"));
}

TEST_F(FtpScriptedTest, EmptyNamesFailWithoutAReport) {
    serve();
    ASSERT_TRUE(connect_and_login());
    clear_title();
    EXPECT_FALSE(ftp->FtpRetrieveFile("", local("page.htm").string()));
    EXPECT_FALSE(ftp->FtpRetrieveFile("remote.htm", ""));
    EXPECT_FALSE(ftp->FtpStoreFile("", "remote.htm"));
    EXPECT_FALSE(ftp->FtpStoreFile(local("page.htm").string(), ""));
    EXPECT_EQ(title(), "(no report)");
    EXPECT_EQ(server->received_lines().size(), 2u);
}

// --- Server misbehaviour ---

enum class Step { connect, login, retrieve, store };

struct Misbehaviour {
    const char* name;
    FtpScript script;
    Step step;  // the operation that meets it; the ones before it must succeed
    bool ok;
    const char* title;  // "" when nothing is reported
    bool silent = false;  // the client waits for its time limit
};

constexpr std::size_t kUploadSize = 4 * 1024 * 1024;

void PrintTo(const Misbehaviour& row, std::ostream* out) { *out << row.name; }

class FtpMisbehaviourTest : public FtpScriptedTest, public ::testing::WithParamInterface<Misbehaviour> {};

TEST_P(FtpMisbehaviourTest, ClearReportAndNothingWorse) {
    const Misbehaviour& row = GetParam();
    serve(row.script);
    if (row.silent) ftp->set_time_limit(kSilenceLimitMs);
    write_bytes(root() / "remote.htm", some_bytes(10'000));
    write_bytes(local("upload.htm"), some_bytes(kUploadSize));
    // The window keeps running while the client waits.
    int ticks = 0;
    const EventLoop::Id timer = loop.start_timer(10, [&] { ++ticks; });

    bool ok = false;
    if (row.step == Step::connect) {
        clear_title();
        ok = ftp->FtpConnect(server->address());
    } else {
        ASSERT_TRUE(ftp->FtpConnect(server->address())) << title();
        if (row.step == Step::login) {
            clear_title();
            ok = ftp->FtpLogin("bob", "secret");
        } else {
            ASSERT_TRUE(ftp->FtpLogin("bob", "secret")) << title();
            clear_title();
            ok = row.step == Step::retrieve
                     ? ftp->FtpRetrieveFile("remote.htm", local("page.htm").string())
                     : ftp->FtpStoreFile(local("upload.htm").string(), "upload.htm");
        }
    }
    loop.stop_timer(timer);

    EXPECT_EQ(ok, row.ok);
    EXPECT_EQ(title(), *row.title ? std::string("Error ") + row.title : "(no report)");
    EXPECT_FALSE(data_socket().listening());
    EXPECT_FALSE(data_socket().connected());
    if (row.silent) {
        EXPECT_GT(ticks, 0);
    }
    // Nothing but the chosen local files.
    for (const auto& entry : fs::directory_iterator(local_dir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "page.htm" || name == "upload.htm") << name;
    }
}

const std::string kLong(3000, 'x');  // longer than the control buffer too

INSTANTIATE_TEST_SUITE_P(
    Server, FtpMisbehaviourTest,
    ::testing::Values(
        // Reply lines.
        Misbehaviour{"LongReplyLineIsCutNotMisread",
                     FtpScript().reply("USER", {send("331 " + kLong + "\r\n")}), Step::login, true, ""},
        Misbehaviour{"LongLineWithoutCode", FtpScript().reply("USER", {send(std::string(600, 'y') + "\r\n")}),
                     Step::login, false, "Invalid reply from remote host"},
        Misbehaviour{"LineWithoutCode", FtpScript().reply("USER", {send("Hello there\r\n")}), Step::login,
                     false, "Invalid reply from remote host"},
        Misbehaviour{"BinaryGreeting", FtpScript().greeting({send("\x00\xff\x80\x01\x02\r\n"s)}),
                     Step::connect, false, "Invalid reply from remote host"},
        Misbehaviour{"BinaryBytesInTheText",
                     FtpScript().greeting({send("220 \x00\x01\xff\xfe ready\r\n"s)}),
                     Step::connect, true, ""},
        Misbehaviour{"EndlessContinuation", FtpScript().greeting({send("220-Welcome\r\n"), flood(" more\r\n")}),
                     Step::connect, false, "Reply from remote host is too long"},
        Misbehaviour{"EndlessLine", FtpScript().greeting({flood("220")}), Step::connect, false,
                     "Reply from remote host is too long"},
        // The connection closed.
        Misbehaviour{"CloseBeforeGreeting", FtpScript().greeting({close()}), Step::connect, false,
                     "Remote host closed the connection"},
        Misbehaviour{"CloseMidReply", FtpScript().greeting({send("220-Welcome\r\n"), close()}), Step::connect,
                     false, "Remote host closed the connection"},
        Misbehaviour{"CloseMidLine", FtpScript().greeting({send("220 Wel"), close()}), Step::connect, false,
                     "Remote host closed the connection"},
        Misbehaviour{"CloseMidDownload",
                     FtpScript().reply("RETR", {send("150 Sending\r\n"), connect(), data_bytes(5000), close()}),
                     Step::retrieve, false, "Remote host closed the connection"},
        Misbehaviour{"CloseMidUpload", FtpScript().reply("STOR", {send("150 Go ahead\r\n"), connect(), close()}),
                     Step::store, false, "Unable to send data to remote server"},
        // Silence: the time limit.
        Misbehaviour{"SilentGreeting", FtpScript().greeting({}), Step::connect, false,
                     "Remote host did not answer in time", true},
        Misbehaviour{"SilentAfterRetr", FtpScript().reply("RETR", {}), Step::retrieve, false,
                     "Remote host did not answer in time", true},
        Misbehaviour{"SilentDataConnection", FtpScript().reply("RETR", {send("150 Sending\r\n"), connect()}),
                     Step::retrieve, false, "Unable to read data from remote host", true},
        Misbehaviour{"NoDataConnectionAtAll", FtpScript().reply("STOR", {send("150 Go ahead\r\n")}), Step::store,
                     false, "Remote host did not open the data connection", true},
        Misbehaviour{"DataConnectionFailedOnTheServer",
                     FtpScript().reply("RETR", {send("150 Sending\r\n425 Cannot open data connection\r\n")}),
                     Step::retrieve, false, "Remote host did not open the data connection"},
        Misbehaviour{"PreliminaryReplyWithSurplusLines",
                     FtpScript().reply("RETR", {send("150-Opening\r\n150-still\r\n150 Opening\r\n"), sleep(0.2),
                                                connect(), data("page"), data_close(),
                                                send("226 Transfer complete\r\n")}),
                     Step::retrieve, true, ""},
        // Replies to the transfer.
        Misbehaviour{"Retr125", FtpScript().reply("RETR", {retr("125 Data connection already open\r\n")}),
                     Step::retrieve, true, ""},
        Misbehaviour{"Stor125", FtpScript().reply("STOR", {stor("125 Data connection already open\r\n")}),
                     Step::store, true, ""},
        Misbehaviour{"Stor550", FtpScript().reply("STOR", {send("550 Permission denied\r\n")}), Step::store,
                     false, ""},
        Misbehaviour{"Retr550", FtpScript().reply("RETR", {send("550 No such file\r\n")}), Step::retrieve,
                     false, ""},
        Misbehaviour{"StoreRefusedAtTheEnd",
                     FtpScript().reply("STOR", {stor("150 Go ahead\r\n", "552 Quota exceeded\r\n")}), Step::store,
                     false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vask::test

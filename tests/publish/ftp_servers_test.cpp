// The FTP client against real servers on loopback: pyftpdlib (answers 125 to
// RETR and STOR) and vsftpd (answers 150).
#include <gtest/gtest.h>

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
using Kind = FtpServer::Kind;

constexpr int kTestLimitMs = 10'000;

std::string some_bytes(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = char(seed >> 16);
    }
    return bytes;
}

class FtpServersTest : public WindowTest, public ::testing::WithParamInterface<Kind> {
protected:
    void SetUp() override {
        if (!FtpServer::available(GetParam())) GTEST_SKIP() << "server not installed, or not root";
        fs::create_directory(root());
        fs::create_directory(local_dir());
        server = GetParam() == Kind::pyftpdlib ? FtpServer::pyftpdlib(root(), "bob", "secret")
                                               : FtpServer::vsftpd(root());
        start();
        // The client's own reports only: the publish workflow's report of a
        // closed control connection would race with them.
        window->sockets.vaskSocket1.on_peer_closed = nullptr;
        ftp = std::make_unique<FtpClient>(*window);
        ftp->set_time_limit(kTestLimitMs);
    }
    bool pyftpdlib() const { return GetParam() == Kind::pyftpdlib; }
    std::string user() const { return pyftpdlib() ? "bob" : FtpServer::kVsftpdUser; }
    std::string password() const { return pyftpdlib() ? "secret" : "guest@example.com"; }
    std::string wrong_password() const { return pyftpdlib() ? "wrong" : FtpServer::kVsftpdRefusedPassword; }
    bool connect_and_login() { return ftp->FtpConnect(server->address()) && ftp->FtpLogin(user(), password()); }
    fs::path root() const { return dir / "root"; }
    fs::path local_dir() const { return dir / "local"; }
    fs::path local(const std::string& name) const { return local_dir() / name; }
    std::string title() const { return window->form.caption(); }

    TempDir dir;
    std::unique_ptr<FtpServer> server;
    std::unique_ptr<FtpClient> ftp;
};

TEST_P(FtpServersTest, UploadAndDownloadAreByteForByte) {
    ASSERT_TRUE(connect_and_login()) << title() << "\n" << server->log_text();
    // Empty, around one upload chunk, and many chunks of both sizes.
    for (std::size_t size : {0u, 1u, 1023u, 1024u, 4095u, 4096u, 4097u, 1024u * 1024u + 17u}) {
        SCOPED_TRACE(size);
        const std::string name = "file" + std::to_string(size) + ".bin";
        const std::string bytes = some_bytes(size, unsigned(size));
        write_bytes(local("up-" + name), bytes);
        ASSERT_TRUE(ftp->FtpStoreFile(local("up-" + name).string(), name)) << title();
        EXPECT_EQ(read_bytes(root() / name), bytes);
        ASSERT_TRUE(ftp->FtpRetrieveFile(name, local("down-" + name).string())) << title();
        EXPECT_EQ(read_bytes(local("down-" + name)), bytes);
    }
}

TEST_P(FtpServersTest, DownloadOverALongerLocalFileLeavesOnlyTheNewBytes) {
    write_bytes(root() / "page.htm", "<html>short</html>");
    write_bytes(local("page.htm"), std::string(10'000, 'z'));
    ASSERT_TRUE(connect_and_login()) << title();
    ASSERT_TRUE(ftp->FtpRetrieveFile("page.htm", local("page.htm").string())) << title();
    EXPECT_EQ(read_bytes(local("page.htm")), "<html>short</html>");
}

TEST_P(FtpServersTest, RefusedLogin) {
    ASSERT_TRUE(ftp->FtpConnect(server->address())) << server->log_text();
    EXPECT_FALSE(ftp->FtpLogin(user(), wrong_password()));
    EXPECT_EQ(title(), "Error Invalid user name or Password");
    window->sockets.vaskSocket1.disconnect();

    ASSERT_TRUE(ftp->FtpConnect(server->address()));
    window->form.set_caption("");
    EXPECT_FALSE(ftp->FtpLogin("nobody-here", password()));
    EXPECT_EQ(title(), "Error Invalid user name or Password");
}

TEST_P(FtpServersTest, ServerReceivesTheseCommandsInOrder) {
    write_bytes(local("page.htm"), "<html>online</html>");
    ASSERT_TRUE(connect_and_login()) << title();
    EXPECT_FALSE(ftp->FtpPrintWorkingDirectory().empty());
    ASSERT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm")) << title();
    ASSERT_TRUE(ftp->FtpRetrieveFile("page.htm", local("copy.htm").string())) << title();

    std::vector<std::string> commands = server->commands();
    ASSERT_EQ(commands.size(), 9u) << server->log_text();
    EXPECT_EQ(commands[0], "USER " + user());
    EXPECT_EQ(commands[1], pyftpdlib() ? "PASS ******" : "PASS <password>");  // as the server logs it
    EXPECT_EQ(commands[2], "PWD");
    EXPECT_EQ(commands[3].rfind("PORT 127,0,0,1,", 0), 0u) << commands[3];
    EXPECT_EQ(commands[4], "TYPE I");
    EXPECT_EQ(commands[5], "STOR page.htm");
    EXPECT_EQ(commands[6].rfind("PORT 127,0,0,1,", 0), 0u) << commands[6];
    EXPECT_EQ(commands[7], "TYPE I");
    EXPECT_EQ(commands[8], "RETR page.htm");
}

TEST_P(FtpServersTest, MissingRemoteFileFailsAndTheNextTransferWorks) {
    write_bytes(local("page.htm"), "local");
    ASSERT_TRUE(connect_and_login()) << title();
    EXPECT_FALSE(ftp->FtpRetrieveFile("no-such-file.htm", local("copy.htm").string()));
    EXPECT_FALSE(fs::exists(local("copy.htm")));
    EXPECT_FALSE(window->sockets.vaskSocket2.listening());
    ASSERT_TRUE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm")) << title();
    ASSERT_TRUE(ftp->FtpRetrieveFile("page.htm", local("copy.htm").string())) << title();
    EXPECT_EQ(read_bytes(local("copy.htm")), "local");
}

TEST_P(FtpServersTest, ServerClosingTheControlConnection) {
    write_bytes(local("page.htm"), "local");
    ASSERT_TRUE(connect_and_login()) << title();
    server->stop();
    EXPECT_FALSE(ftp->FtpStoreFile(local("page.htm").string(), "page.htm"));
    EXPECT_EQ(title(), "Error Remote host closed the connection");
    EXPECT_FALSE(window->sockets.vaskSocket2.listening());
    EXPECT_FALSE(ftp->FtpRetrieveFile("page.htm", local("copy.htm").string()));
    EXPECT_FALSE(fs::exists(local("copy.htm")));
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpServersTest, ::testing::Values(Kind::pyftpdlib, Kind::vsftpd),
                         [](const auto& info) {
                             return std::string(info.param == Kind::pyftpdlib ? "pyftpdlib" : "vsftpd");
                         });

}  // namespace
}  // namespace vask::test

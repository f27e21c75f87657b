#pragma once
// FTP servers for the tests and benchmarks: pyftpdlib, vsftpd and the
// scripted server of scripted_ftp_server.py. Each runs as a child process in
// a process group of its own, listening on port 21 of a loopback address of
// its own (127.a.b.c, chosen afresh so that tests can run side by side), and
// is stopped by its process id when the object goes. Needs root for port 21.
//
// No dependency on GoogleTest: failures to start throw std::runtime_error
// with the server's own output.
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vask::test {

class FtpServer {
public:
    enum class Kind { pyftpdlib, vsftpd, scripted };

    // Whether the server program is installed here.
    static bool available(Kind kind);

    // pyftpdlib with one user who may do everything in root.
    static std::unique_ptr<FtpServer> pyftpdlib(const std::filesystem::path& root,
                                                const std::string& user, const std::string& password);
    // vsftpd with anonymous login: user "anonymous" (or "ftp") and any
    // password but kVsftpdRefusedPassword; uploads and downloads in root.
    // Any other user name is refused at USER.
    static constexpr const char* kVsftpdUser = "anonymous";
    static constexpr const char* kVsftpdRefusedPassword = "refused@example.com";
    static std::unique_ptr<FtpServer> vsftpd(const std::filesystem::path& root);
    // The scripted server with a JSON script (see scripted_ftp_server.py);
    // RETR and STOR use files in root.
    static std::unique_ptr<FtpServer> scripted(const std::filesystem::path& root, const std::string& script);

    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    Kind kind() const { return kind_; }
    const std::string& address() const { return address_; }
    pid_t pid() const { return pid_; }
    bool running();
    // Ends the process group (SIGTERM, then SIGKILL) and reaps the process.
    void stop();

    // The commands received so far, in order, without line ends, as the
    // server logged them (pyftpdlib and vsftpd mask the password).
    std::vector<std::string> commands() const;
    // The scripted server only: every received line, byte for byte.
    std::vector<std::string> received_lines() const;
    // Control connections the scripted server has taken.
    int connections() const;
    std::string log_text() const;

private:
    FtpServer(Kind kind, std::filesystem::path work);
    // Starts argv (with "{address}" replaced) on a fresh address and waits
    // until it listens there.
    void launch(const std::vector<std::string>& argv);

    Kind kind_;
    std::filesystem::path work_;  // config and logs; removed with the object
    std::filesystem::path log_;
    std::filesystem::path root_;
    std::string address_;
    pid_t pid_ = -1;
};

// A script for FtpServer::scripted, built up in C++:
//   FtpScript().greeting({ftp_script::send("220-a\r\n"), ftp_script::close()})
//              .reply("RETR", {ftp_script::send("550 No\r\n")})
struct FtpScript {
    using Response = std::vector<std::string>;  // actions, each a JSON array
    // The next control connection's greeting.
    FtpScript& greeting(Response response);
    // The next time `verb` comes (the last one given stands for all later).
    FtpScript& reply(const std::string& verb, Response response);
    std::string json() const;

    std::vector<Response> greetings;
    std::vector<std::pair<std::string, std::vector<Response>>> replies;
};

// The actions of a script (see scripted_ftp_server.py).
namespace ftp_script {
std::string send(std::string_view raw);
std::string flood(std::string_view raw);
std::string close();
std::string sleep(double seconds);
std::string connect();
std::string data(std::string_view raw);
std::string data_bytes(int count);
std::string data_drain();
std::string data_close();
std::string retr(std::string_view prelim = "150 Opening data connection\r\n",
                 std::string_view final = "226 Transfer complete\r\n");
std::string stor(std::string_view prelim = "150 Ok to send data\r\n",
                 std::string_view final = "226 Transfer complete\r\n");
}  // namespace ftp_script

// Raw bytes as a JSON string literal, quotes included (bytes 0x80-0xFF as
// \u00XX, which the scripted server turns back into the same bytes).
std::string json_bytes(std::string_view raw);

// A loopback address no server listens on at port 21, different on every
// call of this process and unlikely to be another process's.
std::string fresh_loopback_address();

}  // namespace vask::test

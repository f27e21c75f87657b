#pragma once
// The FTP client that publishes the status page: RFC 959 commands over the
// window's control socket (vaskSocket1, port 21, line mode) and active-mode
// data connections on vaskSocket2 (PORT, then the server connects to us).
//
// It knows eight operations; the publish workflow strings them together:
// FtpConnect, FtpLogin, then any number of FtpRetrieveFile / FtpStoreFile,
// each opening its own data connection through FtpOpenDataConnection. There
// is no QUIT: the caller closes the control socket. FtpSendCommand and
// FtpReadReply are the primitives the others use.
//
// Outputs: panel 3 of vaskStatus shows each command as it is sent (the
// password as "Password *******") and each continuation line of a multi-line
// reply; error reports go through MainWindow::ReportError.
//
// Every socket call blocks by running the window's event loop, so the window
// stays usable. Every wait on the server is bounded by the time limit (a
// whole reply must arrive within it; a transfer may take longer as long as
// data keeps moving); a reply is bounded in lines and bytes as well. A server
// that breaks these rules makes the operation fail with its own report.
//
// Text in commands and replies is Windows-1252 on the wire and UTF-8 here.
#include <string>

#include "publish/ftp_reply.h"

namespace vask {

class MainWindow;
class Socket;

// How reading a reply ended.
enum class FtpReplyStatus {
    complete,   // every line arrived
    timed_out,  // the server said nothing for the time limit
    closed,     // the connection closed (or failed) before the reply was complete
    too_long,   // more lines or bytes than a reply may have
};

struct FtpReply {
    int code = 0;      // the code of the first line
    std::string text;  // the text of the last line read (UTF-8, no line end)
    FtpReplyStatus status = FtpReplyStatus::complete;

    bool complete() const { return status == FtpReplyStatus::complete; }
    // Complete, with a code a server may send.
    bool well_formed() const { return complete() && ftp_valid_code(code); }
};

class FtpClient {
public:
    static constexpr int kPort = 21;
    // The limit on each wait for the server (connect, reply, accept, data).
    static constexpr int kTimeLimitMs = 60'000;
    // Bounds of one reply, continuation lines included.
    static constexpr int kMaxReplyLines = 1000;
    static constexpr int kMaxReplyBytes = 64 * 1024;
    static constexpr int kControlBufferSize = 1024;
    static constexpr int kDataBufferSize = 4096;
    static constexpr int kRetrieveChunk = 1024;  // bytes per data read of a download
    static constexpr int kStoreChunk = 4096;     // bytes per data write of an upload
    static constexpr int kLogPanel = 3;

    explicit FtpClient(MainWindow& window);
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Milliseconds; tests lower it to keep failures quick. 0 or less restores
    // the default.
    void set_time_limit(int ms);
    int time_limit() const { return time_limit_ms_; }

    // Writes the command and CR LF on the control connection; false when the
    // write failed.
    bool FtpSendCommand(const std::string& command);
    // Reads one reply; a multi-line reply ends at the first following line
    // whose first three characters read as the same code.
    FtpReply FtpReadReply();
    // Opens the control connection to the server (a host name or a dotted
    // address) on port 21; true when greeted with 220.
    bool FtpConnect(const std::string& server);
    // USER, then PASS when asked for; true when the server answered 230.
    bool FtpLogin(const std::string& user, const std::string& password);
    // The working directory a 257 reply names; another reply gives its text,
    // a failed send or a broken reply "".
    std::string FtpPrintWorkingDirectory();
    // Listens on vaskSocket2 and sends PORT and TYPE; true when both were
    // accepted, the data socket then listening.
    bool FtpOpenDataConnection();
    // Downloads the remote file into the local file, which afterwards holds
    // exactly the bytes received. True when all arrived and the server's
    // closing reply confirmed it (2xx).
    bool FtpRetrieveFile(const std::string& remote, const std::string& local);
    // Uploads the local file under the remote name. True when all was sent
    // and the server's closing reply confirmed it (2xx).
    bool FtpStoreFile(const std::string& local, const std::string& remote);

private:
    Socket& control();
    Socket& data();
    void log(const std::string& text);
    // Reports a reply that did not arrive whole or carries no valid code;
    // true when it did so (the operation then fails).
    bool report_broken(const FtpReply& reply);
    // Reads the server's closing reply of a transfer; true when it arrived
    // whole with a 2xx code. Reports a broken reply when `report` is set.
    bool read_final_reply(bool report);
    // Waits for the server to connect to the listening data socket.
    bool accept_data_connection();
    // The upload once the local file is open: STOR and the data.
    bool store(int fd, long long size, const std::string& remote);
    void close_data();

    MainWindow& window_;
    int time_limit_ms_ = kTimeLimitMs;
};

}  // namespace vask

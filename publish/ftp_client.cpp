#include "publish/ftp_client.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "app/main_window.h"
#include "desktop/ansi_text.h"
#include "net/socket.h"

namespace vask {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kLineEnd = "\r\n";
// Bytes of a download gathered before they are written to the file.
constexpr std::size_t kFileBlock = 64 * 1024;

std::string file_error(int error) { return std::strerror(error); }

// A received line as the FTP log shows it: control characters would only
// garble the status bar.
std::string printable(std::string_view line) {
    std::string text = from_ansi(ftp_without_line_end(line));
    for (char& ch : text)
        if ((static_cast<unsigned char>(ch) < 0x20) || ch == 0x7f) ch = ch == '\t' ? ' ' : '?';
    return text;
}

bool write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

ssize_t read_some(int fd, char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

// Reads one line of a reply into `line` (its first kFtpMaxLineLength
// characters, without the line end). `budget` counts down the bytes the reply
// may still take; `deadline` is when the whole reply must be in.
FtpReplyStatus read_line(Socket& socket, std::string& line, int& budget, Clock::time_point deadline) {
    line.clear();
    std::string piece;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return FtpReplyStatus::timed_out;
        socket.set_time_limit(int(std::min<long long>(left, 0x7fffffff)));
        const int got = socket.read(piece, FtpClient::kControlBufferSize);
        if (got < 0) return socket.last_error() == ETIMEDOUT ? FtpReplyStatus::timed_out : FtpReplyStatus::closed;
        if (got == 0) return FtpReplyStatus::closed;
        budget -= got;
        if (budget < 0) return FtpReplyStatus::too_long;
        const bool ended = piece.back() == '\n';
        const std::string_view content = ended ? ftp_without_line_end(piece) : std::string_view(piece);
        if (line.size() < kFtpMaxLineLength)
            line.append(content.substr(0, kFtpMaxLineLength - line.size()));
        // Without a line end the piece is part of a longer line, or the last
        // bytes before the close (the next read then says so).
        if (ended) return FtpReplyStatus::complete;
    }
}

}  // namespace

FtpClient::FtpClient(MainWindow& window) : window_(window) {}

Socket& FtpClient::control() { return window_.sockets.vaskSocket1; }
Socket& FtpClient::data() { return window_.sockets.vaskSocket2; }

void FtpClient::set_time_limit(int ms) { time_limit_ms_ = ms > 0 ? ms : kTimeLimitMs; }

void FtpClient::log(const std::string& text) { window_.c.vaskStatus->set_panel_text(kLogPanel, text); }

bool FtpClient::report_broken(const FtpReply& reply) {
    switch (reply.status) {
        case FtpReplyStatus::timed_out:
            window_.ReportError("Remote host did not answer in time");
            return true;
        case FtpReplyStatus::closed:
            window_.ReportError("Remote host closed the connection");
            return true;
        case FtpReplyStatus::too_long:
            window_.ReportError("Reply from remote host is too long");
            return true;
        case FtpReplyStatus::complete:
            break;
    }
    if (ftp_valid_code(reply.code)) return false;
    window_.ReportError("Invalid reply from remote host");
    return true;
}

void FtpClient::close_data() {
    Socket& socket = data();
    if (socket.listening() || socket.connected()) socket.disconnect();
}

// --- The primitives ---

bool FtpClient::FtpSendCommand(const std::string& command) {
    // A line end inside would smuggle in a command of its own.
    if (command.find_first_of("\r\n") != std::string::npos) return false;
    log(command.compare(0, 4, "PASS") == 0 ? "Password *******" : command);
    Socket& socket = control();
    socket.set_time_limit(time_limit_ms_);
    return socket.write(to_ansi(command) + kLineEnd) >= 0;
}

FtpReply FtpClient::FtpReadReply() {
    Socket& socket = control();
    FtpReply reply;
    int budget = kMaxReplyBytes;
    const auto deadline = Clock::now() + std::chrono::milliseconds(time_limit_ms_);
    std::string line;
    reply.status = read_line(socket, line, budget, deadline);
    if (!reply.complete()) return reply;
    reply.code = ftp_reply_code(line);
    reply.text = from_ansi(ftp_reply_text(line));
    if (!ftp_starts_multiline(line)) return reply;
    for (int lines = 1;; ++lines) {
        if (lines >= kMaxReplyLines) {
            reply.status = FtpReplyStatus::too_long;
            return reply;
        }
        reply.status = read_line(socket, line, budget, deadline);
        if (!reply.complete()) return reply;
        reply.text = from_ansi(ftp_reply_text(line));
        if (ftp_reply_code(line) == reply.code) return reply;
        log(printable(line));
    }
}

// --- Connection and login ---

bool FtpClient::FtpConnect(const std::string& server) {
    if (server.empty()) return false;
    Socket& socket = control();
    socket.set_address_family(Socket::kInternet);
    socket.set_protocol(Socket::kProtocolDefault);
    socket.set_socket_type(Socket::kStream);
    socket.set_remote_port(kPort);
    socket.set_binary(false);
    socket.set_buffer_size(kControlBufferSize);
    socket.set_blocking(true);
    socket.set_time_limit(time_limit_ms_);
    if (!socket.set_remote_host(server) || socket.connect() != 0) {
        window_.ReportError("Unable to connect to remote host");
        return false;
    }
    FtpReply greeting = FtpReadReply();
    if (!report_broken(greeting) && greeting.code == 220) return true;
    socket.disconnect();
    return false;
}

bool FtpClient::FtpLogin(const std::string& user, const std::string& password) {
    Socket& socket = control();
    FtpReply reply;
    // Greeting lines left over from FtpConnect, read without ever waiting.
    if (socket.data_waiting() > 0) reply = FtpReadReply();
    while (reply.complete() && reply.code == 220 && socket.data_waiting() > 0) reply = FtpReadReply();
    if (!reply.complete() && report_broken(reply)) return false;

    if (!FtpSendCommand("USER " + user)) return false;
    reply = FtpReadReply();
    if (report_broken(reply)) return false;
    if (reply.code == 331) {
        if (!FtpSendCommand("PASS " + password)) return false;
        reply = FtpReadReply();
        if (report_broken(reply)) return false;
    }
    while (reply.code == 230 && socket.data_waiting() > 0) {
        reply = FtpReadReply();
        if (report_broken(reply)) return false;
    }
    if (reply.code == 230) return true;
    window_.ReportError("Invalid user name or Password");
    return false;
}

std::string FtpClient::FtpPrintWorkingDirectory() {
    if (!FtpSendCommand("PWD")) return {};
    FtpReply reply = FtpReadReply();
    if (report_broken(reply)) return {};
    if (reply.code != 257) return reply.text;
    return ftp_directory_of(reply.text);
}

// --- Data connections ---

bool FtpClient::FtpOpenDataConnection() {
    Socket& socket = data();
    // Whatever an earlier transfer left behind goes first.
    close_data();
    socket.set_address_family(Socket::kInternet);
    socket.set_protocol(Socket::kProtocolTcp);
    socket.set_socket_type(Socket::kStream);
    socket.set_binary(true);
    socket.set_blocking(true);
    socket.set_buffer_size(kDataBufferSize);
    socket.set_bind_address("0.0.0.0");
    socket.set_local_port(0);
    socket.set_time_limit(time_limit_ms_);
    if (socket.listen() != 0) return false;

    // The listener is bound to any address: announce the one the server
    // reaches us at, the local side of the control connection.
    const std::string argument = socket.data_port_argument(control());
    bool accepted = false;
    if (!argument.empty() && FtpSendCommand("PORT " + argument)) {
        FtpReply reply = FtpReadReply();
        if (!report_broken(reply) && reply.code == 200) {
            const bool binary = window_.c.vaskchkBinaryTransfer->value() == 1;
            if (FtpSendCommand(binary ? "TYPE I" : "TYPE A")) {
                reply = FtpReadReply();
                accepted = !report_broken(reply) && reply.code == 200;
            }
        }
    }
    if (!accepted) close_data();
    return accepted;
}

bool FtpClient::accept_data_connection() {
    Socket& listener = data();
    Socket& commands = control();
    const auto deadline = Clock::now() + std::chrono::milliseconds(time_limit_ms_);
    // Waits for the server's connection and, at the same time, for a reply
    // on the control connection: a server that cannot reach us says so there.
    int handle = -1;
    listener.on_connection_pending = [&handle](int, int pending) {
        if (handle < 0) handle = pending;
    };
    listener.set_blocking(false);  // a non-blocking listener hands connections out by itself
    int result = -1;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        window_.loop.wait_until(
            [&] {
                return handle >= 0 || !listener.listening() || commands.data_waiting() > 0 ||
                       commands.end_of_data();
            },
            int(left));
        if (handle >= 0) {
            result = listener.attach(handle);
            break;
        }
        if (!listener.listening()) break;
        // A server connects before it answers: a connection made before the
        // reply that ended the wait is already queued.
        if (listener.accept() == 0) {
            result = 0;
            break;
        }
        if (commands.data_waiting() == 0) break;  // the time limit, or the connection closed
        // The server's word: a refusal (425 and the like) ends the wait, the
        // rest of a preliminary reply does not.
        const FtpReply reply = FtpReadReply();
        if (!reply.well_formed() || reply.code >= 200) break;
    }
    listener.on_connection_pending = nullptr;
    listener.set_blocking(true);
    if (result == 0) return true;
    close_data();
    window_.ReportError("Remote host did not open the data connection");
    return false;
}

bool FtpClient::read_final_reply(bool report) {
    FtpReply reply = FtpReadReply();
    if (!reply.well_formed()) {
        if (report) report_broken(reply);
        return false;
    }
    return reply.code >= 200 && reply.code < 300;
}

bool FtpClient::FtpRetrieveFile(const std::string& remote, const std::string& local) {
    if (remote.empty() || local.empty()) return false;
    if (!FtpOpenDataConnection()) return false;
    if (!FtpSendCommand("RETR " + remote)) {
        close_data();
        return false;
    }
    FtpReply reply = FtpReadReply();
    // 125: the server had the data connection open already (RFC 959).
    if (report_broken(reply) || (reply.code != 150 && reply.code != 125)) {
        close_data();
        return false;
    }
    if (!accept_data_connection()) return false;

    // The file holds exactly what is received: an older, longer one is cut.
    const int fd = ::open(local.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        window_.ReportError(file_error(errno));
        close_data();
        read_final_reply(false);  // the reply to the abandoned transfer is not the next command's
        return false;
    }

    Socket& socket = data();
    bool ok = true;
    bool answered = true;  // false when the server stopped talking: no final reply to wait for
    // Received chunks are gathered into larger file writes.
    std::vector<char> block(kFileBlock);
    std::size_t held = 0;
    auto flush = [&] {
        const bool written = write_all(fd, block.data(), held);
        held = 0;
        return written;
    };
    for (;;) {
        if (held + kRetrieveChunk > block.size() && !flush()) {
            window_.ReportError(file_error(errno));
            ok = false;
            break;
        }
        const int got = socket.read(block.data() + held, kRetrieveChunk);
        if (got < 0) {
            answered = socket.last_error() != ETIMEDOUT;
            window_.ReportError("Unable to read data from remote host");
            ok = false;
            break;
        }
        if (got == 0) break;  // the server closed the data connection: the file is complete
        held += std::size_t(got);
        window_.loop.do_events();
    }
    if (held > 0 && !flush() && ok) {
        window_.ReportError(file_error(errno));
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        window_.ReportError(file_error(errno));
        ok = false;
    }
    close_data();
    if (!answered) return false;
    const bool confirmed = read_final_reply(ok);
    return ok && confirmed;
}

bool FtpClient::FtpStoreFile(const std::string& local, const std::string& remote) {
    if (local.empty() || remote.empty()) return false;
    // The local file is checked before anything is sent: a file that cannot
    // be read must not leave an empty file on the server.
    // Non-blocking: a pipe of that name must not hold up the window.
    const int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        window_.ReportError(file_error(errno));
        return false;
    }
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) error = errno;
    else if (S_ISDIR(status.st_mode)) error = EISDIR;
    else if (!S_ISREG(status.st_mode)) error = EINVAL;  // a device or pipe has no size to send
    if (error != 0) {
        ::close(fd);
        window_.ReportError(file_error(error));
        return false;
    }
    const bool ok = store(fd, status.st_size, remote);
    ::close(fd);
    return ok;
}

bool FtpClient::store(int fd, long long size, const std::string& remote) {
    if (!FtpOpenDataConnection()) return false;
    if (!FtpSendCommand("STOR " + remote)) {
        close_data();
        return false;
    }
    FtpReply reply = FtpReadReply();
    if (report_broken(reply) || (reply.code != 150 && reply.code != 125)) {
        data().stop_listening();
        return false;
    }
    if (!accept_data_connection()) return false;

    Socket& socket = data();
    bool ok = true;
    bool answered = true;  // false when the server stopped taking data: no final reply to wait for
    std::vector<char> buffer(kStoreChunk);
    long long remaining = size;
    for (;;) {
        // An empty file is sent as one write of no bytes.
        const int chunk = remaining < kStoreChunk ? int(remaining) : kStoreChunk;
        remaining -= chunk;
        int have = 0;
        int read_error = 0;
        while (have < chunk) {
            const ssize_t got = read_some(fd, buffer.data() + have, std::size_t(chunk - have));
            if (got < 0) {
                read_error = errno;
                break;
            }
            if (got == 0) break;  // the file got shorter since its size was taken
            have += int(got);
        }
        if (read_error != 0) {
            window_.ReportError(file_error(read_error));
            ok = false;
            break;
        }
        if (have < chunk) remaining = 0;  // it ends here now
        if (socket.write(buffer.data(), have) < 0) {
            answered = socket.last_error() != ETIMEDOUT;
            window_.ReportError("Unable to send data to remote server");
            ok = false;
            break;
        }
        if (remaining == 0) break;
        window_.loop.do_events();
    }
    close_data();  // the end of the data connection tells the server the file is complete
    if (!answered) return false;
    const bool confirmed = read_final_reply(ok);
    return ok && confirmed;
}

}  // namespace vask

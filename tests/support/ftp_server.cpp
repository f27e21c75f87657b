#include "ftp_server.h"  // next to this file: the benchmarks build it in too

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vask::test {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr int kPort = 21;
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopGrace = std::chrono::seconds(5);

// The scripts live next to this file.
fs::path support_dir() { return fs::path(__FILE__).parent_path(); }

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Whether some socket listens on address:port, from /proc/net/tcp.
bool listening_on(const std::string& address, int port) {
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) return false;
    char wanted[32];
    // The kernel prints the address as the 32-bit value in host byte order.
    std::snprintf(wanted, sizeof wanted, "%08X:%04X", parsed.s_addr, unsigned(port));
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A") return true;  // 0A: LISTEN
    }
    return false;
}

std::string unescape(std::string_view text) {
    std::string raw;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            raw += text[i];
            continue;
        }
        char next = text[++i];
        if (next == 'r') raw += '\r';
        else if (next == 'n') raw += '\n';
        else if (next == 'x' && i + 2 < text.size()) {
            raw += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else raw += next;
    }
    return raw;
}

}  // namespace

std::string fresh_loopback_address() {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        // FNV-1a over the process id and a counter, folded into 127.a.b.c
        // with each of a, b, c from 1 to 254.
        std::uint32_t hash = 2166136261u;
        const std::uint64_t seed = (std::uint64_t(::getpid()) << 20) ^ counter.fetch_add(1);
        for (int i = 0; i < 8; ++i) {
            hash ^= std::uint32_t((seed >> (8 * i)) & 0xff);
            hash *= 16777619u;
        }
        const unsigned a = 1 + hash % 254, b = 1 + (hash / 254) % 254, c = 1 + (hash / 254 / 254) % 254;
        std::string address =
            "127." + std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c);
        if (!listening_on(address, kPort)) return address;
    }
}

std::string json_bytes(std::string_view raw) {
    std::string out = "\"";
    for (unsigned char ch : raw) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += char(ch);
        } else if (ch >= 0x20 && ch < 0x7f) {
            out += char(ch);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", unsigned(ch));
            out += code;
        }
    }
    return out + "\"";
}

FtpScript& FtpScript::greeting(Response response) {
    greetings.push_back(std::move(response));
    return *this;
}

FtpScript& FtpScript::reply(const std::string& verb, Response response) {
    for (auto& [name, responses] : replies)
        if (name == verb) {
            responses.push_back(std::move(response));
            return *this;
        }
    replies.push_back({verb, {std::move(response)}});
    return *this;
}

namespace {

std::string json_list(const std::vector<FtpScript::Response>& responses) {
    std::string out = "[";
    for (std::size_t i = 0; i < responses.size(); ++i) {
        out += i ? ",[" : "[";
        for (std::size_t j = 0; j < responses[i].size(); ++j) out += (j ? "," : "") + responses[i][j];
        out += "]";
    }
    return out + "]";
}

}  // namespace

std::string FtpScript::json() const {
    std::string out = "{\"greetings\": " + json_list(greetings) + ", \"replies\": {";
    for (std::size_t i = 0; i < replies.size(); ++i)
        out += (i ? ", " : "") + json_bytes(replies[i].first) + ": " + json_list(replies[i].second);
    return out + "}}";
}

namespace ftp_script {
std::string send(std::string_view raw) { return "[\"send\", " + json_bytes(raw) + "]"; }
std::string flood(std::string_view raw) { return "[\"flood\", " + json_bytes(raw) + "]"; }
std::string close() { return "[\"close\"]"; }
std::string sleep(double seconds) { return "[\"sleep\", " + std::to_string(seconds) + "]"; }
std::string connect() { return "[\"connect\"]"; }
std::string data(std::string_view raw) { return "[\"data\", " + json_bytes(raw) + "]"; }
std::string data_bytes(int count) { return "[\"data_bytes\", " + std::to_string(count) + "]"; }
std::string data_drain() { return "[\"data_drain\"]"; }
std::string data_close() { return "[\"data_close\"]"; }
std::string retr(std::string_view prelim, std::string_view final) {
    return "[\"retr\", " + json_bytes(prelim) + ", " + json_bytes(final) + "]";
}
std::string stor(std::string_view prelim, std::string_view final) {
    return "[\"stor\", " + json_bytes(prelim) + ", " + json_bytes(final) + "]";
}
}  // namespace ftp_script

bool FtpServer::available(Kind kind) {
    switch (kind) {
        case Kind::vsftpd:
            return ::access(kVsftpd, X_OK) == 0 && ::geteuid() == 0;
        case Kind::pyftpdlib:
            return ::geteuid() == 0 &&
                   std::system("/usr/bin/python3 -c 'import pyftpdlib' >/dev/null 2>&1") == 0;
        case Kind::scripted:
            return ::access(kPython, X_OK) == 0 && ::geteuid() == 0;
    }
    return false;
}

FtpServer::FtpServer(Kind kind, fs::path work) : kind_(kind), work_(std::move(work)), log_(work_ / "server.log") {}

FtpServer::~FtpServer() {
    stop();
    std::error_code ignored;
    fs::remove_all(work_, ignored);
}

namespace {

fs::path make_work_dir() {
    std::string pattern = (fs::temp_directory_path() / "vask-ftp-server-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

std::unique_ptr<FtpServer> FtpServer::pyftpdlib(const fs::path& root, const std::string& user,
                                                const std::string& password) {
    std::unique_ptr<FtpServer> server(new FtpServer(Kind::pyftpdlib, make_work_dir()));
    server->root_ = root;
    server->launch({kPython, (support_dir() / "ftp_server.py").string(), "--address", "{address}",
                    "--port", std::to_string(kPort), "--root", root.string(), "--user", user,
                    "--password", password});
    return server;
}

std::unique_ptr<FtpServer> FtpServer::vsftpd(const fs::path& root) {
    std::unique_ptr<FtpServer> server(new FtpServer(Kind::vsftpd, make_work_dir()));
    server->root_ = root;
    fs::create_directory(server->work_ / "empty");
    write_file(server->work_ / "banned", std::string(kVsftpdRefusedPassword) + "\n");
    server->launch({kVsftpd, (server->work_ / "vsftpd.conf").string()});
    return server;
}

std::unique_ptr<FtpServer> FtpServer::scripted(const fs::path& root, const std::string& script) {
    std::unique_ptr<FtpServer> server(new FtpServer(Kind::scripted, make_work_dir()));
    server->root_ = root;
    write_file(server->work_ / "script.json", script);
    server->launch({kPython, (support_dir() / "scripted_ftp_server.py").string(), "--address",
                    "{address}", "--port", std::to_string(kPort), "--root", root.string(), "--script",
                    (server->work_ / "script.json").string(), "--log",
                    (server->work_ / "commands.log").string()});
    return server;
}

void FtpServer::launch(const std::vector<std::string>& argv) {
    std::string failure;
    for (int attempt = 0; attempt < 3; ++attempt) {
        address_ = fresh_loopback_address();
        if (kind_ == Kind::vsftpd) {  // the configuration names the address
            const fs::path root = root_;
            write_file(work_ / "vsftpd.conf",
                       "listen=YES\nlisten_ipv6=NO\nlisten_address=" + address_ +
                           "\nlisten_port=21\nbackground=NO\n"
                           "anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
                           "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                           "anon_other_write_enable=YES\nanon_world_readable_only=NO\n"
                           "anon_umask=022\nno_anon_password=NO\n"
                           "anon_root=" + root.string() + "\n" +
                           "deny_email_enable=YES\nbanned_email_file=" + (work_ / "banned").string() +
                           "\nsecure_chroot_dir=" + (work_ / "empty").string() +
                           "\nseccomp_sandbox=NO\nrun_as_launching_user=YES\n"
                           "connect_from_port_20=NO\nport_enable=YES\npasv_enable=NO\n"
                           "delay_failed_login=0\nxferlog_enable=YES\nxferlog_std_format=NO\n"
                           "log_ftp_protocol=YES\nsyslog_enable=NO\nvsftpd_log_file=" +
                           log_.string() + "\n");
        }
        std::vector<std::string> args = argv;
        for (std::string& arg : args)
            if (arg == "{address}") arg = address_;
        std::vector<char*> raw;
        for (std::string& arg : args) raw.push_back(arg.data());
        raw.push_back(nullptr);
        const fs::path output = work_ / "output.log";

        pid_t child = ::fork();
        if (child < 0) throw std::runtime_error("fork failed");
        if (child == 0) {
            ::setpgid(0, 0);
            // A test program that dies without stopping it takes it along.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() == 1) ::_exit(127);
            int in = ::open("/dev/null", O_RDONLY);
            int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (in >= 0) ::dup2(in, 0);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            ::execv(raw[0], raw.data());
            ::_exit(127);
        }
        ::setpgid(child, child);  // also here, so that stop() never finds it unset
        pid_ = child;

        const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!running()) break;
            if (listening_on(address_, kPort)) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        failure = read_file(output);
        stop();
    }
    throw std::runtime_error("FTP server did not start: " + failure);
}

bool FtpServer::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t result = ::waitpid(pid_, &status, WNOHANG);
    if (result == 0) return true;
    if (result == pid_ || (result < 0 && errno == ECHILD)) pid_ = -1;
    return false;
}

void FtpServer::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        pid_t result = ::waitpid(pid_, &status, WNOHANG);
        if (result == pid_ || (result < 0 && errno == ECHILD)) {
            ::kill(-pid_, SIGKILL);  // session processes vsftpd forked, if any are left
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string FtpServer::log_text() const {
    return kind_ == Kind::scripted ? read_file(work_ / "commands.log")
           : kind_ == Kind::vsftpd ? read_file(log_)
                                   : read_file(work_ / "output.log");
}

std::vector<std::string> FtpServer::received_lines() const {
    std::vector<std::string> lines;
    if (kind_ != Kind::scripted) return lines;
    for (const std::string& line : lines_of(log_text()))
        if (line.rfind("C ", 0) == 0) lines.push_back(unescape(std::string_view(line).substr(2)));
    return lines;
}

int FtpServer::connections() const {
    int count = 0;
    for (const std::string& line : lines_of(log_text())) count += line == "CONNECT";
    return count;
}

std::vector<std::string> FtpServer::commands() const {
    std::vector<std::string> commands;
    switch (kind_) {
        case Kind::scripted:
            for (std::string line : received_lines()) {
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
                commands.push_back(line);
            }
            break;
        case Kind::pyftpdlib:
            // "127.0.0.1:40000-[bob] <- STOR f"
            for (const std::string& line : lines_of(log_text())) {
                std::size_t at = line.find("] <- ");
                if (at != std::string::npos) commands.push_back(line.substr(at + 5));
            }
            break;
        case Kind::vsftpd: {
            // ... FTP command: Client "127.0.0.1", "STOR f"
            const std::string marker = "FTP command: Client \"";
            for (const std::string& line : lines_of(log_text())) {
                std::size_t at = line.find(marker);
                if (at == std::string::npos) continue;
                std::size_t open = line.find(", \"", at + marker.size());
                if (open == std::string::npos || line.back() != '"') continue;
                commands.push_back(line.substr(open + 3, line.size() - open - 4));
            }
            break;
        }
    }
    return commands;
}

}  // namespace vask::test

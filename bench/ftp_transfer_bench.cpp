// Upload and download of one large file on loopback: this program's FTP
// client against curl in active mode, in the same run and against the same
// server (vsftpd; --pyftpdlib for pyftpdlib), and the window's responsiveness
// during the upload.
//
//   ftp_transfer_bench [--rounds N] [--mib M] [--pyftpdlib]   (as root; run by hand)
//
// Each round runs, one after the other: our upload, curl's upload, our
// download, curl's download. Each takes a whole session (connect, log in,
// transfer; ours also PWD, as the publish workflow does; curl's includes its
// process start). Our client runs on the window's loop exactly as in the
// program: it processes events after every chunk. A 10 ms timer runs on the
// same loop during our upload; its largest gap between two ticks is the
// window's worst stall. Printed: the median wall time of each, the ratio ours
// over curl's, and the largest tick gap over all rounds.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "desktop/headless_desktop.h"
#include "desktop/poll_loop.h"
#include "publish/ftp_client.h"
// The server launcher of the tests, built into this program.
#include "support/ftp_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using vask::test::FtpServer;

class NoSettings : public vask::Settings {
public:
    std::string ReadSetting(const std::string&, const std::string& default_value) override {
        return default_value;
    }
    void WriteSetting(const std::string&, const std::string&) override {}
};

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs the program and waits for it; true when it exited with 0.
bool run(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    for (const std::string& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
    raw.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool same_file(const fs::path& a, const fs::path& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::vector<char> bx(1 << 20), by(1 << 20);
    for (;;) {
        x.read(bx.data(), std::streamsize(bx.size()));
        y.read(by.data(), std::streamsize(by.size()));
        if (x.gcount() != y.gcount()) return false;
        if (std::memcmp(bx.data(), by.data(), std::size_t(x.gcount())) != 0) return false;
        if (x.gcount() == 0) return true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    std::size_t mib = 64;
    bool use_pyftpdlib = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--mib") && i + 1 < argc) mib = std::size_t(std::max(1, std::atoi(argv[++i])));
        else if (!std::strcmp(argv[i], "--pyftpdlib")) use_pyftpdlib = true;
        else {
            std::fprintf(stderr, "usage: %s [--rounds N] [--mib M] [--pyftpdlib]\n", argv[0]);
            return 2;
        }
    }
    const FtpServer::Kind kind = use_pyftpdlib ? FtpServer::Kind::pyftpdlib : FtpServer::Kind::vsftpd;
    if (!FtpServer::available(kind) || ::access("/usr/bin/curl", X_OK) != 0) {
        std::fprintf(stderr, "needs root, the server and /usr/bin/curl\n");
        return 1;
    }

    std::string pattern = (fs::temp_directory_path() / "vask-ftp-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const fs::path work = pattern;
    const fs::path root = work / "root", local = work / "local";
    fs::create_directory(root);
    fs::create_directory(local);
    const std::string user = use_pyftpdlib ? "bob" : FtpServer::kVsftpdUser;
    const std::string password = use_pyftpdlib ? "secret" : "guest@example.com";

    {
        std::ofstream out(local / "upload.bin", std::ios::binary);
        std::vector<char> block(1 << 20);
        unsigned state = 1;
        for (std::size_t m = 0; m < mib; ++m) {
            for (char& byte : block) byte = char((state = state * 1103515245u + 12345u) >> 16);
            out.write(block.data(), std::streamsize(block.size()));
        }
    }

    auto server = use_pyftpdlib ? FtpServer::pyftpdlib(root, user, password) : FtpServer::vsftpd(root);
    const std::string url = "ftp://" + server->address() + "/";
    const std::vector<std::string> curl = {"/usr/bin/curl", "-s", "--disable-eprt", "-P", "127.0.0.1",
                                           "--user", user + ":" + password};

    vask::PollLoop loop;
    vask::HeadlessDesktop desktop;
    NoSettings settings;
    vask::MainWindow window(loop, desktop, settings);
    window.load();
    vask::FtpClient ftp(window);

    auto our_session = [&](auto transfer) {
        const auto start = Clock::now();
        bool ok = ftp.FtpConnect(server->address()) && ftp.FtpLogin(user, password);
        if (ok) ftp.FtpPrintWorkingDirectory();
        ok = ok && transfer();
        window.sockets.vaskSocket1.disconnect();
        const double took = seconds_since(start);
        if (!ok) std::fprintf(stderr, "our transfer failed: %s\n", window.form.caption().c_str());
        return ok ? took : -1.0;
    };
    auto curl_session = [&](std::vector<std::string> extra) {
        std::vector<std::string> argv = curl;
        argv.insert(argv.end(), extra.begin(), extra.end());
        const auto start = Clock::now();
        const bool ok = run(argv);
        const double took = seconds_since(start);
        if (!ok) std::fprintf(stderr, "curl failed\n");
        return ok ? took : -1.0;
    };

    std::vector<double> ours_up, curl_up, ours_down, curl_down;
    double worst_gap_ms = 0;
    bool all_ok = true;
    for (int round = 0; round < rounds; ++round) {
        // Our upload, with the timer running on the window's loop.
        Clock::time_point last_tick = Clock::now();
        double gap_ms = 0;
        const vask::EventLoop::Id timer = loop.start_timer(10, [&] {
            const auto now = Clock::now();
            gap_ms = std::max(gap_ms, std::chrono::duration<double, std::milli>(now - last_tick).count());
            last_tick = now;
        });
        last_tick = Clock::now();
        const double up = our_session([&] { return ftp.FtpStoreFile((local / "upload.bin").string(), "ours.bin"); });
        gap_ms = std::max(gap_ms, std::chrono::duration<double, std::milli>(Clock::now() - last_tick).count());
        loop.stop_timer(timer);
        worst_gap_ms = std::max(worst_gap_ms, gap_ms);

        const double cup = curl_session({"-T", (local / "upload.bin").string(), url + "curl.bin"});
        const double down = our_session(
            [&] { return ftp.FtpRetrieveFile("ours.bin", (local / "ours-down.bin").string()); });
        const double cdown = curl_session({url + "curl.bin", "-o", (local / "curl-down.bin").string()});
        if (up < 0 || cup < 0 || down < 0 || cdown < 0) {
            all_ok = false;
            break;
        }
        ours_up.push_back(up);
        curl_up.push_back(cup);
        ours_down.push_back(down);
        curl_down.push_back(cdown);
        std::printf("round %d: upload ours %.3f s, curl %.3f s; download ours %.3f s, curl %.3f s; "
                    "largest tick gap %.1f ms\n",
                    round + 1, up, cup, down, cdown, gap_ms);
        std::fflush(stdout);
    }
    if (all_ok) {
        all_ok = same_file(local / "upload.bin", root / "ours.bin") &&
                 same_file(local / "upload.bin", local / "ours-down.bin") &&
                 same_file(local / "upload.bin", local / "curl-down.bin");
        if (!all_ok) std::fprintf(stderr, "transferred files differ\n");
    }
    if (all_ok) {
        const double mb = double(mib) * 1024 * 1024 / 1e6;
        std::printf("\n%zu MiB against %s at %s, %d rounds, medians:\n", mib,
                    use_pyftpdlib ? "pyftpdlib" : "vsftpd", server->address().c_str(), rounds);
        std::printf("  upload    ours %.3f s (%.0f MB/s)  curl %.3f s (%.0f MB/s)  ratio %.2f\n",
                    median(ours_up), mb / median(ours_up), median(curl_up), mb / median(curl_up),
                    median(ours_up) / median(curl_up));
        std::printf("  download  ours %.3f s (%.0f MB/s)  curl %.3f s (%.0f MB/s)  ratio %.2f\n",
                    median(ours_down), mb / median(ours_down), median(curl_down), mb / median(curl_down),
                    median(ours_down) / median(curl_down));
        std::printf("  largest gap between 10 ms ticks during our uploads: %.1f ms\n", worst_gap_ms);
    }
    server.reset();
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return all_ok ? 0 : 1;
}

// Start-up of the desktop program against a bare Qt Widgets window with one
// six-page tab control, in the same run: the time from starting the process
// to the window's first drawing, and the peak memory of the process.
//
//   startup_compare [rounds]     (default 15; offscreen; run by hand)
//   TMPDIR=/dev/shm startup_compare   (settings folders in memory)
//
// Each round starts both programs, one after the other, each with its own
// settings folder and working folder (kept from round to round, after one
// start that is not counted). A program reports its first drawing by
// printing a line and exits at once; the time is taken here, from just
// before fork to that line, and the CPU time and peak resident size of the
// process from wait4.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The bare window: the same size as vask's, one tab control with six pages.
int bare_window(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare");
    window.setFixedSize(512, 382);
    auto* tabs = new QTabWidget(&window);
    tabs->setGeometry(2, 7, 507, 344);
    for (const char* caption : {"Vask", "Kelu", "Chat", "Alive", "HTTP", "About"}) {
        auto* page = new QWidget;
        new QLabel(caption, page);
        tabs->addTab(page, caption);
    }
    struct FirstPaint : QObject {
        std::chrono::steady_clock::time_point started;
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                QTimer::singleShot(0, [this] {
                    auto elapsed = std::chrono::steady_clock::now() - started;
                    std::printf("shown %.3f ms\n", std::chrono::duration<double, std::milli>(elapsed).count());
                    std::fflush(nullptr);
                    _exit(0);
                });
            }
            return false;
        }
    } first_paint;
    first_paint.started = started;
    window.installEventFilter(&first_paint);
    window.show();
    return app.exec();
}

struct Sample {
    double ms = 0;      // fork to "shown"
    double cpu_ms = 0;  // user + system time of the child
    long max_rss_kb = 0;
};

bool run_child(const std::vector<std::string>& args, const std::string& folder, Sample& sample) {
    int out[2];
    if (pipe(out) != 0) return false;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        if (chdir(folder.c_str()) != 0) _exit(126);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    auto shown = std::chrono::steady_clock::now();
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (line.rfind("shown", 0) != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: no first drawing (status %d, \"%s\")\n", args[0].c_str(), status, line.c_str());
        return false;
    }
    sample.ms = std::chrono::duration<double, std::milli>(shown - start).count();
    sample.max_rss_kb = usage.ru_maxrss;
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    sample.cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
    return true;
}

template <class T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A folder for the settings and the working files of one program, kept for
// all its rounds: a start finds what the previous start left, as a user's does.
std::string make_folder() {
    // TMPDIR=/dev/shm keeps the settings file's flushes to disk out of the figures.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/vask-startup-XXXXXX";
    return mkdtemp(folder.data()) ? folder : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && !std::strcmp(argv[1], "--bare-window")) return bare_window(argc, argv);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::vector<std::string> vask_args{VASK_BINARY, "--exit-when-shown"};
    const std::vector<std::string> bare_args{self, "--bare-window"};
    std::string vask_folder = make_folder(), bare_folder = make_folder();
    if (vask_folder.empty() || bare_folder.empty()) return 1;
    // One start each that is not counted: the first start writes the settings file.
    Sample warm_up;
    if (!run_child(vask_args, vask_folder, warm_up) || !run_child(bare_args, bare_folder, warm_up)) return 1;
    std::vector<double> vask_ms, bare_ms, vask_cpu, bare_cpu;
    std::vector<long> vask_kb, bare_kb;
    for (int round = 0; round < rounds; ++round) {
        Sample vask, bare;
        // Alternate which goes first, so neither always finds a warmer cache.
        bool vask_first = round % 2 == 0;
        for (int k = 0; k < 2; ++k) {
            bool is_vask = (k == 0) == vask_first;
            bool ok = is_vask ? run_child(vask_args, vask_folder, vask) : run_child(bare_args, bare_folder, bare);
            if (!ok) return 1;
        }
        vask_ms.push_back(vask.ms);
        vask_cpu.push_back(vask.cpu_ms);
        bare_cpu.push_back(bare.cpu_ms);
        bare_ms.push_back(bare.ms);
        vask_kb.push_back(vask.max_rss_kb);
        bare_kb.push_back(bare.max_rss_kb);
    }
    std::error_code ignored;
    std::filesystem::remove_all(vask_folder, ignored);
    std::filesystem::remove_all(bare_folder, ignored);
    double vm = median(vask_ms), bm = median(bare_ms);
    double vc = median(vask_cpu), bc = median(bare_cpu);
    long vk = median(vask_kb), bk = median(bare_kb);
    std::printf("rounds: %d (offscreen), medians\n", rounds);
    std::printf("%-10s %14s %14s %16s\n", "", "to shown (ms)", "CPU (ms)", "peak RSS (KiB)");
    std::printf("%-10s %14.1f %14.1f %16ld\n", "vask", vm, vc, vk);
    std::printf("%-10s %14.1f %14.1f %16ld\n", "bare Qt", bm, bc, bk);
    std::printf("%-10s %14.2f %14.2f %16.2f\n", "ratio", vm / bm, vc / bc, double(vk) / double(bk));
    return 0;
}

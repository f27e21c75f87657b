// vask: the desktop program. The window and everything it does come from the
// core (MainWindow); this file puts it on Qt and runs it.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings_store.h"
#include "desktop/qt/form_view.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/qt/qt_event_loop.h"
#include "desktop/qt/resources.h"

namespace {

const char kUsage[] =
    "Usage: vask [--help] [--version]\n"
    "\n"
    "Publishes this computer's address on a web page by FTP, finds friends by\n"
    "theirs, chats with them, keeps the line alive and sets the clock from a\n"
    "time server.\n"
    "\n"
    "Settings are kept in ${XDG_CONFIG_HOME:-$HOME/.config}/VASK/VASK.ini.\n"
    "\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n";

// Leaves at once, as the program's own end does: nothing else runs.
[[noreturn]] void leave(int status) {
    std::fflush(nullptr);
    _exit(status);
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    // Options of our own; Qt's (-platform, -display, ...) are left to Qt.
    // Two are for tests and benchmarks: --screenshot FILE saves the window as
    // it is first drawn and exits; --exit-when-shown prints the time from the
    // start to the first drawing and exits.
    std::string screenshot;
    bool exit_when_shown = false;
    std::vector<char*> qt_args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("vask %s\n", VASK_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) {
            screenshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--exit-when-shown")) {
            exit_when_shown = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-' && std::strncmp(argv[i], "--platform", 10) != 0) {
            std::fprintf(stderr, "vask: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else {
            qt_args.push_back(argv[i]);
        }
    }
    qt_args.push_back(nullptr);
    int qt_argc = int(qt_args.size()) - 1;

    // A peer that goes away mid-write is an error the sockets report, not a signal.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(qt_argc, qt_args.data());
    // Qt takes the whole locale from the environment; numbers in files and on
    // the wire are read and written the C way whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("vask");
    QApplication::setApplicationVersion(VASK_VERSION);
    QApplication::setDesktopFileName("vask");
    QApplication::setWindowIcon(vask::program_icon());
    // The window hides in the tray and dialogs close over it: only the form
    // decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);

    vask::QtEventLoop loop;
    vask::QtDesktop desktop;
    vask::IniSettingsStore settings(vask::IniSettingsStore::default_path());
    vask::MainWindow window(loop, desktop, settings);
    vask::FormView view(window.form, desktop);
    desktop.attach(window.form, view.window());
    view.on_unloaded = [] { QCoreApplication::quit(); };

    if (!screenshot.empty() || exit_when_shown) {
        view.on_first_shown = [&] {
            if (!screenshot.empty() && !view.window()->grab().save(QString::fromStdString(screenshot))) {
                std::fprintf(stderr, "vask: cannot write %s\n", screenshot.c_str());
                leave(1);
            }
            if (exit_when_shown) {
                auto elapsed = std::chrono::steady_clock::now() - started;
                std::printf("shown %.3f ms\n", std::chrono::duration<double, std::milli>(elapsed).count());
            }
            leave(0);
        };
    }

    window.load();
    if (window.ended()) return 0;
    // Gone to the tray at start-up: the window is not drawn, so it is taken as it is.
    if (view.on_first_shown && !view.window()->isVisible()) QTimer::singleShot(0, view.on_first_shown);
    return app.exec();
}

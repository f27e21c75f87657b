// The program itself, started as a child process with a temporary settings
// folder and working folder: its options, and the window it draws offscreen
// and on a real X server (Xvfb).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "child_process.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

using test::ChildResult;
using test::run_child;

const std::string kProgram = VASK_BINARY;
const std::filesystem::path kOutput = VASK_GUI_OUTPUT_DIR;

TEST(VaskProgram, HelpAndVersionNeedNoDisplay) {
    test::TempDir dir;
    std::map<std::string, std::string> env{{"QT_QPA_PLATFORM", "no-such-platform"}, {"DISPLAY", ""}};
    ChildResult version = run_child({kProgram, "--version"}, env, dir.path().string());
    EXPECT_TRUE(version.exited);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vask ") + VASK_VERSION + "\n");
    ChildResult help = run_child({kProgram, "--help"}, env, dir.path().string());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: vask", 0), 0u) << help.out;
    ChildResult wrong = run_child({kProgram, "--no-such-option"}, env, dir.path().string());
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("unknown option --no-such-option"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "VASK"));
}

// Starts the program on its first run (no settings yet) and has it save its
// window as first drawn.
ChildResult screenshot(const test::TempDir& dir, const std::filesystem::path& png,
                       std::map<std::string, std::string> env) {
    env["XDG_CONFIG_HOME"] = dir.path().string();
    env["HOME"] = dir.path().string();
    std::filesystem::remove(png);
    return run_child({kProgram, "--screenshot", png.string()}, env, dir.path().string());
}

TEST(VaskProgram, DrawsItsWindowOffscreenAndKeepsItsSettingsInTheXdgFolder) {
    test::TempDir dir;
    auto png = kOutput / "vask-offscreen.png";
    ChildResult run = screenshot(dir, png, {{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.status, 0) << run.err;
    test::PictureFacts facts = test::picture_facts(png.string());
    EXPECT_EQ(facts.width, 512);
    EXPECT_EQ(facts.height, 382);
    EXPECT_GT(facts.colours, 16) << "a blank window";
    // Start-up saves a few values back as it loads them: into the folder given.
    EXPECT_TRUE(std::filesystem::exists(dir / "VASK" / "VASK.ini"));
}

// An X server of our own for one test, stopped by its process id.
class Xvfb {
public:
    Xvfb() {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(ready[1], 3);  // -displayfd: the display number is written there once it listens
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        std::string number;
        pollfd p{ready[0], POLLIN, 0};
        char c;
        // Xvfb prints its number and a line break when it is ready.
        while (poll(&p, 1, 30000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

TEST(VaskProgram, DrawsItsWindowOnAnXServer) {
    if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    Xvfb server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    test::TempDir dir;
    auto png = kOutput / "vask-xvfb.png";
    ChildResult run = screenshot(dir, png, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.display()}});
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.status, 0) << run.err;
    test::PictureFacts facts = test::picture_facts(png.string());
    EXPECT_EQ(facts.width, 512);
    EXPECT_EQ(facts.height, 382);
    EXPECT_GT(facts.colours, 16) << "a blank window";
}

}  // namespace
}  // namespace vask

#pragma once
// A whole main window on the headless desktop and loop, with settings in
// memory: the fixture of the window's tests.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "desktop/controls.h"
#include "desktop/headless_desktop.h"
#include "desktop/poll_loop.h"
#include "support/memory_settings.h"

namespace vask::test {

class WindowTest : public ::testing::Test {
protected:
    PollLoop loop;
    HeadlessDesktop desktop;
    MemorySettings settings;
    std::unique_ptr<MainWindow> window;

    MainWindow& start() {
        window = std::make_unique<MainWindow>(loop, desktop, settings);
        window->load();
        return *window;
    }
    WindowControls& c() { return window->c; }
};

}  // namespace vask::test

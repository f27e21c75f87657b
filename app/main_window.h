#pragma once
// The window frmMain: its controls, start-up, shut-down and tab change.
#include <memory>

#include "app/settings.h"
#include "desktop/desktop.h"
#include "desktop/event_loop.h"
#include "desktop/form.h"

namespace vask {

class MainWindow {
public:
    MainWindow(EventLoop& loop, Desktop& desktop, Settings& settings);
    ~MainWindow();

    Form& form();
    // Runs the start-up sequence, then shows the window unless it went to the tray.
    void load();
    // True once the program has ended (Esc, Exit, or the window closed).
    bool ended() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vask

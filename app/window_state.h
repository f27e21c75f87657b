#pragma once
// Form-level state the subsystems keep on the window, created with it.
#include <cstdint>

#include "desktop/notify_icon.h"

namespace vask {

struct WindowState {
    // The notification-area icon: its record, whether we hold an icon, and
    // the guard of the notification handler.
    NotifyIconRecord tray_icon;
    bool tray_icon_added = false;
    std::uint32_t last_tray_message = 0;
    bool tray_busy = false;

    int KeepAliveCounter = 0;
    int ChatLastSocket = 0;
    bool StoreMode = false;
    bool SetupMode = false;
    bool HttpSetupMode = false;

    bool ended = false;
    bool window_pointer_busy = false;
    bool application_pointer_busy = false;
};

}  // namespace vask

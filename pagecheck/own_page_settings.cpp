// The "HTTP" page's own-page address: every change is stored at once.
#include "app/main_window.h"
#include "app/subsystems.h"
#include "desktop/controls.h"

namespace vask {

void connect_own_page_settings(MainWindow& window) {
    TextBox* host = window.c.httptxtHostname;
    host->on_change = [&window, host] { window.settings.WriteSetting("http_Server", host->text()); };
}

}  // namespace vask

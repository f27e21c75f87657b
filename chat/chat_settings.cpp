// The chat page's settings: every change is stored at once.
#include "app/main_window.h"
#include "app/subsystems.h"
#include "desktop/controls.h"

namespace vask {

void connect_chat_settings(MainWindow& window) {
    TextBox* name = window.c.chattxtName;
    name->on_change = [&window, name] { window.settings.WriteSetting("chatName", name->text()); };
}

}  // namespace vask

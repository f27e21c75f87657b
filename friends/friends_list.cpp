// The twelve friend buttons and their store mode.
#include "app/main_window.h"
#include "desktop/controls.h"

namespace vask {

void MainWindow::CancelFriendStore() {
    // The blinking frame and its restoration arrive with the friends list.
    state.StoreMode = false;
    c.keluTimer1->set_enabled(false);
}

}  // namespace vask

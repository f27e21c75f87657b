// The list of time servers read at start-up.
#include "app/main_window.h"

namespace vask {

// Filled from "TimeServer.txt" once the time client lands.
void MainWindow::LoadTimeServerList() {}

}  // namespace vask

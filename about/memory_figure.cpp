// The memory figure of the "About" page.
#include "app/main_window.h"

namespace vask {

// Shown once the About page lands.
void MainWindow::ShowMemory() {}

}  // namespace vask

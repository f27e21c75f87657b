// The keep-alive timer.
#include "app/main_window.h"

namespace vask {

// The minute timer arrives with the time client; until then nothing runs.
void MainWindow::ApplyKeepAlive() {}

}  // namespace vask

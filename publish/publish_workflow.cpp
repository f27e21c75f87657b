// Publishing the status page by FTP.
#include "app/main_window.h"
#include "app/subsystems.h"

namespace vask {

// The FTP publish arrives with the FTP client; until then both are no-ops.
void MainWindow::PublishOnline() {}
void MainWindow::PublishOffline() {}
void connect_publish_workflow(MainWindow&) {}

}  // namespace vask

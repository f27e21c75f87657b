// Shut-down: Exit, and the steps that run whenever the window closes.
#include "app/main_window.h"

namespace vask {

void MainWindow::ExitProgram() {
    if (state.ended) return;
    if (c.vaskchkAutoOffline->checked()) {
        PublishOffline();
        c.mnuAutoOffline->set_checked(true);
        c.mnuAutoOnline->set_checked(false);
    }
    form.close();
    end_now();
}

void MainWindow::on_query_unload() { RemoveTrayIcon(); }

void MainWindow::on_unload() {
    // Only sockets that report a connection (or, for listeners, listening) are
    // asked to close; nothing is reported.
    if (sockets.vaskSocket1.connected()) sockets.vaskSocket1.disconnect();
    if (sockets.vaskSocket2.listening() && sockets.vaskSocket2.connected())
        sockets.vaskSocket2.disconnect();
    CloseChatSockets();
    if (sockets.httpSocket1.connected()) sockets.httpSocket1.disconnect();
    if (sockets.keluSocket1.connected()) sockets.keluSocket1.disconnect();
    // Closing the window by other means than Exit ends the program here.
    end_now();
}

}  // namespace vask

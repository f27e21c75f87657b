// What selecting a tab page does: the page that owns a fetch never closes its
// own socket, every other page does.
#include "app/main_window.h"
#include "publish/status_page.h"

namespace vask {

namespace {

void close_if_connected(Socket& socket) {
    if (socket.connected()) socket.disconnect();
}

}  // namespace

void MainWindow::on_tab_change() {
    switch (c.SSTab1->tab()) {
        case 0:  // "Vask"
        case 2:  // "Chat"
        case 3:  // "Alive"
            close_if_connected(sockets.httpSocket1);
            close_if_connected(sockets.keluSocket1);
            break;
        case 1:  // "Kelu"
            close_if_connected(sockets.httpSocket1);
            CancelFriendStore();
            break;
        case 4:  // "HTTP"
            close_if_connected(sockets.keluSocket1);
            ApplyBackgroundRule(c);
            break;
        case 5:  // "About"
            close_if_connected(sockets.httpSocket1);
            close_if_connected(sockets.keluSocket1);
            ShowMemory();
            break;
    }
}

}  // namespace vask

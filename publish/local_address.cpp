// The local address: whatever the socket layer reports for the FTP control
// socket. Connected, that is the local end of the connection; not connected,
// it is the address this host uses to reach the outside (host_ipv4_address).
#include "app/main_window.h"
#include "desktop/controls.h"
#include "net/host_address.h"

namespace vask {

std::string MainWindow::LocalAddress() {
    Socket& socket = sockets.vaskSocket1;
    if (socket.connected()) {
        std::string local = socket.local_address();
        if (!local.empty()) return local;
    }
    return host_ipv4_address();
}

std::string MainWindow::AddressCaption() { return "Vask = " + LocalAddress(); }

void MainWindow::LoadHostsList() {
    Socket& socket = sockets.vaskSocket1;
    socket.set_hosts_file("HOSTS.SAM");
    for (std::string name = socket.first_host_name(); !name.empty(); name = socket.next_host_name())
        c.vaskHostname->add_item(name);
    socket.set_hosts_file("");
}

void MainWindow::RefreshLocalAddress() {
    c.vaskcmdRefreshIP->set_enabled(false);
    sockets.vaskSocket1.connect();  // with what it holds; the outcome does not matter
    sockets.vaskSocket1.disconnect();
    ShowAddressCaption();
    c.vaskcmdRefreshIP->set_enabled(true);
}

void MainWindow::CopyAddressToClipboard() {
    desktop.clipboard_clear();
    desktop.clipboard_set_text(LocalAddress());
}

}  // namespace vask

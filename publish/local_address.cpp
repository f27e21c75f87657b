// The local address: whatever the socket layer reports for the FTP control
// socket. Connected, that is the local end of the connection; not connected,
// it is the address this host uses to reach the outside (see LocalAddress).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/main_window.h"
#include "desktop/controls.h"

namespace vask {

namespace {

// The address the system's routing would give an outgoing connection: a UDP
// socket "connected" to a public address sends nothing and reveals the
// source address chosen. Without a route, the loopback address.
std::string routed_host_address() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return "127.0.0.1";
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(9);
    target.sin_addr.s_addr = htonl(0xC0000201);  // 192.0.2.1, a documentation address
    std::string address = "127.0.0.1";
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &local.sin_addr, text, sizeof text) && local.sin_addr.s_addr != 0)
            address = text;
    }
    ::close(fd);
    return address;
}

}  // namespace

std::string MainWindow::LocalAddress() {
    Socket& socket = sockets.vaskSocket1;
    if (socket.connected()) {
        std::string local = socket.local_address();
        if (!local.empty()) return local;
    }
    return routed_host_address();
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

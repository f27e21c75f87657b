#include "net/host_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vask {

std::string host_ipv4_address() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return "127.0.0.1";
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(9);
    target.sin_addr.s_addr = htonl(0xC0000201);  // 192.0.2.1: documentation range, never reached
    std::string address = "127.0.0.1";
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0 &&
        local.sin_addr.s_addr != 0) {
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &local.sin_addr, text, sizeof text)) address = text;
    }
    ::close(fd);
    return address;
}

}  // namespace vask

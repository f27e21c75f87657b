#pragma once
// Plain POSIX peers on 127.0.0.1 for the socket tests: a listener, a client,
// and helpers to send and receive on a descriptor. They never use the event
// loop, so they show what really went over the wire.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vask::test {

constexpr const char* kLoopback = "127.0.0.1";

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

inline sockaddr_in loopback_address(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

inline int port_of(int fd, bool peer = false) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int result = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                      : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return result == 0 ? ntohs(address.sin_port) : -1;
}

// Waits for the descriptor to be readable (or closed); false after timeout_ms.
inline bool wait_readable(int fd, int timeout_ms) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeout_ms) == 1;
}

class PlainListener {
public:
    explicit PlainListener(int backlog = 16) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        int on = 1;
        ::setsockopt(fd_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address = loopback_address(0);
        ::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_.get(), backlog);
    }
    int port() const { return port_of(fd_.get()); }
    int fd() const { return fd_.get(); }
    // The next connection, or an empty Fd when none comes within timeout_ms.
    Fd accept(int timeout_ms = 5000) {
        if (!wait_readable(fd_.get(), timeout_ms)) return Fd();
        return Fd(::accept(fd_.get(), nullptr, nullptr));
    }

private:
    Fd fd_;
};

inline Fd plain_connect(int port) {
    Fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = loopback_address(port);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Fd();
    return fd;
}

// A port on 127.0.0.1 where nothing listens (it was free a moment ago).
inline int closed_port() {
    Fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = loopback_address(0);
    ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    return port_of(fd.get());
}

inline bool send_all(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

// Everything until the peer closes (or nothing arrives for timeout_ms).
inline std::string recv_until_eof(int fd, int timeout_ms = 5000) {
    std::string data;
    char chunk[65536];
    while (wait_readable(fd, timeout_ms)) {
        ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        data.append(chunk, static_cast<size_t>(got));
    }
    return data;
}

// Exactly `size` bytes, or fewer if the peer closes or stays silent.
inline std::string recv_exactly(int fd, size_t size, int timeout_ms = 5000) {
    std::string data;
    char chunk[65536];
    while (data.size() < size && wait_readable(fd, timeout_ms)) {
        ssize_t got = ::recv(fd, chunk, std::min(sizeof chunk, size - data.size()), 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        data.append(chunk, static_cast<size_t>(got));
    }
    return data;
}

// Closes with a reset instead of an orderly close.
inline void close_with_reset(Fd& fd) {
    linger option{1, 0};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_LINGER, &option, sizeof option);
    fd.reset();
}

// A listener whose queue is full: a new connect to it stays pending, because
// the system drops its SYN instead of answering. Loopback refuses a closed
// port at once, so this is the way to get a connect that hangs.
class SaturatedListener {
public:
    SaturatedListener() : listener_(0) {
        for (int i = 0; i < 8; ++i) {
            Fd client(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            sockaddr_in address = loopback_address(listener_.port());
            ::connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd entry{client.get(), POLLOUT, 0};
            bool completed = ::poll(&entry, 1, 300) == 1;
            fillers_.push_back(std::move(client));
            if (!completed) return;  // this one hangs: the queue is full
        }
    }
    int port() const { return listener_.port(); }

private:
    PlainListener listener_;
    std::vector<Fd> fillers_;
};

}  // namespace vask::test

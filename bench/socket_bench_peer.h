#pragma once
// Plain POSIX peers and timing helpers for the socket benchmarks. The peers
// run on threads of their own; the socket under test stays on the main thread.
#include <arpa/inet.h>
#include <sched.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vask::bench {

using Clock = std::chrono::steady_clock;

inline void check(bool ok, const char* what) {
    if (!ok) {
        std::perror(what);
        std::exit(1);
    }
}

inline sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

inline int listen_loopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(0);
    check(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0, "bind");
    check(::listen(fd, 8) == 0, "listen");
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

inline int plain_connect(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    check(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0, "connect");
    return fd;
}

inline bool recv_exactly(int fd, char* buffer, size_t size) {
    while (size > 0) {
        ssize_t got = ::recv(fd, buffer, size, 0);
        if (got <= 0) return false;
        buffer += got;
        size -= size_t(got);
    }
    return true;
}

inline bool send_exactly(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data += sent;
        size -= size_t(sent);
    }
    return true;
}

// Peer threads: listen on 127.0.0.1, accept `connections` connections and
// run `serve` on each, every connection on a thread of its own.
class PeerThread {
public:
    PeerThread(int connections, std::function<void(int fd)> serve) {
        listener_ = listen_loopback(port_);
        thread_ = std::thread([this, connections, serve = std::move(serve)] {
            std::vector<std::thread> workers;
            for (int i = 0; i < connections; ++i) {
                int fd = ::accept(listener_, nullptr, nullptr);
                if (fd < 0) break;
                workers.emplace_back([fd, &serve] {
                    serve(fd);
                    ::close(fd);
                });
            }
            for (auto& worker : workers) worker.join();
        });
    }
    ~PeerThread() {
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

// Keeps the whole process, peer threads included, on the CPU it starts on,
// unless VASK_BENCH_NO_PIN is set. On a small shared machine, wake-ups across
// CPUs vary so much from run to run that they hide what is being compared;
// on one CPU both sides pay the same switches and the difference is the work
// each does. Call before starting threads (they inherit it).
inline void pin_to_one_cpu() {
    if (std::getenv("VASK_BENCH_NO_PIN")) return;
    int cpu = ::sched_getcpu();
    if (cpu < 0) return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    if (::sched_setaffinity(0, sizeof set, &set) == 0)
        std::printf("pinned to CPU %d (VASK_BENCH_NO_PIN=1 to run free)\n", cpu);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace vask::bench

// Bulk transfer over loopback: 256 MiB through our blocking socket in 4096-byte
// writes (an FTP upload's chunk) against plain blocking POSIX sends, in the
// same run; then the other way round, read in 4096-byte reads. Prints the
// median rate of each and the time ratio (goal for sending: 1.1 or less).
// Runs on one CPU (see pin_to_one_cpu).
// Usage: socket_throughput_bench [trials] [MiB per trial]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/socket_bench_peer.h"
#include "desktop/poll_loop.h"
#include "net/socket.h"

namespace {

using namespace vask::bench;

constexpr size_t kChunk = 4096;

// Receives `total` bytes, then answers with one byte so the sender knows
// that everything has arrived.
void sink(int fd, size_t total) {
    std::vector<char> buffer(65536);
    size_t received = 0;
    while (received < total) {
        ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got <= 0) return;
        received += size_t(got);
    }
    send_exactly(fd, "!", 1);
}

// Sends `total` bytes in chunks, then waits for the receiver's one byte.
void source(int fd, size_t total) {
    std::vector<char> chunk(kChunk, 'x');
    for (size_t sent = 0; sent < total; sent += kChunk)
        if (!send_exactly(fd, chunk.data(), kChunk)) return;
    char done;
    recv_exactly(fd, &done, 1);
}

double plain_send(int port, size_t total) {
    int fd = plain_connect(port);
    std::vector<char> chunk(kChunk, 'x');
    auto start = Clock::now();
    for (size_t sent = 0; sent < total; sent += kChunk)
        check(send_exactly(fd, chunk.data(), kChunk), "send");
    char done;
    check(recv_exactly(fd, &done, 1), "recv");
    double seconds = seconds_since(start);
    ::close(fd);
    return seconds;
}

double socket_send(vask::EventLoop& loop, int port, size_t total) {
    vask::Socket socket(loop);
    check(socket.connect("127.0.0.1", port) == 0, "Socket::connect");
    std::vector<char> chunk(kChunk, 'x');
    auto start = Clock::now();
    for (size_t sent = 0; sent < total; sent += kChunk)
        check(socket.write(chunk.data(), int(kChunk)) == int(kChunk), "Socket::write");
    char done;
    check(socket.read(&done, 1) == 1, "Socket::read");
    return seconds_since(start);
}

double plain_receive(int port, size_t total) {
    int fd = plain_connect(port);
    std::vector<char> buffer(kChunk);
    auto start = Clock::now();
    for (size_t received = 0; received < total;) {
        ssize_t got = ::recv(fd, buffer.data(), kChunk, 0);
        check(got > 0, "recv");
        received += size_t(got);
    }
    check(send_exactly(fd, "!", 1), "send");
    double seconds = seconds_since(start);
    ::close(fd);
    return seconds;
}

double socket_receive(vask::EventLoop& loop, int port, size_t total) {
    vask::Socket socket(loop);
    socket.set_buffer_size(int(kChunk));
    check(socket.connect("127.0.0.1", port) == 0, "Socket::connect");
    std::vector<char> buffer(kChunk);
    auto start = Clock::now();
    for (size_t received = 0; received < total;) {
        int got = socket.read(buffer.data(), int(kChunk));
        check(got > 0, "Socket::read");
        received += size_t(got);
    }
    check(socket.write("!", 1) == 1, "Socket::write");
    return seconds_since(start);
}

void report(const char* what, size_t total, const std::vector<double>& plain,
            const std::vector<double>& ours, const char* goal) {
    const double p = median(plain), s = median(ours);
    const double mib = double(total) / (1024 * 1024);
    std::printf("%s\n", what);
    std::printf("  plain POSIX blocking  %8.3f s  %8.1f MiB/s\n", p, mib / p);
    std::printf("  Socket, blocking      %8.3f s  %8.1f MiB/s   ratio %.3f%s\n", s, mib / s, s / p,
                goal);
}

}  // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::atoi(argv[1]) : 7;
    const size_t total = size_t(argc > 2 ? std::atoi(argv[2]) : 256) * 1024 * 1024;

    pin_to_one_cpu();
    vask::PollLoop loop;
    std::vector<double> plain_sends, socket_sends, plain_receives, socket_receives;
    {
        PeerThread peer(2 * (trials + 1), [total](int fd) { sink(fd, total); });
        plain_send(peer.port(), total);  // warm-up
        socket_send(loop, peer.port(), total);
        for (int t = 0; t < trials; ++t) {
            plain_sends.push_back(plain_send(peer.port(), total));
            socket_sends.push_back(socket_send(loop, peer.port(), total));
        }
    }
    {
        PeerThread peer(2 * (trials + 1), [total](int fd) { source(fd, total); });
        plain_receive(peer.port(), total);
        socket_receive(loop, peer.port(), total);
        for (int t = 0; t < trials; ++t) {
            plain_receives.push_back(plain_receive(peer.port(), total));
            socket_receives.push_back(socket_receive(loop, peer.port(), total));
        }
    }
    std::printf("%d trials of %zu MiB, medians:\n", trials, total / (1024 * 1024));
    report("send, 4096-byte writes:", total, plain_sends, socket_sends, " (goal <= 1.1)");
    report("receive, 4096-byte reads:", total, plain_receives, socket_receives, "");
    return 0;
}

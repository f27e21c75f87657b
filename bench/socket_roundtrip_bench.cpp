// Request/reply round trips over loopback: our blocking socket (whose waits
// run the event loop) against a plain blocking POSIX loop, in the same run.
// Prints the median time per round trip of each and their ratio (goal: 1.2
// or less). Runs on one CPU (see pin_to_one_cpu); VASK_BENCH_VERBOSE=1 also
// prints every trial. Usage: socket_roundtrip_bench [trials] [round trips]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/socket_bench_peer.h"
#include "desktop/poll_loop.h"
#include "net/socket.h"

namespace {

using namespace vask::bench;

// An FTP-sized exchange: a short command, a reply line.
const std::string kRequest = "NOOP\r\n";
const std::string kReply = "200 NOOP command successful, nothing changed here.\r\n";

void echo_replies(int fd) {
    char request[64];
    while (recv_exactly(fd, request, kRequest.size()))
        if (!send_exactly(fd, kReply.data(), kReply.size())) return;
}

double plain_trial(int fd, int round_trips) {
    char reply[128];
    auto start = Clock::now();
    for (int i = 0; i < round_trips; ++i) {
        check(send_exactly(fd, kRequest.data(), kRequest.size()), "send");
        check(recv_exactly(fd, reply, kReply.size()), "recv");
    }
    return seconds_since(start) / round_trips;
}

double socket_trial(vask::Socket& socket, int round_trips) {
    char reply[128];
    auto start = Clock::now();
    for (int i = 0; i < round_trips; ++i) {
        check(socket.write(kRequest) == int(kRequest.size()), "Socket::write");
        // Line mode delivers the reply line in one read; binary may need more.
        int got = 0;
        while (got < int(kReply.size())) {
            int n = socket.read(reply + got, int(sizeof reply) - got);
            check(n > 0, "Socket::read");
            got += n;
        }
    }
    return seconds_since(start) / round_trips;
}

}  // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::atoi(argv[1]) : 61;
    const int round_trips = argc > 2 ? std::atoi(argv[2]) : 500;

    pin_to_one_cpu();
    PeerThread peer(3, echo_replies);
    vask::PollLoop loop;
    vask::Socket binary(loop);
    check(binary.connect("127.0.0.1", peer.port()) == 0, "Socket::connect");
    vask::Socket lines(loop);
    lines.set_binary(false);
    lines.set_buffer_size(1024);
    check(lines.connect("127.0.0.1", peer.port()) == 0, "Socket::connect");
    int plain = plain_connect(peer.port());

    // Warm up, then alternate so that drifts of the machine hit all alike.
    plain_trial(plain, round_trips / 4);
    socket_trial(binary, round_trips / 4);
    socket_trial(lines, round_trips / 4);
    std::vector<double> plain_times, binary_times, line_times;
    for (int t = 0; t < trials; ++t) {
        plain_times.push_back(plain_trial(plain, round_trips));
        binary_times.push_back(socket_trial(binary, round_trips));
        line_times.push_back(socket_trial(lines, round_trips));
    }
    ::close(plain);
    binary.disconnect();
    lines.disconnect();

    if (std::getenv("VASK_BENCH_VERBOSE"))
        for (int t = 0; t < trials; ++t)
            std::printf("trial %2d: plain %7.2f  binary %7.2f  lines %7.2f us\n", t,
                        plain_times[t] * 1e6, binary_times[t] * 1e6, line_times[t] * 1e6);
    const double p = median(plain_times), b = median(binary_times), l = median(line_times);
    std::printf("round trip, %d trials x %d, median per round trip:\n", trials, round_trips);
    std::printf("  plain POSIX blocking      %8.2f us\n", p * 1e6);
    std::printf("  Socket, binary, blocking  %8.2f us   ratio %.3f (goal <= 1.2)\n", b * 1e6, b / p);
    std::printf("  Socket, line mode         %8.2f us   ratio %.3f\n", l * 1e6, l / p);
    return 0;
}

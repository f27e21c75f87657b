// Making connections: connect, listen, accept, attach, and the addresses a
// connected socket reports.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "desktop/poll_loop.h"
#include "net/socket.h"
#include "tests/net/loopback_peer.h"

namespace vask {
namespace {

using test::Fd;
using test::kLoopback;
using test::PlainListener;

std::string data_port(int port) {
    return "127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

TEST(SocketConnect, BlockingConnectReachesTheListener) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0) << socket.last_error();
    EXPECT_TRUE(socket.connected());
    EXPECT_FALSE(socket.listening());
    EXPECT_EQ(socket.peer_address(), "127.0.0.1");
    EXPECT_EQ(socket.peer_port(), listener.port());
    EXPECT_EQ(socket.local_address(), "127.0.0.1");

    Fd peer = listener.accept();
    ASSERT_TRUE(peer);
    EXPECT_EQ(test::port_of(peer.get(), true), socket.local_port());
    EXPECT_EQ(socket.connect(), -1);
    EXPECT_EQ(socket.last_error(), EISCONN);
}

TEST(SocketConnect, RefusedBlockingConnect) {
    PollLoop loop;
    Socket socket(loop);
    EXPECT_EQ(socket.connect(kLoopback, test::closed_port()), -1);
    EXPECT_EQ(socket.last_error(), ECONNREFUSED);
    EXPECT_FALSE(socket.connected());
    EXPECT_FALSE(socket.connecting());
    EXPECT_TRUE(socket.end_of_data());
}

TEST(SocketConnect, RefusedNonBlockingConnectNeverReportsAConnection) {
    PollLoop loop;
    Socket socket(loop);
    socket.set_blocking(false);
    int connections = 0;
    socket.on_connected = [&](int) { ++connections; };
    int result = socket.connect(kLoopback, test::closed_port());
    // Refused at once or after the loop has run: either way the same end.
    loop.wait_until([&] { return !socket.connecting(); }, 5000);
    EXPECT_TRUE(result == 0 || result == -1);
    EXPECT_EQ(socket.last_error(), ECONNREFUSED);
    EXPECT_FALSE(socket.connected());
    loop.do_events();
    EXPECT_EQ(connections, 0);
}

TEST(SocketConnect, ConnectNeedsAHostAndPort) {
    PollLoop loop;
    Socket no_host(loop);
    no_host.set_remote_port(21);
    EXPECT_EQ(no_host.connect(), -1);
    EXPECT_EQ(no_host.last_error(), EDESTADDRREQ);

    Socket no_port(loop);
    no_port.set_remote_host(kLoopback);
    EXPECT_EQ(no_port.connect(), -1);
    EXPECT_EQ(no_port.last_error(), EDESTADDRREQ);

    Socket unknown(loop);
    EXPECT_EQ(unknown.connect("no-such-host.invalid", 80), -1);
    EXPECT_EQ(unknown.last_error(), EHOSTUNREACH);
    EXPECT_FALSE(unknown.connected());
}

TEST(SocketConnect, ConnectBindsTheLocalPortWhenOneIsSet) {
    PollLoop loop;
    PlainListener listener;
    int port = test::closed_port();
    Socket socket(loop);
    socket.set_bind_address(kLoopback);
    socket.set_local_port(port);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0) << socket.last_error();
    Fd peer = listener.accept();
    EXPECT_EQ(test::port_of(peer.get(), true), port);
}

TEST(SocketListen, BlockingAcceptTurnsTheListenerIntoTheConnection) {
    PollLoop loop;
    Socket socket(loop);
    socket.set_bind_address(kLoopback);
    socket.set_local_port(0);
    ASSERT_EQ(socket.listen(), 0) << socket.last_error();
    EXPECT_TRUE(socket.listening());
    const int port = socket.local_port();
    ASSERT_GT(port, 0);

    Fd client = test::plain_connect(port);
    ASSERT_TRUE(client);
    ASSERT_EQ(socket.accept(), 0) << socket.last_error();
    EXPECT_TRUE(socket.connected());
    EXPECT_FALSE(socket.listening());
    EXPECT_EQ(socket.peer_port(), test::port_of(client.get()));
    // The listener is gone with it: nobody else gets in.
    EXPECT_FALSE(test::plain_connect(port));

    ASSERT_TRUE(test::send_all(client.get(), "ping"));
    std::string got;
    EXPECT_EQ(socket.read(got, 16), 4);
    EXPECT_EQ(got, "ping");
}

TEST(SocketListen, AcceptNeedsAListener) {
    PollLoop loop;
    Socket socket(loop);
    EXPECT_EQ(socket.accept(), -1);
    EXPECT_EQ(socket.last_error(), EINVAL);
}

TEST(SocketListen, ListeningAgainStartsOverAndStopListeningCloses) {
    PollLoop loop;
    Socket socket(loop);
    socket.set_bind_address(kLoopback);
    ASSERT_EQ(socket.listen(), 0);
    const int first = socket.local_port();
    ASSERT_EQ(socket.listen(), 0) << socket.last_error();
    EXPECT_TRUE(socket.listening());
    EXPECT_FALSE(test::plain_connect(first)) << "the first listener was closed";
    EXPECT_EQ(socket.stop_listening(), 0);
    EXPECT_FALSE(socket.listening());
    EXPECT_EQ(socket.stop_listening(), 0);
}

TEST(SocketListen, ListenOnAPortInUseFails) {
    PollLoop loop;
    Socket first(loop), second(loop);
    first.set_bind_address(kLoopback);
    ASSERT_EQ(first.listen(), 0);
    second.set_bind_address(kLoopback);
    second.set_local_port(first.local_port());
    EXPECT_EQ(second.listen(), -1);
    EXPECT_EQ(second.last_error(), EADDRINUSE);
    EXPECT_FALSE(second.listening());
}

TEST(SocketListen, DataPortArgumentNamesTheListeningPort) {
    PollLoop loop;
    Socket data(loop);
    EXPECT_EQ(data.data_port_argument(), "");
    data.set_bind_address(kLoopback);
    ASSERT_EQ(data.listen(), 0);
    EXPECT_EQ(data.data_port_argument(), data_port(data.local_port()));

    // Bound to any address, the listener announces the control connection's.
    PlainListener server;
    Socket control(loop);
    ASSERT_EQ(control.connect(kLoopback, server.port()), 0);
    Socket any(loop);
    any.set_bind_address("0.0.0.0");
    ASSERT_EQ(any.listen(), 0);
    EXPECT_EQ(any.data_port_argument(control), data_port(any.local_port()));
}

TEST(SocketListen, NonBlockingListenerHandsOutConnectionsToAttach) {
    PollLoop loop;
    Socket listener(loop, 0);
    listener.set_blocking(false);
    listener.set_bind_address(kLoopback);
    std::vector<std::unique_ptr<Socket>> elements;
    std::vector<std::string> events;
    listener.on_connection_pending = [&](int index, int handle) {
        events.push_back("pending " + std::to_string(index));
        auto element = std::make_unique<Socket>(loop, int(elements.size()) + 1);
        element->set_blocking(false);
        element->on_data_arrived = [&events, raw = element.get()](int index, int count) {
            std::string got;
            raw->read(got, count);
            events.push_back("data " + std::to_string(index) + " " + got);
        };
        EXPECT_EQ(element->attach(handle), 0) << element->last_error();
        elements.push_back(std::move(element));
    };
    ASSERT_EQ(listener.listen(), 0);

    Fd first = test::plain_connect(listener.local_port());
    Fd second = test::plain_connect(listener.local_port());
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(loop.wait_until([&] { return elements.size() == 2; }, 5000));
    EXPECT_TRUE(listener.listening()) << "the listener keeps listening";
    EXPECT_TRUE(elements[0]->connected());
    EXPECT_EQ(elements[0]->peer_address(), "127.0.0.1");
    EXPECT_EQ(elements[0]->peer_port(), test::port_of(first.get()));
    EXPECT_EQ(elements[1]->peer_port(), test::port_of(second.get()));

    test::send_all(second.get(), "to two");
    ASSERT_TRUE(loop.wait_until([&] { return events.size() == 3; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"pending 0", "pending 0", "data 2 to two"}));
}

TEST(SocketListen, ConnectionsNobodyTakesAreClosed) {
    PollLoop loop;
    // No handler at all: closed at once.
    auto listener = std::make_unique<Socket>(loop);
    listener->set_blocking(false);
    listener->set_bind_address(kLoopback);
    ASSERT_EQ(listener->listen(), 0);
    Fd unhandled = test::plain_connect(listener->local_port());
    loop.wait_until([&] { return test::wait_readable(unhandled.get(), 0); }, 5000);
    EXPECT_EQ(test::recv_until_eof(unhandled.get(), 0), "");

    // A handler that does not attach: closed with the listener.
    int offered = 0;
    listener->on_connection_pending = [&](int, int) { ++offered; };
    Fd ignored = test::plain_connect(listener->local_port());
    ASSERT_TRUE(loop.wait_until([&] { return offered == 1; }, 5000));
    EXPECT_FALSE(test::wait_readable(ignored.get(), 0)) << "still open while the listener lives";
    listener.reset();
    EXPECT_TRUE(test::wait_readable(ignored.get(), 5000));
    EXPECT_EQ(test::recv_until_eof(ignored.get(), 0), "");
}

TEST(SocketAttach, RefusesWhatIsNotAConnectionItMayTake) {
    PollLoop loop;
    // A handle handed out by a listener and already taken by `owner`.
    Socket listener(loop), owner(loop);
    listener.set_blocking(false);
    listener.set_bind_address(kLoopback);
    int owned = -1;
    listener.on_connection_pending = [&](int, int handle) {
        owned = handle;
        owner.attach(handle);
    };
    ASSERT_EQ(listener.listen(), 0);
    Fd caller = test::plain_connect(listener.local_port());
    ASSERT_TRUE(loop.wait_until([&] { return owner.connected(); }, 5000));

    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    Fd pipe_read(pipe_ends[0]), pipe_write(pipe_ends[1]);
    Fd unconnected(socket(AF_INET, SOCK_STREAM, 0));
    Fd datagram(socket(AF_INET, SOCK_DGRAM, 0));
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    Fd local_a(pair[0]), local_b(pair[1]);

    struct Case {
        const char* what;
        int handle;
        int error;
    };
    const Case cases[] = {
        {"negative", -1, EBADF},
        {"not open", 1000, EBADF},
        {"a pipe", pipe_read.get(), ENOTSOCK},
        {"not connected", unconnected.get(), ENOTCONN},
        {"a datagram socket", datagram.get(), EPROTOTYPE},
        {"a local socket", local_a.get(), EAFNOSUPPORT},
        {"owned by another socket", owned, EBUSY},
    };
    for (const auto& c : cases) {
        Socket socket(loop);
        EXPECT_EQ(socket.attach(c.handle), -1) << c.what;
        EXPECT_EQ(socket.last_error(), c.error) << c.what;
        EXPECT_FALSE(socket.connected()) << c.what;
    }
    EXPECT_TRUE(owner.connected());

    PlainListener server;
    Socket busy(loop);
    ASSERT_EQ(busy.connect(kLoopback, server.port()), 0);
    Fd other = test::plain_connect(server.port());
    EXPECT_EQ(busy.attach(other.get()), -1);
    EXPECT_EQ(busy.last_error(), EISCONN);
}

TEST(SocketAttach, TakesOverAConnectedDescriptor) {
    PollLoop loop;
    PlainListener server;
    Fd client = test::plain_connect(server.port());
    Fd accepted = server.accept();
    ASSERT_TRUE(client && accepted);

    Socket socket(loop, 4);
    ASSERT_EQ(socket.attach(accepted.release()), 0) << socket.last_error();
    EXPECT_TRUE(socket.connected());
    EXPECT_EQ(socket.peer_port(), test::port_of(client.get()));
    ASSERT_EQ(socket.write("over"), 4);
    EXPECT_EQ(test::recv_exactly(client.get(), 4), "over");
    // Closing the object closes the descriptor it took.
    socket.disconnect();
    EXPECT_EQ(test::recv_until_eof(client.get()), "");
}

TEST(SocketLifetime, DestroyingTheObjectClosesItsConnection) {
    PollLoop loop;
    PlainListener server;
    auto socket = std::make_unique<Socket>(loop);
    ASSERT_EQ(socket->connect(kLoopback, server.port()), 0);
    Fd peer = server.accept();
    socket.reset();
    EXPECT_EQ(test::recv_until_eof(peer.get()), "");
    loop.do_events();  // nothing left on the loop refers to it
}

TEST(SocketLifetime, DisconnectIsAllowedInEveryState) {
    PollLoop loop;
    Socket socket(loop);
    EXPECT_EQ(socket.disconnect(), 0);
    EXPECT_EQ(socket.abort(), 0);
    socket.set_bind_address(kLoopback);
    ASSERT_EQ(socket.listen(), 0);
    EXPECT_EQ(socket.disconnect(), 0);
    EXPECT_FALSE(socket.listening());
    EXPECT_EQ(socket.local_address(), "");
    EXPECT_EQ(socket.peer_address(), "");
    EXPECT_EQ(socket.last_error(), 0);
}

}  // namespace
}  // namespace vask

// Notifications, the time limit, the close action, and blocking calls that
// keep the event loop running (and survive what its handlers do).
#include <gtest/gtest.h>
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

// Records every notification of a socket as text, in arrival order.
struct Recorder {
    explicit Recorder(Socket& socket, bool read_data = true, int read_at_most = 1 << 20) {
        socket.on_connected = [this](int index) { add("connected", index); };
        socket.on_peer_closed = [this](int index) { add("closed", index); };
        socket.on_time_limit = [this](int index) { add("time limit", index); };
        socket.on_timeout = [this](int index, SocketOp call, int) {
            add("timeout " + std::to_string(int(call)), index);
        };
        socket.on_connection_pending = [this](int index, int) { add("pending", index); };
        if (read_data)
            socket.on_data_arrived = [this, &socket, read_at_most](int index, int count) {
                std::string got;
                socket.read(got, std::min(count, read_at_most));
                add("data " + std::to_string(count) + " " + got, index);
            };
    }
    void add(const std::string& what, int index) {
        events.push_back(what + " @" + std::to_string(index));
    }
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

// Runs the loop for a while, for checks that something does not happen.
void run_for(PollLoop& loop, int ms) {
    loop.wait_until([] { return false; }, ms);
}

TEST(SocketEvents, NotificationsComeInTheOrderThingsHappen) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop, 5);
    socket.set_blocking(false);
    Recorder recorder(socket);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0) << socket.last_error();
    EXPECT_TRUE(recorder.events.empty()) << "nothing is raised inside the call";
    ASSERT_TRUE(loop.wait_until([&] { return !recorder.events.empty(); }, 5000));
    EXPECT_TRUE(socket.connected());

    Fd peer = listener.accept();
    test::send_all(peer.get(), "hello");
    peer.reset();
    ASSERT_TRUE(loop.wait_until([&] { return recorder.events.size() == 3; }, 5000));
    EXPECT_EQ(recorder.events, (Events{"connected @5", "data 5 hello @5", "closed @5"}));
    run_for(loop, 50);
    EXPECT_EQ(recorder.events.size(), 3u) << "each is raised once";
}

TEST(SocketEvents, PeerClosedWaitsUntilTheDataHasBeenRead) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop, 1);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
    Fd peer = listener.accept();
    Recorder recorder(socket, true, 1);  // reads one byte per notification
    test::send_all(peer.get(), "abc");
    peer.reset();
    loop.wait_until([&] { return recorder.events.size() == 4; }, 5000);
    EXPECT_EQ(recorder.events, (Events{"data 3 a @1", "data 2 b @1", "data 1 c @1", "closed @1"}));
}

TEST(SocketEvents, IdleBlockingSocketLearnsThatThePeerClosed) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop);
    socket.set_binary(false);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
    int closed = 0;
    socket.on_peer_closed = [&](int) { ++closed; };
    Fd peer = listener.accept();
    test::send_all(peer.get(), "421 Bye\r\n");
    peer.reset();
    ASSERT_TRUE(loop.wait_until([&] { return closed == 1; }, 5000));
    std::string line;
    EXPECT_EQ(socket.read(line, 255), 9);
    EXPECT_EQ(line, "421 Bye\r\n");
    EXPECT_EQ(socket.read(line, 255), 0);
    EXPECT_TRUE(socket.end_of_data());
}

TEST(SocketEvents, ABlockingConnectReturnsAfterItsNotification) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop);
    Recorder recorder(socket);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
    EXPECT_EQ(recorder.events, (Events{"connected @-1"}));
}

TEST(SocketEvents, NotificationsOfAClosedConnectionAreDropped) {
    for (bool close_first : {false, true}) {
        SCOPED_TRACE(close_first ? "closed before delivery" : "left open");
        PollLoop loop;
        PlainListener listener;
        Socket socket(loop);
        socket.set_binary(false);
        ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
        Recorder recorder(socket);
        Fd peer = listener.accept();
        test::send_all(peer.get(), "a\nb\n");
        // Wait without running the loop, so that only the read below takes data.
        for (int i = 0; i < 5000 && socket.data_waiting() < 4; ++i) usleep(1000);
        std::string line;
        ASSERT_EQ(socket.read(line, 16), 2);  // "b\n" is left: a notification is posted
        if (close_first) socket.disconnect();
        run_for(loop, 20);
        EXPECT_EQ(recorder.events, close_first ? Events{} : Events{"data 2 b\n @-1"});
    }
}

TEST(SocketEvents, ATimerTicksWhileABlockingReadWaits) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
    Fd peer = listener.accept();
    int ticks = 0;
    auto timer = loop.start_timer(5, [&] {
        if (++ticks == 3) test::send_all(peer.get(), "tick");
    });
    std::string got;
    EXPECT_EQ(socket.read(got, 16), 4);
    loop.stop_timer(timer);
    EXPECT_EQ(got, "tick");
    EXPECT_GE(ticks, 3);
}

TEST(SocketEvents, BlockingCallsFailAtTheTimeLimit) {
    PollLoop loop;
    // read: the connection stays usable afterwards.
    PlainListener listener;
    Socket reader(loop, 2);
    Recorder reader_events(reader, false);
    ASSERT_EQ(reader.connect(kLoopback, listener.port()), 0);
    Fd peer = listener.accept();
    reader.set_time_limit(30);
    std::string got;
    EXPECT_EQ(reader.read(got, 16), -1);
    EXPECT_EQ(reader.last_error(), ETIMEDOUT);
    EXPECT_TRUE(reader.connected());
    test::send_all(peer.get(), "late");
    EXPECT_EQ(reader.read(got, 16), 4);

    // write: the peer reads nothing, so the system's buffers fill up.
    Socket writer(loop, 5);
    Recorder writer_events(writer, false);
    ASSERT_EQ(writer.connect(kLoopback, listener.port()), 0);
    Fd silent = listener.accept();
    writer.set_time_limit(30);
    EXPECT_EQ(writer.write(std::string(64 * 1024 * 1024, 'w')), -1);
    EXPECT_EQ(writer.last_error(), ETIMEDOUT);
    EXPECT_TRUE(writer.connected());

    // accept: still listening afterwards.
    Socket acceptor(loop, 3);
    Recorder acceptor_events(acceptor);
    acceptor.set_bind_address(kLoopback);
    ASSERT_EQ(acceptor.listen(), 0);
    acceptor.set_time_limit(30);
    EXPECT_EQ(acceptor.accept(), -1);
    EXPECT_EQ(acceptor.last_error(), ETIMEDOUT);
    EXPECT_TRUE(acceptor.listening());

    // connect: the pending attempt is given up.
    test::SaturatedListener full;
    Socket connector(loop, 4);
    Recorder connector_events(connector);
    connector.set_time_limit(50);
    EXPECT_EQ(connector.connect(kLoopback, full.port()), -1);
    EXPECT_EQ(connector.last_error(), ETIMEDOUT);
    EXPECT_FALSE(connector.connecting());
    EXPECT_FALSE(connector.connected());

    loop.do_events();
    EXPECT_EQ(reader_events.events, (Events{"connected @2", "timeout 3 @2"}));
    EXPECT_EQ(writer_events.events, (Events{"connected @5", "timeout 4 @5"}));
    EXPECT_EQ(acceptor_events.events, (Events{"timeout 2 @3"}));
    EXPECT_EQ(connector_events.events, (Events{"timeout 1 @4"}));
}

TEST(SocketEvents, NonBlockingConnectPastTheTimeLimitIsGivenUp) {
    PollLoop loop;
    test::SaturatedListener full;
    Socket socket(loop, 7);
    socket.set_blocking(false);
    Recorder recorder(socket);
    socket.set_time_limit(50);
    ASSERT_EQ(socket.connect(kLoopback, full.port()), 0);
    EXPECT_TRUE(socket.connecting());
    ASSERT_TRUE(loop.wait_until([&] { return !recorder.events.empty(); }, 5000));
    EXPECT_EQ(recorder.events, (Events{"time limit @7"}));
    EXPECT_FALSE(socket.connecting());
    EXPECT_FALSE(socket.connected());
    EXPECT_EQ(socket.last_error(), ETIMEDOUT);
}

TEST(SocketEvents, TheTimeLimitAlsoReportsARefusedAttempt) {
    PollLoop loop;
    Socket socket(loop);
    socket.set_blocking(false);
    Recorder recorder(socket);
    socket.set_time_limit(30);
    socket.connect(kLoopback, test::closed_port());
    ASSERT_TRUE(loop.wait_until([&] { return !recorder.events.empty(); }, 5000));
    EXPECT_EQ(recorder.events, (Events{"time limit @-1"}));
    EXPECT_EQ(socket.last_error(), ECONNREFUSED);
}

TEST(SocketEvents, TheTimeLimitEndsWithTheConnectionOrWhenSwitchedOff) {
    PollLoop loop;
    PlainListener listener;
    Socket made(loop);
    made.set_blocking(false);
    Recorder made_events(made);
    made.set_time_limit(30);
    ASSERT_EQ(made.connect(kLoopback, listener.port()), 0);

    test::SaturatedListener full;
    Socket switched_off(loop);
    switched_off.set_blocking(false);
    Recorder off_events(switched_off);
    switched_off.set_time_limit(30);
    ASSERT_EQ(switched_off.connect(kLoopback, full.port()), 0);
    switched_off.set_time_limit(0);

    run_for(loop, 120);
    EXPECT_EQ(made_events.events, (Events{"connected @-1"}));
    EXPECT_TRUE(off_events.events.empty());
    EXPECT_TRUE(switched_off.connecting());
}

TEST(SocketEvents, AbortAbandonsAPendingConnect) {
    PollLoop loop;
    // Pending because the listener's queue is full.
    test::SaturatedListener full;
    Socket pending(loop);
    pending.set_blocking(false);
    Recorder pending_events(pending);
    pending.set_time_limit(30);
    ASSERT_EQ(pending.connect(kLoopback, full.port()), 0);
    ASSERT_TRUE(pending.connecting());
    EXPECT_EQ(pending.abort(), 0);
    EXPECT_FALSE(pending.connecting());

    // Pending because the loop has not yet run to see it complete.
    PlainListener listener;
    Socket unseen(loop);
    unseen.set_blocking(false);
    Recorder unseen_events(unseen);
    ASSERT_EQ(unseen.connect(kLoopback, listener.port()), 0);
    EXPECT_EQ(unseen.abort(), 0);

    run_for(loop, 120);
    EXPECT_TRUE(pending_events.events.empty()) << "no connection, no time limit";
    EXPECT_TRUE(unseen_events.events.empty());
    EXPECT_FALSE(unseen.connected());
    Fd accepted = listener.accept(0);
    if (accepted) {
        EXPECT_EQ(test::recv_until_eof(accepted.get()), "");
    }
}

TEST(SocketEvents, AbortEndsAConnectionAtOnce) {
    PollLoop loop;
    PlainListener listener;
    Socket socket(loop);
    socket.set_blocking(false);
    ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0);
    ASSERT_TRUE(loop.wait_until([&] { return socket.connected(); }, 5000));
    Fd peer = listener.accept();
    ASSERT_EQ(socket.write("goodbye\r\n"), 9);
    socket.abort();
    EXPECT_FALSE(socket.connected());
    // What the system had already taken still reaches the peer.
    EXPECT_EQ(test::recv_until_eof(peer.get()), "goodbye\r\n");
}

TEST(SocketEvents, BlockingWaitsSurviveWhatHandlersDoMeanwhile) {
    struct Case {
        const char* what;
        bool destroy;  // else disconnect
        bool connect;  // else read
    };
    const Case cases[] = {
        {"read, disconnected meanwhile", false, false},
        {"read, destroyed meanwhile", true, false},
        {"connect, aborted meanwhile", false, true},
        {"connect, destroyed meanwhile", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PollLoop loop;
        PlainListener listener;
        test::SaturatedListener full;
        auto socket = std::make_unique<Socket>(loop);
        Fd peer;
        if (!c.connect) {
            ASSERT_EQ(socket->connect(kLoopback, listener.port()), 0);
            peer = listener.accept();
        }
        auto timer = loop.start_timer(10, [&] {
            if (c.destroy) socket.reset();
            else if (socket) socket->abort();
        });
        Socket* raw = socket.get();
        std::string got;
        int result = c.connect ? raw->connect(kLoopback, full.port()) : raw->read(got, 16);
        loop.stop_timer(timer);
        EXPECT_EQ(result, -1);
        if (c.destroy) {
            EXPECT_FALSE(socket);
        } else {
            EXPECT_EQ(socket->last_error(), ECONNABORTED);
            EXPECT_FALSE(socket->connected());
            EXPECT_FALSE(socket->connecting());
        }
        if (peer) {
            EXPECT_EQ(test::recv_until_eof(peer.get()), "");
        }
        loop.do_events();
    }
}

}  // namespace
}  // namespace vask

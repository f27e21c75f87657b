// Moving bytes: binary and line mode reads, writes, end of data, data waiting.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <string>
#include <vector>

#include "desktop/poll_loop.h"
#include "net/socket.h"
#include "tests/net/loopback_peer.h"

namespace vask {
namespace {

using test::Fd;
using test::kLoopback;

// A connected pair: our socket on one end, a plain descriptor on the other.
class SocketTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(socket.connect(kLoopback, listener.port()), 0) << socket.last_error();
        peer = listener.accept();
        ASSERT_TRUE(peer);
    }

    // Waits (through the loop) until the system holds `bytes` for our socket.
    void await_waiting(int bytes) {
        ASSERT_TRUE(loop.wait_until([&] { return socket.data_waiting() >= bytes; }, 5000))
            << "waiting " << socket.data_waiting() << " of " << bytes;
    }

    std::vector<std::string> read_all(int n) {
        std::vector<std::string> reads;
        std::string got;
        while (socket.read(got, n) > 0) reads.push_back(got);
        return reads;
    }

    PollLoop loop;
    test::PlainListener listener;
    Socket socket{loop};
    Fd peer;
};

TEST_F(SocketTransfer, BinaryModePassesEveryByteUnchanged) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += char(i);
    bytes += "\r\n\r\r\n\n";
    ASSERT_TRUE(test::send_all(peer.get(), bytes));
    peer.reset();
    std::string received;
    for (const auto& chunk : read_all(100)) received += chunk;
    EXPECT_EQ(received, bytes);

    Socket writer(loop);
    test::PlainListener other;
    ASSERT_EQ(writer.connect(kLoopback, other.port()), 0);
    Fd other_peer = other.accept();
    ASSERT_EQ(writer.write(bytes), int(bytes.size()));
    writer.disconnect();
    EXPECT_EQ(test::recv_until_eof(other_peer.get()), bytes);
}

TEST_F(SocketTransfer, BinaryReadReturnsWhatIsThereUpToN) {
    ASSERT_TRUE(test::send_all(peer.get(), "0123456789"));
    await_waiting(10);
    char buffer[16];
    EXPECT_EQ(socket.read(buffer, 4), 4);
    EXPECT_EQ(socket.last_count(), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(socket.data_waiting(), 6);
    EXPECT_EQ(socket.read(buffer, 16), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(socket.read(buffer, 0), 0);
    EXPECT_EQ(socket.data_waiting(), 0);
}

TEST_F(SocketTransfer, LineModeDeliversOneLinePerRead) {
    struct Case {
        const char* what;
        std::vector<std::string> packets;  // sent one after the other, then the peer closes
        int buffer_size;
        int n;
        std::vector<std::string> reads;
    };
    const Case cases[] = {
        {"several lines in one packet", {"220-one\r\n220-two\r\n220 three\r\n"}, 1024, 255,
         {"220-one\r\n", "220-two\r\n", "220 three\r\n"}},
        {"LF alone ends a line", {"a\nb\r\nc\n"}, 1024, 255, {"a\n", "b\r\n", "c\n"}},
        {"a lone CR does not", {"a\rb\r\n"}, 1024, 255, {"a\rb\r\n"}},
        {"a line split across packets", {"230 Log", "ged ", "in\r", "\n331 x\r\n"}, 1024, 255,
         {"230 Logged in\r\n", "331 x\r\n"}},
        {"final line without an end", {"one\r\ntwo"}, 1024, 255, {"one\r\n", "two"}},
        {"empty lines", {"\r\n\n"}, 1024, 255, {"\r\n", "\n"}},
        {"a line longer than n comes in pieces", {"abcdefgh\nxy\n"}, 1024, 3,
         {"abc", "def", "gh\n", "xy\n"}},
        {"a line longer than the buffer is cut at its size", {"0123456789ABCDEF\n"}, 8, 255,
         {"01234567", "89ABCDEF", "\n"}},
        {"a buffer-long line without end, then the rest", {"0123456789", "AB"}, 4, 255,
         {"0123", "4567", "89AB"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Socket reader(loop);
        test::PlainListener server;
        ASSERT_EQ(reader.connect(kLoopback, server.port()), 0);
        Fd writer = server.accept();
        reader.set_binary(false);
        reader.set_buffer_size(c.buffer_size);
        reader.set_time_limit(5000);  // a fault fails the case instead of hanging it
        std::vector<std::string> reads;
        std::string got;
        int unread = 0;
        for (const auto& packet : c.packets) {
            ASSERT_TRUE(test::send_all(writer.get(), packet));
            unread += int(packet.size());
            // Let each packet arrive by itself, reading what is complete so far.
            ASSERT_TRUE(loop.wait_until([&] { return reader.data_waiting() >= unread; }, 5000));
            reader.set_blocking(false);
            while (reader.read(got, c.n) > 0) {
                reads.push_back(got);
                unread -= int(got.size());
            }
            EXPECT_EQ(reader.last_error(), EWOULDBLOCK);
            reader.set_blocking(true);
        }
        writer.reset();
        while (reader.read(got, c.n) > 0) reads.push_back(got);
        EXPECT_EQ(reads, c.reads);
        EXPECT_TRUE(reader.end_of_data());
    }
}

TEST_F(SocketTransfer, BlockingLineReadWaitsForTheLineEnd) {
    socket.set_binary(false);
    ASSERT_TRUE(test::send_all(peer.get(), "220 Ser"));
    await_waiting(7);
    // The rest of the line comes from a timer while the read waits.
    auto timer = loop.start_timer(10, [&] { test::send_all(peer.get(), "vice ready\r\n"); });
    std::string line;
    socket.read(line, 255);
    loop.stop_timer(timer);
    EXPECT_EQ(line, "220 Service ready\r\n");
}

TEST_F(SocketTransfer, EndOfDataOnlyOnceThePeerClosedAndAllIsRead) {
    ASSERT_TRUE(test::send_all(peer.get(), "last words"));
    peer.reset();
    await_waiting(10);
    EXPECT_FALSE(socket.end_of_data());
    std::string got;
    EXPECT_EQ(socket.read(got, 4), 4);
    EXPECT_FALSE(socket.end_of_data());
    EXPECT_EQ(socket.read(got, 100), 6);
    EXPECT_EQ(socket.read(got, 100), 0) << "the peer has closed";
    EXPECT_EQ(got, "");
    EXPECT_TRUE(socket.end_of_data());
    EXPECT_TRUE(socket.connected()) << "until closed here";
    EXPECT_EQ(socket.read(got, 100), 0);

    socket.disconnect();
    EXPECT_TRUE(socket.end_of_data());
    EXPECT_EQ(socket.read(got, 100), -1);
    EXPECT_EQ(socket.last_error(), ENOTCONN);
    EXPECT_EQ(socket.write("x"), -1);
    EXPECT_EQ(socket.last_error(), ENOTCONN);
}

TEST_F(SocketTransfer, ReadAndWriteRejectBadArguments) {
    char buffer[4];
    EXPECT_EQ(socket.read(buffer, -1), -1);
    EXPECT_EQ(socket.last_error(), EINVAL);
    EXPECT_EQ(socket.read(nullptr, 4), -1);
    EXPECT_EQ(socket.last_error(), EINVAL);
    EXPECT_EQ(socket.write(nullptr, 4), -1);
    EXPECT_EQ(socket.last_error(), EINVAL);
    EXPECT_EQ(socket.write(buffer, -1), -1);
    EXPECT_EQ(socket.write(buffer, 0), 0) << "an empty write is fine";
}

TEST_F(SocketTransfer, ReadAfterAResetFails) {
    ASSERT_TRUE(test::send_all(peer.get(), "partial"));
    await_waiting(7);
    std::string got;
    ASSERT_EQ(socket.read(got, 7), 7);
    test::close_with_reset(peer);
    socket.set_time_limit(5000);
    EXPECT_EQ(socket.read(got, 16), -1);
    EXPECT_EQ(socket.last_error(), ECONNRESET);
    EXPECT_TRUE(socket.end_of_data());
}

TEST_F(SocketTransfer, WritingToAClosedPeerFailsWithoutSignal) {
    test::close_with_reset(peer);
    const std::string chunk(4096, 'x');
    int result = 0;
    for (int i = 0; i < 100 && result != -1; ++i) {
        result = socket.write(chunk);
        loop.do_events();
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(socket.last_error() == EPIPE || socket.last_error() == ECONNRESET)
        << socket.last_error();
}

TEST_F(SocketTransfer, BlockingWriteOfMuchDataKeepsTheLoopRunning) {
    // The peer drains from a watch on the same loop: the write can only finish
    // if its waits run the loop.
    const int size = 8 * 1024 * 1024;
    std::string data(size, '\0');
    for (int i = 0; i < size; ++i) data[i] = char(i * 7 + i / 4096);
    std::string received;
    auto drain = loop.watch_fd(peer.get(), true, false, [&](FdReady) {
        char chunk[65536];
        ssize_t got = ::recv(peer.get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) received.append(chunk, size_t(got));
    });
    ASSERT_EQ(socket.write(data), size);
    ASSERT_TRUE(loop.wait_until([&] { return received.size() == data.size(); }, 10000));
    loop.unwatch(drain);
    EXPECT_TRUE(received == data);
}

TEST_F(SocketTransfer, NonBlockingWriteQueuesWhatTheSystemCannotTakeYet) {
    socket.set_blocking(false);
    const std::string block(256 * 1024, 'q');
    std::string sent;
    // Fill the system's buffers and our queue; the peer reads nothing yet.
    int taken = 0;
    for (int i = 0; i < 1024 && taken != -1; ++i) {
        taken = socket.write(block);
        if (taken > 0) sent.append(block, 0, size_t(taken));
    }
    EXPECT_EQ(taken, -1);
    EXPECT_EQ(socket.last_error(), EWOULDBLOCK);
    std::string received;
    auto drain = loop.watch_fd(peer.get(), true, false, [&](FdReady) {
        char chunk[65536];
        ssize_t got = ::recv(peer.get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) received.append(chunk, size_t(got));
    });
    ASSERT_TRUE(loop.wait_until([&] { return received.size() == sent.size(); }, 10000));
    loop.unwatch(drain);
    EXPECT_TRUE(received == sent);
}

TEST_F(SocketTransfer, NonBlockingReadWithNothingThere) {
    socket.set_blocking(false);
    char buffer[8];
    EXPECT_EQ(socket.read(buffer, 8), -1);
    EXPECT_EQ(socket.last_error(), EWOULDBLOCK);
    EXPECT_EQ(socket.last_count(), 0);
    EXPECT_TRUE(socket.connected());
}

}  // namespace
}  // namespace vask

// Assigning the socket's settings: what is refused, with which code, and that
// a refused assignment leaves the previous value in place.
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>

#include "desktop/poll_loop.h"
#include "net/resolve.h"
#include "net/socket.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

struct RejectedCase {
    const char* what;
    std::function<bool(Socket&)> assign;
    int error;
};

TEST(SocketSettings, RejectedAssignmentsFailWithTheirCode) {
    const RejectedCase cases[] = {
        {"address family 1", [](Socket& s) { return s.set_address_family(1); }, EAFNOSUPPORT},
        {"address family 23", [](Socket& s) { return s.set_address_family(23); }, EAFNOSUPPORT},
        {"socket type 2", [](Socket& s) { return s.set_socket_type(2); }, ESOCKTNOSUPPORT},
        {"protocol 17", [](Socket& s) { return s.set_protocol(17); }, EPROTONOSUPPORT},
        {"protocol -1", [](Socket& s) { return s.set_protocol(-1); }, EPROTONOSUPPORT},
        {"buffer size 0", [](Socket& s) { return s.set_buffer_size(0); }, EINVAL},
        {"buffer size too big",
         [](Socket& s) { return s.set_buffer_size(Socket::kMaxBufferSize + 1); }, EINVAL},
        {"remote port -1", [](Socket& s) { return s.set_remote_port(-1); }, EINVAL},
        {"remote port 65536", [](Socket& s) { return s.set_remote_port(65536); }, EINVAL},
        {"local port 65536", [](Socket& s) { return s.set_local_port(65536); }, EINVAL},
        {"time limit -1", [](Socket& s) { return s.set_time_limit(-1); }, EINVAL},
        {"service empty", [](Socket& s) { return s.set_remote_service(""); }, EINVAL},
        {"service 0", [](Socket& s) { return s.set_remote_service("0"); }, EINVAL},
        {"service 65536", [](Socket& s) { return s.set_remote_service("65536"); }, EINVAL},
        {"service 80x", [](Socket& s) { return s.set_remote_service("80x"); }, EINVAL},
        {"service -80", [](Socket& s) { return s.set_remote_service("-80"); }, EINVAL},
        {"service unknown name",
         [](Socket& s) { return s.set_remote_service("no-such-service"); }, EINVAL},
        {"bind address 1.2.3", [](Socket& s) { return s.set_bind_address("1.2.3"); }, EINVAL},
        {"bind address 256.0.0.1",
         [](Socket& s) { return s.set_bind_address("256.0.0.1"); }, EINVAL},
        {"bind address name", [](Socket& s) { return s.set_bind_address("localhost"); }, EINVAL},
        {"remote host empty", [](Socket& s) { return s.set_remote_host(""); }, EINVAL},
        {"remote host unknown",
         [](Socket& s) { return s.set_remote_host("no-such-host.invalid"); }, EHOSTUNREACH},
        {"remote host with port",
         [](Socket& s) { return s.set_remote_host("localhost:81"); }, EHOSTUNREACH},
    };
    PollLoop loop;
    for (const auto& c : cases) {
        Socket socket(loop);
        ASSERT_TRUE(socket.set_remote_host("127.0.0.1"));
        ASSERT_TRUE(socket.set_remote_port(21));
        ASSERT_TRUE(socket.set_bind_address("127.0.0.2"));
        EXPECT_FALSE(c.assign(socket)) << c.what;
        EXPECT_EQ(socket.last_error(), c.error) << c.what;
        // The earlier values survive the refusal.
        EXPECT_EQ(socket.protocol(), Socket::kProtocolDefault) << c.what;
        EXPECT_EQ(socket.buffer_size(), Socket::kDefaultBufferSize) << c.what;
        EXPECT_EQ(socket.remote_host(), "127.0.0.1") << c.what;
        EXPECT_EQ(socket.remote_port(), 21) << c.what;
        EXPECT_EQ(socket.bind_address(), "127.0.0.2") << c.what;
        EXPECT_EQ(socket.time_limit(), 0) << c.what;
    }
}

TEST(SocketSettings, AcceptedValuesAreKept) {
    PollLoop loop;
    Socket socket(loop);
    EXPECT_TRUE(socket.set_address_family(2));
    EXPECT_TRUE(socket.set_socket_type(1));
    EXPECT_TRUE(socket.set_protocol(6));
    EXPECT_EQ(socket.protocol(), 6);
    EXPECT_TRUE(socket.set_buffer_size(1));
    EXPECT_TRUE(socket.set_buffer_size(Socket::kMaxBufferSize));
    EXPECT_TRUE(socket.set_remote_service("65535"));
    EXPECT_EQ(socket.remote_port(), 65535);
    EXPECT_TRUE(socket.set_remote_service("0000080"));
    EXPECT_EQ(socket.remote_port(), 80);
    EXPECT_TRUE(socket.set_remote_port(0));
    EXPECT_TRUE(socket.set_bind_address(""));
    EXPECT_EQ(socket.bind_address(), "0.0.0.0");
    EXPECT_TRUE(socket.set_local_port(0));
    EXPECT_EQ(socket.local_port(), 0);
    EXPECT_TRUE(socket.set_time_limit(0));
    EXPECT_EQ(socket.last_error(), 0);
}

TEST(SocketSettings, ServiceNamesReadAsTheSystemKnowsThem) {
    servent* ftp = getservbyname("ftp", "tcp");
    if (!ftp) GTEST_SKIP() << "this system has no service database";
    PollLoop loop;
    Socket socket(loop);
    ASSERT_TRUE(socket.set_remote_service("ftp"));
    EXPECT_EQ(socket.remote_port(), ntohs(static_cast<uint16_t>(ftp->s_port)));
}

TEST(SocketSettings, RemoteHostResolvesNamesAndDottedAddresses) {
    PollLoop loop;
    Socket socket(loop);
    ASSERT_TRUE(socket.set_remote_host("127.0.0.9"));
    EXPECT_EQ(socket.remote_address(), "127.0.0.9");
    ASSERT_TRUE(socket.set_remote_host("localhost"));
    EXPECT_EQ(socket.remote_host(), "localhost");
    EXPECT_EQ(socket.remote_address().rfind("127.", 0), 0u) << socket.remote_address();
}

TEST(SocketSettings, HostsFileNamesResolveBeforeTheSystem) {
    test::TempDir dir;
    std::ofstream(dir / "hosts") << "# test hosts\n"
                                    "::1 vask-peer-six\n"
                                    "127.0.0.7  first-peer  vask-peer.example # alias\n";
    PollLoop loop;
    Socket socket(loop);
    EXPECT_FALSE(socket.set_remote_host("vask-peer.example"));  // no hosts file yet
    socket.set_hosts_file((dir / "hosts").string());
    ASSERT_TRUE(socket.set_remote_host("VASK-PEER.example"));
    EXPECT_EQ(socket.remote_address(), "127.0.0.7");
    // An IPv6 line gives no IPv4 address.
    EXPECT_FALSE(socket.set_remote_host("vask-peer-six"));
    EXPECT_EQ(socket.remote_address(), "127.0.0.7");
}

TEST(SocketSettings, DataPortArgumentFormat) {
    struct Case {
        const char* address;
        int port;
        const char* expected;
    };
    const Case cases[] = {
        {"127.0.0.1", 1025, "127,0,0,1,4,1"},
        {"10.0.0.5", 1025, "10,0,0,5,4,1"},
        {"192.168.200.255", 65535, "192,168,200,255,255,255"},
        {"0.0.0.0", 0, "0,0,0,0,0,0"},
        {"1.2.3.4", 255, "1,2,3,4,0,255"},
        {"1.2.3.4", 256, "1,2,3,4,1,0"},
    };
    for (const auto& c : cases) {
        std::uint32_t address = 0;
        ASSERT_TRUE(net::parse_dotted(c.address, address)) << c.address;
        EXPECT_EQ(net::format_data_port(address, c.port), c.expected);
    }
}

}  // namespace
}  // namespace vask

// The hosts-file enumeration of the socket: every name in file order, then "".
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "desktop/poll_loop.h"
#include "net/socket.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

std::vector<std::string> all_names(Socket& socket) {
    std::vector<std::string> names;
    for (std::string name = socket.first_host_name(); !name.empty(); name = socket.next_host_name())
        names.push_back(name);
    return names;
}

TEST(HostsFile, EnumeratesEveryNameInFileOrder) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"one name a line", "127.0.0.1 localhost\n10.0.0.5 ftp\n", {"localhost", "ftp"}},
        {"several names a line", "10.0.0.1 alpha alpha.example a1\n10.0.0.2\tbeta\t b2\n",
         {"alpha", "alpha.example", "a1", "beta", "b2"}},
        {"comments and blank lines",
         "# a comment line\n\n   \n10.0.0.1 one # two\n#10.0.0.2 hidden\n\t# indented\n10.0.0.3 three\n",
         {"one", "three"}},
        {"CR LF line ends", "10.0.0.1 one\r\n10.0.0.2 two  \r\n\r\n", {"one", "two"}},
        {"no line end after the last line", "10.0.0.1 one\n10.0.0.2 two", {"one", "two"}},
        {"an address without names", "10.0.0.1\n10.0.0.2 two\n", {"two"}},
        {"IPv6 lines count too", "::1 ip6-localhost ip6-loopback\n", {"ip6-localhost", "ip6-loopback"}},
        {"a comment right after the name", "10.0.0.1 one#two\n", {"one"}},
        {"only comments", "# nothing\n#\n", {}},
        {"empty file", "", {}},
    };
    test::TempDir dir;
    PollLoop loop;
    for (const auto& c : cases) {
        std::ofstream(dir / "hosts", std::ios::binary | std::ios::trunc) << c.text;
        Socket socket(loop);
        socket.set_hosts_file((dir / "hosts").string());
        EXPECT_EQ(all_names(socket), c.names) << c.what;
        EXPECT_EQ(socket.next_host_name(), "") << c.what << ": stays empty after the last";
        EXPECT_EQ(socket.last_error(), 0) << c.what;
    }
}

TEST(HostsFile, FirstStartsOverAndReadsTheFileAgain) {
    test::TempDir dir;
    std::ofstream(dir / "hosts") << "10.0.0.1 one two\n";
    PollLoop loop;
    Socket socket(loop);
    socket.set_hosts_file((dir / "hosts").string());
    EXPECT_EQ(socket.first_host_name(), "one");
    std::ofstream(dir / "hosts", std::ios::app) << "10.0.0.3 three\n";
    EXPECT_EQ(socket.next_host_name(), "two");
    EXPECT_EQ(socket.next_host_name(), "");
    EXPECT_EQ(all_names(socket), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(HostsFile, MissingOrUnsetFileGivesNoNames) {
    test::TempDir dir;
    PollLoop loop;
    Socket missing(loop);
    missing.set_hosts_file((dir / "no-such-file").string());
    EXPECT_EQ(missing.first_host_name(), "");
    EXPECT_EQ(missing.next_host_name(), "");
    EXPECT_EQ(missing.last_error(), ENOENT);

    Socket unset(loop);
    EXPECT_EQ(unset.first_host_name(), "");
    EXPECT_EQ(unset.next_host_name(), "");
    EXPECT_EQ(unset.last_error(), 0);
}

}  // namespace
}  // namespace vask

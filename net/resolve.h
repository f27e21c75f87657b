#pragma once
// Turning the texts a caller gives a socket into IPv4 addresses and ports.
// Addresses are kept in network byte order, as in sockaddr_in.
#include <cstdint>
#include <string>

namespace vask::net {

// A dotted IPv4 address, exactly four decimal parts ("10.0.0.5").
bool parse_dotted(const std::string& text, std::uint32_t& address);
std::string format_dotted(std::uint32_t address);

// A host name or dotted address. A name is looked up in hosts_file first (when
// not empty; names compared without letter case), then by the system resolver
// (getaddrinfo, IPv4 only; this waits for the resolver). Returns 0 or an errno
// value: EINVAL for an empty text, EHOSTUNREACH for a name that does not
// resolve, EAGAIN when the resolver could not answer now.
int resolve_ipv4(const std::string& host, const std::string& hosts_file, std::uint32_t& address);

// A TCP port written as a decimal number (1 to 65535) or as a service name
// known to the system ("ftp", "http"). Returns 0 or EINVAL.
int parse_service(const std::string& text, int& port);

// The FTP PORT argument: the four bytes of the address, then the port's high
// and low byte, as decimal numbers joined by commas ("127,0,0,1,4,1").
std::string format_data_port(std::uint32_t address, int port);

}  // namespace vask::net

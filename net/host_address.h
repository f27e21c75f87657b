#pragma once
// This host's own IPv4 address, for a socket that is not connected.
#include <string>

namespace vask {

// The source address the routing table would give a connection to the
// outside (found with an unconnected UDP socket, which sends nothing); the
// loopback address "127.0.0.1" when the host has no route out.
std::string host_ipv4_address();

}  // namespace vask

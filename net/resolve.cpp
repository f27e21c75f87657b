#include "net/resolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net/hosts_file.h"

namespace vask::net {

bool parse_dotted(const std::string& text, std::uint32_t& address) {
    // inet_pton takes exactly the four-part decimal form, unlike inet_aton,
    // which would also read "127.1" or hexadecimal parts.
    in_addr parsed{};
    if (text.empty() || ::inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
    address = parsed.s_addr;
    return true;
}

std::string format_dotted(std::uint32_t address) {
    in_addr value{};
    value.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

namespace {

bool lookup_hosts_file(const std::string& path, const std::string& host, std::uint32_t& address) {
    std::vector<HostsEntry> entries;
    if (read_hosts_file(path, entries) != 0) return false;
    for (const auto& entry : entries) {
        std::uint32_t candidate = 0;
        if (!parse_dotted(entry.address, candidate)) continue;  // IPv6 lines and typos
        for (const auto& name : entry.names)
            if (::strcasecmp(name.c_str(), host.c_str()) == 0) {
                address = candidate;
                return true;
            }
    }
    return false;
}

}  // namespace

int resolve_ipv4(const std::string& host, const std::string& hosts_file, std::uint32_t& address) {
    if (host.empty() || host.find('\0') != std::string::npos) return EINVAL;
    if (parse_dotted(host, address)) return 0;
    if (!hosts_file.empty() && lookup_hosts_file(hosts_file, host, address)) return 0;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        switch (status) {
            case EAI_AGAIN: return EAGAIN;
            case EAI_MEMORY: return ENOMEM;
            case EAI_SYSTEM: return errno != 0 ? errno : EHOSTUNREACH;
            default: return EHOSTUNREACH;
        }
    }
    int result = EHOSTUNREACH;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
        address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        result = 0;
        break;
    }
    ::freeaddrinfo(found);
    return result;
}

int parse_service(const std::string& text, int& port) {
    if (text.empty()) return EINVAL;
    bool digits = true;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (digits) {
        long value = 0;
        for (char c : text) {
            value = value * 10 + (c - '0');
            if (value > 65535) return EINVAL;
        }
        if (value < 1) return EINVAL;
        port = int(value);
        return 0;
    }
    servent entry{};
    servent* found = nullptr;
    char scratch[1024];
    if (::getservbyname_r(text.c_str(), "tcp", &entry, scratch, sizeof scratch, &found) != 0 ||
        !found)
        return EINVAL;
    port = ntohs(static_cast<std::uint16_t>(found->s_port));
    return port >= 1 ? 0 : EINVAL;
}

std::string format_data_port(std::uint32_t address, int port) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);  // network order
    std::string text;
    for (int i = 0; i < 4; ++i) text += std::to_string(bytes[i]) + ",";
    text += std::to_string((port >> 8) & 0xff) + "," + std::to_string(port & 0xff);
    return text;
}

}  // namespace vask::net

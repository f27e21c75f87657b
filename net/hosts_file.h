#pragma once
// Reading a hosts file in the hosts(5) layout: on each line an address, then
// one or more names for it; "#" starts a comment that runs to the end of the
// line; blank lines are skipped. Files written on Windows (CR LF) read the same.
#include <string>
#include <vector>

namespace vask::net {

struct HostsEntry {
    std::string address;             // as written, not checked
    std::vector<std::string> names;  // the canonical name first, then aliases
};

// Every line that holds an address. Returns 0, or the errno of opening or
// reading the file (entries is then empty).
int read_hosts_file(const std::string& path, std::vector<HostsEntry>& entries);

// Every name of the file in file order, aliases included, with repeats.
int read_hosts_names(const std::string& path, std::vector<std::string>& names);

}  // namespace vask::net

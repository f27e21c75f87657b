#include "net/hosts_file.h"

#include <cerrno>
#include <fstream>

namespace vask::net {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    const size_t end = line.find('#');
    const size_t limit = end == std::string::npos ? line.size() : end;
    while (i < limit) {
        while (i < limit && is_blank(line[i])) ++i;
        size_t start = i;
        while (i < limit && !is_blank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

}  // namespace

int read_hosts_file(const std::string& path, std::vector<HostsEntry>& entries) {
    entries.clear();
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return errno != 0 ? errno : ENOENT;
    std::string line;
    while (std::getline(in, line)) {
        auto words = split_words(line);
        if (words.empty()) continue;
        HostsEntry entry;
        entry.address = std::move(words.front());
        entry.names.assign(std::make_move_iterator(words.begin() + 1),
                           std::make_move_iterator(words.end()));
        entries.push_back(std::move(entry));
    }
    if (in.bad()) {
        entries.clear();
        return EIO;
    }
    return 0;
}

int read_hosts_names(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    std::vector<HostsEntry> entries;
    int error = read_hosts_file(path, entries);
    for (auto& entry : entries)
        for (auto& name : entry.names) names.push_back(std::move(name));
    return error;
}

}  // namespace vask::net

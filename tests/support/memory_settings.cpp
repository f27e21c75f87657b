#include "support/memory_settings.h"

#include <strings.h>

namespace vask::test {

std::string MemorySettings::ReadSetting(const std::string& key, const std::string& default_value) {
    for (const auto& [stored, value] : values)
        if (strcasecmp(stored.c_str(), key.c_str()) == 0) return value;
    return default_value;
}

void MemorySettings::WriteSetting(const std::string& key, const std::string& value) {
    writes.emplace_back(key, value);
    for (auto& [stored, old] : values)
        if (strcasecmp(stored.c_str(), key.c_str()) == 0) {
            old = value;
            return;
        }
    values[key] = value;
}

std::vector<std::string> MemorySettings::written_keys() const {
    std::vector<std::string> keys;
    for (const auto& write : writes) keys.push_back(write.first);
    return keys;
}

}  // namespace vask::test

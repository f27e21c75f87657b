#pragma once
// Settings held in memory, with every write recorded in order, so tests can
// say exactly what the program stored.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

namespace vask::test {

class MemorySettings : public Settings {
public:
    std::map<std::string, std::string> values;  // keys as the test spells them
    std::vector<std::pair<std::string, std::string>> writes;

    std::string ReadSetting(const std::string& key, const std::string& default_value) override;
    void WriteSetting(const std::string& key, const std::string& value) override;
    std::vector<std::string> written_keys() const;
};

}  // namespace vask::test

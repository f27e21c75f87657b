#pragma once
// The per-user settings: text values by key, section "Startup" of
// application "VASK". Keys are compared without letter case.
#include <string>

namespace vask {

class Settings {
public:
    virtual ~Settings() = default;
    // The stored text of key, or default_value when it is absent.
    virtual std::string ReadSetting(const std::string& key, const std::string& default_value) = 0;
    // Stores the value; a failure is ignored, as every caller wants.
    virtual void WriteSetting(const std::string& key, const std::string& value) = 0;
};

}  // namespace vask

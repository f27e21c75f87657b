#pragma once
// Runs a test inside a folder of its own: the program looks for its files
// in the current folder.
#include <unistd.h>

#include <filesystem>

namespace vask::test {

class CurrentDir {
public:
    explicit CurrentDir(const std::filesystem::path& path) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~CurrentDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace vask::test

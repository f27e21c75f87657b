#pragma once
// Runs a program as a child process and collects what it printed; a child
// still running after the time limit is killed (by its pid) and reported.
#include <map>
#include <string>
#include <vector>

namespace vask::test {

struct ChildResult {
    bool exited = false;  // ended by itself (not killed, not a signal)
    int status = -1;      // its exit status when exited
    bool killed_at_limit = false;
    std::string out;
    std::string err;
};

ChildResult run_child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                      const std::string& cwd, int limit_ms = 60000);

// How many different colours a PNG holds (0 when it cannot be read), and its size.
struct PictureFacts {
    int width = 0;
    int height = 0;
    int colours = 0;
};
PictureFacts picture_facts(const std::string& png_path);

}  // namespace vask::test

#pragma once
// A whole file as bytes, and back: what tests compare against.
#include <filesystem>
#include <string>
#include <string_view>

namespace vask::test {

// The file's bytes; "" when it cannot be read.
std::string read_bytes(const std::filesystem::path& path);
// Replaces the file with exactly these bytes.
void write_bytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vask::test

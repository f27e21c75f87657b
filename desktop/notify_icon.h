#pragma once
// The record of the notification-area icon: the fields the program fills
// before each request, in the layout the desktop's icon call takes.
#include <array>
#include <cstdint>
#include <string>

namespace vask {

enum class NotifyIconMessage : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

struct NotifyIconRecord {
    static constexpr std::uint32_t kSize = 88;
    static constexpr size_t kTipBytes = 64;

    std::uint32_t size = 0;
    std::uint32_t window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callback_message = 0;
    std::uint32_t icon = 0;
    std::array<char, kTipBytes> tip{};

    // The tip as text: up to its first NUL.
    std::string tip_text() const;
    // text + NUL, the rest blanks; a longer text is cut to 64 bytes.
    void set_tip(const std::string& text);
};

}  // namespace vask

#pragma once
// The desktop services without a display: every call is recorded as a line of
// text, dialogs are answered from a script the test sets up, and nothing
// touches this machine's clock, clipboard, sound or tray.
#include <deque>
#include <string>
#include <vector>

#include "desktop/desktop.h"

namespace vask {

class HeadlessDesktop : public Desktop {
public:
    // What a test sets up.
    std::deque<MessageAnswer> message_answers;  // when empty: the default button
    std::deque<std::string> input_answers;      // when empty: cancelled ("")
    std::deque<std::string> menu_choices;       // item names; "" closes the menu
    bool has_notification_area = true;
    ScreenSize screen{1024 * 15, 768 * 15};
    SystemTime fixed_now{};                     // epoch: the real time
    std::uint64_t physical_memory = 512ull << 20;
    bool clock_settable = true;

    // What a test reads back.
    std::vector<std::string> calls;  // every call, one line each, in order
    std::vector<MessageBoxRequest> message_boxes;
    std::string clipboard;
    bool busy = false;
    bool in_task_list = true;
    bool icon_present = false;
    NotifyIconRecord icon;
    int ended_with = -1;  // status given to end_program, or -1

    MessageAnswer message_box(const MessageBoxRequest& request) override;
    std::string input_box(const std::string& prompt, const std::string& title,
                          const std::string& default_text) override;
    void clipboard_clear() override;
    void clipboard_set_text(const std::string& text) override;
    void beep() override;
    void set_busy_pointer(bool busy) override;
    ScreenSize screen_size() override;
    void remove_from_task_list() override;
    bool notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void popup_menu(Menu& menu) override;
    void play_sound(const std::string& path) override;
    bool set_system_clock(SystemTime time, std::string& error) override;
    std::uint64_t total_physical_memory() override;
    bool start_program(const std::vector<std::string>& argv) override;
    SystemTime now() override;
    std::string time_text(SystemTime time) override;
    std::string long_date_text(SystemTime time) override;
    void end_program(int status) override;

    // How many recorded calls start with the prefix.
    int count(const std::string& prefix) const;
};

}  // namespace vask

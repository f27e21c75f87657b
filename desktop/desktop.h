#pragma once
// Everything the platform does for the program, behind one interface: the
// desktop program implements it on Qt, the tests with HeadlessDesktop.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/notify_icon.h"

namespace vask {

class Menu;

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string text;
    std::string title;  // "Vask" where the caller names none
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    int default_button = 0;  // 0 the first button, 1 the second, ...
};

struct ScreenSize {
    int width_twips = 0;
    int height_twips = 0;
};

using SystemTime = std::chrono::system_clock::time_point;

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual MessageAnswer message_box(const MessageBoxRequest& request) = 0;
    // The text entered, or empty when cancelled (as the input box reports it).
    virtual std::string input_box(const std::string& prompt, const std::string& title,
                                  const std::string& default_text) = 0;

    virtual void clipboard_clear() = 0;
    virtual void clipboard_set_text(const std::string& text) = 0;
    virtual void beep() = 0;
    virtual void set_busy_pointer(bool busy) = 0;
    virtual ScreenSize screen_size() = 0;
    virtual void remove_from_task_list() = 0;

    // The notification-area icon; false when the request was refused.
    virtual bool notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) = 0;
    // Opens the menu at the mouse position; returns when it has closed, after
    // running the chosen item's click handler.
    virtual void popup_menu(Menu& menu) = 0;

    // Plays a sound file once, without waiting; silence when it cannot.
    virtual void play_sound(const std::string& path) = 0;
    // Sets the computer's clock; false with a reason when refused.
    virtual bool set_system_clock(SystemTime time, std::string& error) = 0;
    virtual std::uint64_t total_physical_memory() = 0;
    // Starts a program from its argument vector, never through a shell.
    virtual bool start_program(const std::vector<std::string>& argv) = 0;

    virtual SystemTime now() = 0;
    // The time and the long date in the user's formats.
    virtual std::string time_text(SystemTime time) = 0;
    virtual std::string long_date_text(SystemTime time) = 0;

    // Ends the process at once with the status (Esc, the end of Exit).
    virtual void end_program(int status) = 0;
};

}  // namespace vask

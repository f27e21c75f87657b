#include "desktop/headless_desktop.h"

#include <algorithm>
#include <ctime>

#include "desktop/controls.h"
#include "desktop/user_time_format.h"

namespace vask {

namespace {

MessageAnswer default_answer(const MessageBoxRequest& request) {
    static const std::vector<MessageAnswer> ok{MessageAnswer::Ok};
    static const std::vector<MessageAnswer> ok_cancel{MessageAnswer::Ok, MessageAnswer::Cancel};
    static const std::vector<MessageAnswer> yes_no{MessageAnswer::Yes, MessageAnswer::No};
    static const std::vector<MessageAnswer> yes_no_cancel{MessageAnswer::Yes, MessageAnswer::No,
                                                          MessageAnswer::Cancel};
    const std::vector<MessageAnswer>* buttons = &ok;
    switch (request.buttons) {
        case MessageButtons::Ok: buttons = &ok; break;
        case MessageButtons::OkCancel: buttons = &ok_cancel; break;
        case MessageButtons::YesNo: buttons = &yes_no; break;
        case MessageButtons::YesNoCancel: buttons = &yes_no_cancel; break;
    }
    size_t index = std::min(size_t(std::max(request.default_button, 0)), buttons->size() - 1);
    return (*buttons)[index];
}

const char* message_name(NotifyIconMessage message) {
    switch (message) {
        case NotifyIconMessage::Add: return "add";
        case NotifyIconMessage::Modify: return "modify";
        case NotifyIconMessage::Delete: return "delete";
    }
    return "?";
}

}  // namespace

MessageAnswer HeadlessDesktop::message_box(const MessageBoxRequest& request) {
    calls.push_back("message_box " + request.title + ": " + request.text);
    message_boxes.push_back(request);
    if (message_answers.empty()) return default_answer(request);
    MessageAnswer answer = message_answers.front();
    message_answers.pop_front();
    return answer;
}

std::string HeadlessDesktop::input_box(const std::string& prompt, const std::string& title,
                                       const std::string& default_text) {
    calls.push_back("input_box " + title + ": " + prompt + " [" + default_text + "]");
    if (input_answers.empty()) return "";
    std::string answer = input_answers.front();
    input_answers.pop_front();
    return answer;
}

void HeadlessDesktop::clipboard_clear() {
    calls.push_back("clipboard_clear");
    clipboard.clear();
}

void HeadlessDesktop::clipboard_set_text(const std::string& text) {
    calls.push_back("clipboard_set_text " + text);
    clipboard = text;
}

void HeadlessDesktop::beep() { calls.push_back("beep"); }

void HeadlessDesktop::set_busy_pointer(bool on) {
    calls.push_back(on ? "busy_pointer on" : "busy_pointer off");
    busy = on;
}

ScreenSize HeadlessDesktop::screen_size() { return screen; }

void HeadlessDesktop::remove_from_task_list() {
    calls.push_back("remove_from_task_list");
    in_task_list = false;
}

bool HeadlessDesktop::notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) {
    calls.push_back(std::string("notify_icon ") + message_name(message) + " " + record.tip_text());
    bool ok = false;
    switch (message) {
        case NotifyIconMessage::Add: ok = has_notification_area && !icon_present; break;
        case NotifyIconMessage::Modify: ok = icon_present; break;
        case NotifyIconMessage::Delete: ok = icon_present; break;
    }
    if (!ok) return false;
    icon_present = message != NotifyIconMessage::Delete;
    if (message != NotifyIconMessage::Delete) icon = record;
    return true;
}

void HeadlessDesktop::popup_menu(Menu& menu) {
    calls.push_back("popup_menu " + menu.name());
    if (menu_choices.empty()) return;
    std::string choice = menu_choices.front();
    menu_choices.pop_front();
    for (Control* item : menu.children())
        if (item->name() == choice && item->enabled() && item->visible()) {
            item->click();
            return;
        }
}

void HeadlessDesktop::play_sound(const std::string& path) { calls.push_back("play_sound " + path); }

bool HeadlessDesktop::set_system_clock(SystemTime time, std::string& error) {
    calls.push_back("set_system_clock " +
                    std::to_string(std::chrono::system_clock::to_time_t(time)));
    if (!clock_settable) error = "Operation not permitted";
    return clock_settable;
}

std::uint64_t HeadlessDesktop::total_physical_memory() { return physical_memory; }

bool HeadlessDesktop::start_program(const std::vector<std::string>& argv) {
    std::string line = "start_program";
    for (const auto& arg : argv) line += " " + arg;
    calls.push_back(line);
    return true;
}

SystemTime HeadlessDesktop::now() {
    return fixed_now == SystemTime{} ? std::chrono::system_clock::now() : fixed_now;
}

std::string HeadlessDesktop::time_text(SystemTime time) { return user_time_text(time); }

std::string HeadlessDesktop::long_date_text(SystemTime time) { return user_long_date_text(time); }

void HeadlessDesktop::end_program(int status) {
    calls.push_back("end_program " + std::to_string(status));
    ended_with = status;
}

int HeadlessDesktop::count(const std::string& prefix) const {
    return int(std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.rfind(prefix, 0) == 0; }));
}

}  // namespace vask

#include "desktop/controls.h"

#include <algorithm>

namespace vask {

namespace {

// Clamps a selection to the text; true when it moved.
bool move_selection(int size, int start, int length, int& sel_start, int& sel_length) {
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (start == sel_start && length == sel_length) return false;
    sel_start = start;
    sel_length = length;
    return true;
}

}  // namespace

void Image::set_picture(const std::string& resource) {
    if (resource == picture_) return;
    picture_ = resource;
    changed(Property::Picture);
}

void Button::set_default(bool is_default) {
    if (is_default == default_) return;
    default_ = is_default;
    changed(Property::Style);
}

void CheckBox::set_value(int value) {
    if (value == value_) return;
    value_ = value;
    changed(Property::Value);
    run(on_click);
}

void OptionButton::set_value(bool value) {
    if (value == value_) return;
    value_ = value;
    changed(Property::Value);
    if (!value) return;
    if (parent())
        for (Control* sibling : parent()->children())
            if (sibling != this && sibling->kind() == ControlKind::OptionButton) {
                auto* other = static_cast<OptionButton*>(sibling);
                if (other->value_) {
                    other->value_ = false;
                    other->changed(Property::Value);
                }
            }
    run(on_click);
}

void TextBox::set_text(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    sel_start_ = int(text_.size());
    sel_length_ = 0;
    changed(Property::Text);
    run(on_change);
}

void TextBox::select(int start, int length) {
    if (move_selection(int(text_.size()), start, length, sel_start_, sel_length_))
        changed(Property::Selection);
}

std::string TextBox::selected_text() const { return text_.substr(size_t(sel_start_), size_t(sel_length_)); }

void TextBox::type(const std::string& keys) {
    for (unsigned char key : keys) type_key(key);
}

void TextBox::type_key(int key_ascii) {
    if (on_key_press) on_key_press(key_ascii);
    if (key_ascii == 0 || locked) return;
    std::string text = text_;
    int start = sel_start_;
    if (key_ascii == 8) {  // backspace: the selection, or the character before the caret
        if (sel_length_ == 0 && start == 0) return;
        if (sel_length_ == 0) --start;
        text.erase(size_t(start), size_t(std::max(sel_length_, 1)));
    } else {
        if (key_ascii < 32 && !(multi_line && (key_ascii == 13 || key_ascii == 10))) return;
        std::string insert = key_ascii == 13 ? std::string("\r\n") : std::string(1, char(key_ascii));
        text.erase(size_t(start), size_t(sel_length_));
        if (max_length > 0 && int(text.size() + insert.size()) > max_length) return;
        text.insert(size_t(start), insert);
        start += int(insert.size());
    }
    if (text == text_) return;
    text_ = text;
    sel_start_ = start;
    sel_length_ = 0;
    changed(Property::Text);
    run(on_change);
}

void ListControl::add_item(const std::string& item) {
    list_.push_back(item);
    changed(Property::List);
}

void ListControl::remove_item(int index) {
    if (index < 0 || index >= int(list_.size())) return;
    list_.erase(list_.begin() + index);
    if (list_index_ == index) list_index_ = -1;
    else if (list_index_ > index) --list_index_;
    changed(Property::List);
}

void ListControl::clear() {
    if (list_.empty() && list_index_ == -1) return;
    list_.clear();
    list_index_ = -1;
    changed(Property::List);
}

void ListBox::set_list_index(int index) {
    if (index < -1 || index >= int(list_.size()) || index == list_index_) return;
    list_index_ = index;
    changed(Property::ListIndex);
    run(on_click);
}

void ComboBox::set_text(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    changed(Property::Text);
    run(on_change);
}

void ComboBox::select(int start, int length) {
    if (move_selection(int(text_.size()), start, length, sel_start_, sel_length_))
        changed(Property::Selection);
}

void ComboBox::type(const std::string& keys) {
    for (unsigned char key : keys) {
        int ascii = key;
        if (on_key_press) on_key_press(ascii);
        if (ascii == 0) continue;
        if (ascii == 8) {
            if (!text_.empty()) set_text(text_.substr(0, text_.size() - 1));
        } else if (ascii >= 32) {
            set_text(text_ + char(ascii));
        }
    }
}

void ComboBox::set_list_index(int index) {
    if (index < -1 || index >= int(list_.size())) return;
    bool moved = index != list_index_;
    list_index_ = index;
    if (index >= 0 && text_ != list_[size_t(index)]) {
        text_ = list_[size_t(index)];
        changed(Property::Text);
    }
    if (!moved) return;
    changed(Property::ListIndex);
    run(on_click);
}

int TabControl::tab_count() const {
    return int(std::count_if(children().begin(), children().end(),
                             [](const Control* c) { return c->kind() == ControlKind::TabPage; }));
}

void TabControl::set_tab(int tab) {
    if (tab == tab_ || tab < 0 || tab >= tab_count()) return;
    int previous = tab_;
    tab_ = tab;
    changed(Property::Tab);
    if (on_tab_change) on_tab_change(previous);
}

void StatusBar::add_panel(const Panel& panel) {
    panels_.push_back(panel);
    changed(Property::Panels);
}

void StatusBar::set_panel_text(int number, const std::string& text) {
    if (number < 1 || number > int(panels_.size())) return;
    Panel& panel = panels_[size_t(number - 1)];
    if (panel.text == text) return;
    panel.text = text;
    changed(Property::Panels);
}

Timer::~Timer() {
    if (timer_id_) loop_.stop_timer(timer_id_);
}

void Timer::set_interval(int interval_ms) {
    if (interval_ms == interval_) return;
    interval_ = interval_ms;
    restart();
}

void Timer::set_enabled(bool enabled) {
    if (enabled == this->enabled()) return;
    Control::set_enabled(enabled);
    restart();
}

void Timer::restart() {
    if (timer_id_) loop_.stop_timer(timer_id_);
    timer_id_ = 0;
    if (!running()) return;
    timer_id_ = loop_.start_timer(interval_, [this] { run(on_timer); });
}

void MenuItem::set_checked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    changed(Property::Value);
}

}  // namespace vask

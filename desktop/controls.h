#pragma once
// The standard controls. Each value setter runs the control's handler exactly
// as a user change would, and only when the value changes.
#include <string>
#include <vector>

#include "desktop/control.h"
#include "desktop/event_loop.h"

namespace vask {

class Label : public Control {
public:
    enum class Align { Left, Right, Center };
    Label(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::Label, std::move(name), parent, index) {}
    Align alignment = Align::Left;
    bool border = false;
};

class Frame : public Control {
public:
    Frame(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::Frame, std::move(name), parent, index) {}
    bool border = true;  // false: a borderless panel that only groups controls
};

class Image : public Control {
public:
    Image(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::Image, std::move(name), parent, index) {}
    const std::string& picture() const { return picture_; }
    void set_picture(const std::string& resource);
    bool stretch = false;

private:
    std::string picture_;
};

class Button : public Control {
public:
    Button(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::Button, std::move(name), parent, index) {}
    bool is_default() const { return default_; }
    void set_default(bool is_default);

private:
    bool default_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::CheckBox, std::move(name), parent, index) {}
    int value() const { return value_; }  // 0 clear, 1 checked, 2 grey
    bool checked() const { return value_ == 1; }
    // Runs on_click when the value changes.
    void set_value(int value);
    // What a user's click does: toggles, then on_click.
    void user_click() { set_value(value_ == 1 ? 0 : 1); }

private:
    int value_ = 0;
};

class OptionButton : public Control {
public:
    OptionButton(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::OptionButton, std::move(name), parent, index) {}
    bool value() const { return value_; }
    // Setting true clears the other option buttons of the same container and
    // runs on_click; setting false runs nothing.
    void set_value(bool value);

private:
    bool value_ = false;
};

class TextBox : public Control {
public:
    TextBox(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::TextBox, std::move(name), parent, index) {}
    const std::string& text() const { return text_; }
    // Runs on_change when the text changes; the caret goes to the end.
    void set_text(const std::string& text);
    std::function<void()> on_change;

    // Typing, as the user does it: key_press may swallow the key; a printable
    // key replaces the selection, backspace (8) deletes; then on_change.
    void type(const std::string& keys);
    void type_key(int key_ascii);

    int sel_start() const { return sel_start_; }
    int sel_length() const { return sel_length_; }
    void select(int start, int length);
    std::string selected_text() const;

    bool multi_line = false;
    bool locked = false;        // read-only
    char password_char = 0;     // 0: shown as typed
    int max_length = 0;         // 0: no limit
    enum class ScrollBars { None, Horizontal, Vertical, Both } scroll_bars = ScrollBars::None;
    enum class Align { Left, Right, Center } alignment = Align::Left;  // of the text
    bool tab_stop = true;       // false: the Tab key passes the box by

private:
    std::string text_;
    int sel_start_ = 0;
    int sel_length_ = 0;
};

class ListControl : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& list() const { return list_; }
    int list_count() const { return int(list_.size()); }
    int list_index() const { return list_index_; }
    void add_item(const std::string& item);
    void remove_item(int index);
    void clear();

protected:
    std::vector<std::string> list_;
    int list_index_ = -1;
};

class ListBox : public ListControl {
public:
    ListBox(std::string name, Control* parent, int index = -1)
        : ListControl(ControlKind::ListBox, std::move(name), parent, index) {}
    // Runs on_click when the selection changes.
    void set_list_index(int index);
    std::string text() const { return list_index_ >= 0 ? list_[list_index_] : std::string(); }
};

class ComboBox : public ListControl {
public:
    enum class Style { DropDownCombo, SimpleCombo, DropDownList };
    ComboBox(std::string name, Control* parent, int index = -1)
        : ListControl(ControlKind::ComboBox, std::move(name), parent, index) {}
    Style style = Style::DropDownCombo;
    const std::string& text() const { return text_; }
    // Editing the text runs on_change.
    void set_text(const std::string& text);
    void type(const std::string& keys);
    // Choosing a list entry puts it in the text and runs on_click, not on_change.
    void set_list_index(int index);
    std::function<void()> on_change;

    int sel_start() const { return sel_start_; }
    int sel_length() const { return sel_length_; }
    void select(int start, int length);

private:
    std::string text_;
    int sel_start_ = 0;
    int sel_length_ = 0;
};

class TabControl : public Control {
public:
    TabControl(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::TabControl, std::move(name), parent, index) {}
    int tab() const { return tab_; }
    int tab_count() const;
    // Selecting another page runs on_tab_change with the previous index.
    void set_tab(int tab);
    std::function<void(int previous_tab)> on_tab_change;

private:
    int tab_ = 0;
};

// One page of a tab control; its children are the page's controls.
class TabPage : public Control {
public:
    TabPage(std::string name, Control* parent, int index)
        : Control(ControlKind::TabPage, std::move(name), parent, index) {}
};

class StatusBar : public Control {
public:
    struct Panel {
        enum class Align { Left, Center, Right } alignment = Align::Left;
        enum class Style { Text, Time } style = Style::Text;
        int width = 1440;
        int min_width = 1440;
        bool spring = false;  // takes the remaining width
        std::string text;
    };
    StatusBar(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::StatusBar, std::move(name), parent, index) {}
    void add_panel(const Panel& panel);
    int panel_count() const { return int(panels_.size()); }
    // Panels are numbered from 1, as the status bar numbers them.
    const Panel& panel(int number) const { return panels_.at(size_t(number - 1)); }
    void set_panel_text(int number, const std::string& text);

private:
    std::vector<Panel> panels_;
};

class Timer : public Control {
public:
    Timer(std::string name, Control* parent, EventLoop& loop, int index = -1)
        : Control(ControlKind::Timer, std::move(name), parent, index), loop_(loop) {
        set_visible(false);
    }
    ~Timer() override;
    int interval() const { return interval_; }
    void set_interval(int interval_ms);  // 0 stops it
    bool running() const { return enabled() && interval_ > 0; }
    // Disabling stops it; enabling a stopped timer starts its interval anew.
    void set_enabled(bool enabled) override;
    std::function<void()> on_timer;

private:
    void restart();
    EventLoop& loop_;
    int interval_ = 0;
    EventLoop::Id timer_id_ = 0;
};

class MenuItem : public Control {
public:
    MenuItem(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::MenuItem, std::move(name), parent, index) {}
    bool checked() const { return checked_; }
    void set_checked(bool checked);

private:
    bool checked_ = false;
};

class Menu : public Control {
public:
    Menu(std::string name, Control* parent, int index = -1)
        : Control(ControlKind::Menu, std::move(name), parent, index) {}
};

}  // namespace vask

#pragma once
// The small vocabulary the window's controls are declared in. add() creates
// one control on the form inside its parent at its place; the chained calls
// give it its design-time state. Nothing here sets a handler.
#include <concepts>
#include <string>

#include "app/window_controls.h"
#include "desktop/controls.h"
#include "desktop/event_loop.h"
#include "desktop/form.h"

namespace vask::pages {

inline const Font kArial9{"Arial", 9.0};
inline const Font kArialBold{"Arial", 7.8, true};

// Colours as 0x00BBGGRR.
constexpr int kWhite = 0x00FFFFFF;
constexpr int kLightGrey = 0x00C0C0C0;
constexpr int kBlue = 0x00FF0000;

// The program icon: the window's icon and the picture on the pages.
inline constexpr const char* kProgramIcon = "vask.png";

template <class T>
class Declared {
public:
    explicit Declared(T& control) : c_(control) {}
    operator T*() const { return &c_; }
    T& operator*() const { return c_; }

    Declared& caption(const std::string& caption) {
        c_.set_caption(caption);
        return *this;
    }
    Declared& hidden() {
        c_.set_visible(false);
        return *this;
    }
    Declared& disabled() {
        c_.set_enabled(false);
        return *this;
    }
    Declared& font(const Font& font) {
        c_.set_font(font);
        return *this;
    }
    Declared& colors(int fore, int back) {
        c_.set_colors(fore, back);
        return *this;
    }

    Declared& text(const std::string& text)
        requires(std::same_as<T, TextBox> || std::same_as<T, ComboBox>)
    {
        c_.set_text(text);
        return *this;
    }
    Declared& style(ComboBox::Style style)
        requires std::same_as<T, ComboBox>
    {
        c_.style = style;
        return *this;
    }

    Declared& max_length(int length) requires std::same_as<T, TextBox>
    {
        c_.max_length = length;
        return *this;
    }
    Declared& read_only() requires std::same_as<T, TextBox>
    {
        c_.locked = true;
        return *this;
    }
    Declared& password(char shown_as) requires std::same_as<T, TextBox>
    {
        c_.password_char = shown_as;
        return *this;
    }
    Declared& no_tab_stop() requires std::same_as<T, TextBox>
    {
        c_.tab_stop = false;
        return *this;
    }
    Declared& align(TextBox::Align alignment) requires std::same_as<T, TextBox>
    {
        c_.alignment = alignment;
        return *this;
    }
    Declared& multi_line() requires std::same_as<T, TextBox>
    {
        c_.multi_line = true;
        return *this;
    }
    Declared& vertical_scroll_bar() requires std::same_as<T, TextBox>
    {
        c_.scroll_bars = TextBox::ScrollBars::Vertical;
        return *this;
    }

    Declared& align(Label::Align alignment) requires std::same_as<T, Label>
    {
        c_.alignment = alignment;
        return *this;
    }

    // A frame drawn without a border: a plain panel that groups controls.
    Declared& borderless() requires std::same_as<T, Frame>
    {
        c_.border = false;
        return *this;
    }

    Declared& checked() requires std::same_as<T, CheckBox>
    {
        c_.set_value(1);
        return *this;
    }
    Declared& selected() requires std::same_as<T, OptionButton>
    {
        c_.set_value(true);
        return *this;
    }

    Declared& picture(const std::string& resource) requires std::same_as<T, Image>
    {
        c_.set_picture(resource);
        c_.stretch = true;
        return *this;
    }

private:
    T& c_;
};

class Declare {
public:
    Declare(Form& form, EventLoop& loop) : form_(form), loop_(loop) {}

    Form& form() const { return form_; }

    template <class T>
    Declared<T> add(const std::string& name, Control& parent, const Geometry& place, int index = -1) {
        T& control = form_.add<T>(name, &parent, index);
        control.set_geometry(place);
        return Declared<T>(control);
    }

    // A timer with its interval, running only when enabled says so. It is
    // disabled before the interval is set, so it never starts on the way.
    Declared<Timer> timer(const std::string& name, Control& parent, int interval_ms, bool enabled) {
        Timer& timer = form_.add<Timer>(name, &parent, loop_);
        timer.set_enabled(false);
        timer.set_interval(interval_ms);
        timer.set_enabled(enabled);
        return Declared<Timer>(timer);
    }

private:
    Form& form_;
    EventLoop& loop_;
};

// One function per tab page, each declaring the page's controls into w.
void vask_page(Declare& d, TabPage& page, WindowControls& w);
void kelu_page(Declare& d, TabPage& page, WindowControls& w);
void chat_page(Declare& d, TabPage& page, WindowControls& w);
void alive_page(Declare& d, TabPage& page, WindowControls& w);
void http_page(Declare& d, TabPage& page, WindowControls& w);
void about_page(Declare& d, TabPage& page, WindowControls& w);

}  // namespace vask::pages

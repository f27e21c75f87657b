#pragma once
// The base of every control of the window. The rule the whole program leans
// on lives in the value-bearing controls: setting a value from code runs the
// same handler as a user change, and only when the value actually changes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vask {

enum class ControlKind {
    Form, TabControl, TabPage, Frame, Label, Button, CheckBox, OptionButton,
    TextBox, ComboBox, ListBox, Image, Timer, StatusBar, Menu, MenuItem,
};

// What changed on a control, for the front end that draws it.
enum class Property {
    Caption, Text, Value, Enabled, Visible, Geometry, Font, Colors, List, ListIndex,
    Selection, Tab, Panels, Picture, Style,
};

// Positions and sizes in twips (15 twips a pixel), relative to the parent.
struct Geometry {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};

struct Font {
    std::string name = "Arial";
    double size = 7.8;
    bool bold = false, italic = false, underline = false;
    bool operator==(const Font&) const = default;
};

constexpr int kTwipsPerPixel = 15;
constexpr int kDefaultColor = -1;  // the control's standard colour

class Control {
public:
    using Observer = std::function<void(Control&, Property)>;

    Control(ControlKind kind, std::string name, Control* parent, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }  // element of a control array, or -1
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }

    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& caption);
    bool enabled() const { return enabled_; }
    virtual void set_enabled(bool enabled);
    bool visible() const { return visible_; }
    void set_visible(bool visible);
    const Geometry& geometry() const { return geometry_; }
    void set_geometry(const Geometry& geometry);
    const Font* font() const { return font_.get(); }  // null: the parent's font
    void set_font(const Font& font);
    const Font& effective_font() const;
    int fore_color() const { return fore_color_; }
    int back_color() const { return back_color_; }
    void set_colors(int fore, int back);
    std::string tool_tip;

    // Handlers; any may be empty.
    std::function<void()> on_click;
    std::function<void()> on_dbl_click;
    std::function<void()> on_got_focus;
    std::function<void(int& key_code, int shift)> on_key_down;  // key_code := 0 swallows
    std::function<void(int& key_ascii)> on_key_press;           // key_ascii := 0 swallows

    void click();
    void dbl_click();
    void got_focus();

    // The front end watches the whole tree through the form's observer.
    void set_observer(Observer observer) { observer_ = std::move(observer); }

protected:
    void changed(Property what);
    static void run(const std::function<void()>& handler) {
        if (handler) handler();
    }

private:
    friend class Form;
    ControlKind kind_;
    std::string name_;
    Control* parent_;
    int index_;
    std::vector<Control*> children_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    Geometry geometry_;
    std::unique_ptr<Font> font_;
    int fore_color_ = kDefaultColor;
    int back_color_ = kDefaultColor;
    Observer observer_;
};

}  // namespace vask

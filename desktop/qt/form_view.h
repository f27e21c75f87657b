#pragma once
// The form drawn as Qt widgets: one widget per control of the tree, kept in
// step with it through the form's observer, and the user's input fed into the
// controls' own handlers. The widgets hold no rule of their own: what a click
// or a key does is decided by the control and its handlers; the widget then
// shows what the control holds.
//
// Typing in a text box: a printable ASCII key, Backspace and Enter go through
// TextBox::type_key, the same path the headless tests drive (key-press
// handler, which may swallow or replace the key, read-only and length rules,
// CR LF line ends); the widget then shows the control's new text and caret.
// What type_key cannot express (other characters, paste, cut, Delete, undo,
// input methods) is done by the widget and its result given to the control
// with set_text, after the key-press handler has seen the key where there was
// one; the caret and selection are given back with select().
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/controls.h"
#include "desktop/desktop.h"
#include "desktop/form.h"

class QKeyEvent;
class QTimer;

namespace vask {

class FormView : public QObject {
    Q_OBJECT
public:
    // Builds the widgets and attaches to the form's observer. The desktop
    // gives the time shown in time panels.
    FormView(Form& form, Desktop& desktop);
    ~FormView() override;

    QWidget* window() const { return window_; }
    // The widget drawing the control (for a tab page: the page), or null.
    // A page not built yet is built for the asking.
    QWidget* widget(const Control& control);
    QWidget* widget(const std::string& name, int index = -1);
    Control* control(const QObject* widget) const;

    // Runs once the form has been unloaded (its window closed for good).
    std::function<void()> on_unloaded;
    // Runs once, after the window has been shown and painted for the first time.
    std::function<void()> on_first_shown;

    // The close box: the form's close (query-unload, unload), nothing else.
    void close_requested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding;

    // Building.
    QWidget* build(Control& control, QWidget* parent);
    void build_children(Control& control, QWidget* parent);
    QWidget* container_for(Control& control) const;  // where the control's children go
    Binding* ensure(Control& control);
    // Pages other than the one shown at first are built after the window's
    // first drawing, or when they are selected or asked for, whichever is first.
    bool in_unbuilt_page(const Control& control) const;
    void build_page(Control& page);
    void build_pages_later();
    Control* page_at(TabControl& tabs, int index) const;
    void bind(Control& control, QWidget* widget, QWidget* focus_target = nullptr);

    // Model to widgets.
    void changed(Control& control, Property what);
    void apply_all(Control& control);
    void apply_caption(Control& control);
    void apply_text(Control& control);
    void apply_selection(Control& control);
    void apply_value(Control& control);
    void apply_list(Control& control);
    void apply_geometry(Control& control);
    void apply_font(Control& control);
    void apply_colors(Control& control);
    void apply_visible(Control& control);
    void apply_enabled(Control& control);
    void apply_panels(StatusBar& bar);
    void apply_picture(Image& image);
    void apply_style(Control& control);
    void apply_form_visible();
    void update_time_panels();

    // Widgets to model.
    void text_edited(TextBox& box);
    void selection_moved(TextBox& box);
    bool key_down(QKeyEvent* event, Control* focus);
    bool key_press(QKeyEvent* event, Control& focus);
    bool text_box_key(QKeyEvent* event, TextBox& box);
    bool combo_box_key(QKeyEvent* event, ComboBox& box);
    bool mouse(QObject* watched, QEvent* event, Control& control);
    void push_selection_to_model(TextBox& box);

    Form& form_;
    Desktop& desktop_;
    QWidget* window_ = nullptr;
    std::unordered_map<const Control*, Binding> bindings_;
    std::unordered_map<const QObject*, Control*> controls_;  // widgets (and their inner parts)
    std::vector<StatusBar*> time_bars_;
    QTimer* clock_ = nullptr;
    int applying_ = 0;  // >0 while the widgets are being set from the model
    bool painted_ = false;
    bool shown_before_ = false;
    bool skip_click_after_double_ = false;
};

}  // namespace vask

#pragma once
// A top-level window: it owns every control declared on it and finds them by
// name. Its caption is the window title.
#include <memory>
#include <string>
#include <vector>

#include "desktop/control.h"

namespace vask {

class Form : public Control {
public:
    enum class WindowState { Normal, Minimized, Maximized };

    explicit Form(std::string name) : Control(ControlKind::Form, std::move(name), nullptr, -1) {
        set_visible(false);
    }

    // Creates a control owned by this form.
    template <class T, class... Args>
    T& add(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *control;
        owned_.push_back(std::move(control));
        return ref;
    }

    // The control of that name (and array index), or null.
    Control* find(const std::string& name, int index = -1) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return owned_; }

    WindowState window_state() const { return window_state_; }
    void set_window_state(WindowState state) { window_state_ = state; }
    int left() const { return left_; }  // twips, on the screen
    int top() const { return top_; }
    void move(int left, int top);
    int client_width = 0;   // twips
    int client_height = 0;
    std::string icon;       // resource name of the window icon

    // Window events.
    std::function<void()> on_load;
    std::function<void()> on_activate;
    std::function<void(int& cancel)> on_query_unload;
    std::function<void()> on_unload;
    std::function<void(int button, int shift, int x_twips, int y_twips)> on_mouse_move;

    // Shows the window; becoming visible activates it (on_activate).
    void show();
    void hide() { set_visible(false); }
    // Closes the window: query-unload (which may cancel), then unload.
    // Returns false when cancelled.
    bool close();
    bool unloaded() const { return unloaded_; }

private:
    std::vector<std::unique_ptr<Control>> owned_;
    WindowState window_state_ = WindowState::Normal;
    int left_ = 0, top_ = 0;
    bool unloaded_ = false;
};

}  // namespace vask

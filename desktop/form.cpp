#include "desktop/form.h"

namespace vask {

Control* Form::find(const std::string& name, int index) const {
    for (const auto& control : owned_)
        if (control->name() == name && control->index() == index) return control.get();
    return nullptr;
}

void Form::move(int left, int top) {
    if (left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    changed(Property::Geometry);
}

void Form::show() {
    if (visible()) return;
    set_visible(true);
    run(on_activate);
}

bool Form::close() {
    if (unloaded_) return true;
    int cancel = 0;
    if (on_query_unload) on_query_unload(cancel);
    if (cancel) return false;
    unloaded_ = true;
    run(on_unload);
    set_visible(false);
    return true;
}

}  // namespace vask

#include "desktop/control.h"

namespace vask {

Control::Control(ControlKind kind, std::string name, Control* parent, int index)
    : kind_(kind), name_(std::move(name)), parent_(parent), index_(index) {
    if (parent_) parent_->children_.push_back(this);
}

void Control::set_caption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    changed(Property::Caption);
}

void Control::set_enabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    changed(Property::Enabled);
}

void Control::set_visible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    changed(Property::Visible);
}

void Control::set_geometry(const Geometry& geometry) {
    if (geometry == geometry_) return;
    geometry_ = geometry;
    changed(Property::Geometry);
}

void Control::set_font(const Font& font) {
    if (font_ && *font_ == font) return;
    font_ = std::make_unique<Font>(font);
    changed(Property::Font);
}

const Font& Control::effective_font() const {
    static const Font window_font;
    for (const Control* c = this; c; c = c->parent_)
        if (c->font_) return *c->font_;
    return window_font;
}

void Control::set_colors(int fore, int back) {
    if (fore == fore_color_ && back == back_color_) return;
    fore_color_ = fore;
    back_color_ = back;
    changed(Property::Colors);
}

void Control::click() { run(on_click); }
void Control::dbl_click() { run(on_dbl_click); }
void Control::got_focus() { run(on_got_focus); }

void Control::changed(Property what) {
    // The observer sits on the root (the form); every control reports there.
    Control* root = this;
    while (root->parent_) root = root->parent_;
    if (root->observer_) root->observer_(*this, what);
}

}  // namespace vask

#include "app/settings_loader.h"

#include <charconv>
#include <exception>
#include <optional>

#include "desktop/controls.h"

namespace vask {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

void assign(Control& control, SettingEncoding encoding, const std::string& value) {
    switch (encoding) {
    case SettingEncoding::Text:
        if (control.kind() == ControlKind::TextBox) static_cast<TextBox&>(control).set_text(value);
        else if (control.kind() == ControlKind::ComboBox) static_cast<ComboBox&>(control).set_text(value);
        break;
    case SettingEncoding::CheckBox:
        if (control.kind() == ControlKind::CheckBox) {
            int state = check_box_state(value);
            if (state >= 0) static_cast<CheckBox&>(control).set_value(state);
        }
        break;
    case SettingEncoding::Caption:
        control.set_caption(value);
        break;
    }
}

// The control's value as the encoding stores it; nothing for a kind it does not fit.
std::optional<std::string> stored_text(const Control& control, SettingEncoding encoding) {
    switch (encoding) {
    case SettingEncoding::Text:
        if (control.kind() == ControlKind::TextBox) return static_cast<const TextBox&>(control).text();
        if (control.kind() == ControlKind::ComboBox) return static_cast<const ComboBox&>(control).text();
        return std::nullopt;
    case SettingEncoding::CheckBox:
        if (control.kind() != ControlKind::CheckBox) return std::nullopt;
        return check_box_text(static_cast<const CheckBox&>(control).value());
    case SettingEncoding::Caption:
        return control.caption();
    }
    return std::nullopt;
}

}  // namespace

void StoreSettingRows(Settings& settings, const Form& form, std::span<const SettingKey> rows) {
    for (const SettingKey& row : rows) {
        const Control* control = form.find(std::string(row.control), row.index);
        if (!control) continue;
        if (auto text = stored_text(*control, row.encoding)) settings.WriteSetting(std::string(row.key), *text);
    }
}

void LoadSettingRows(Settings& settings, Form& form, std::span<const SettingKey> rows) {
    for (const SettingKey& row : rows) {
        // A failing value is skipped; the rest still load.
        try {
            Control* control = form.find(std::string(row.control), row.index);
            if (!control) continue;
            assign(*control, row.encoding,
                   settings.ReadSetting(std::string(row.key), std::string(row.default_value)));
        } catch (const std::exception&) {
        }
    }
}

void LoadSettingsGroup(Settings& settings, Form& form, SettingsGroup group) {
    switch (group) {
    case SettingsGroup::A:
    case SettingsGroup::C:
        LoadSettingRows(settings, form, setting_keys(group));
        break;
    case SettingsGroup::B:
        LoadSettingRows(settings, form, friend_and_chat_option_keys());
        break;
    case SettingsGroup::D:
        break;
    }
}

void LoadFriendButtons(Settings& settings, Form& form) {
    LoadSettingRows(settings, form, friend_button_keys());
}

std::string check_box_text(int value) { return std::to_string(value); }

int check_box_state(std::string_view stored) {
    std::string_view text = trimmed(stored);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return -1;
    return value >= 0 && value <= 2 ? value : -1;
}

std::string trim_blanks(std::string_view text) { return std::string(trimmed(text)); }

void WriteTrimmedSetting(Settings& settings, const std::string& key, std::string_view text) {
    settings.WriteSetting(key, trim_blanks(text));
}

}  // namespace vask

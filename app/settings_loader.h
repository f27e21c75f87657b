#pragma once
// Loading stored settings into the window's controls, and the helpers the
// writers use to encode a control's value.
//
// Each row is read with its default and assigned through the control's own
// setter, so the control's change or click handler runs when the value
// differs from what it holds. A control the form lacks, or of a kind the
// encoding does not fit, is skipped; so is a row whose assignment throws.
//
// Check boxes: the stored text, without blanks at either end, must be a
// whole decimal number. 0, 1 and 2 (grey) are assigned; empty text, a word,
// or any other number leaves the box as it is, since a box has no such state.
#include <span>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/settings_keys.h"
#include "desktop/form.h"

namespace vask {

// The start-up steps:
//   step 6:  LoadSettingsGroup(settings, form, SettingsGroup::A)
//   step 8:  LoadFriendButtons(settings, form)
//   step 9:  LoadSettingsGroup(settings, form, SettingsGroup::B)
//   step 12: LoadSettingsGroup(settings, form, SettingsGroup::C)
// Group B here means its rows after the friend buttons, "KeluClipboard" to
// "chatTimeout"; the buttons are loaded apart, one step earlier. Group D is
// read per friend (ReadFriendHostName), so loading it as a group does nothing.
void LoadSettingsGroup(Settings& settings, Form& form, SettingsGroup group);
// The captions of kelucmdButton(0) to (11) from "KeluuserVar0" to "KeluuserVar11".
void LoadFriendButtons(Settings& settings, Form& form);
// Any run of rows of the table, in the order given.
void LoadSettingRows(Settings& settings, Form& form, std::span<const SettingKey> rows);

// Stores each row's control value as its encoding writes it, in the order
// given, each write on its own. A control the form lacks is skipped.
void StoreSettingRows(Settings& settings, const Form& form, std::span<const SettingKey> rows);

// A check box's state as stored: "0" clear, "1" checked ("2" grey).
std::string check_box_text(int value);
// The stored check-box text as a state, or -1 when it leaves the box as is.
int check_box_state(std::string_view stored);

// Text without spaces and tabs at either end.
std::string trim_blanks(std::string_view text);
// Writes the text without blanks at either end, as "chatPort" and
// "chatTimeout" are stored.
void WriteTrimmedSetting(Settings& settings, const std::string& key, std::string_view text);

}  // namespace vask

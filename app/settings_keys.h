#pragma once
// Every settings key of the program, as one table of data: which control the
// key feeds, how its value is encoded, its default, and when it is loaded.
#include <span>
#include <string>
#include <string_view>

#include "app/settings.h"

namespace vask {

// When a key is loaded at start-up: A with the "Vask" and "Alive" pages, B
// with the friend buttons and the friend and chat settings, C with the "HTTP"
// page. D is never loaded at start-up; it is read per friend on lookup.
enum class SettingsGroup { A, B, C, D };

enum class SettingEncoding {
    Text,      // the control's text, as is
    CheckBox,  // the box's state as decimal text, "0" or "1"
    Caption,   // the caption of a push button
};

struct SettingKey {
    SettingsGroup group;
    std::string_view key;      // as the program writes it
    std::string_view control;  // the control it feeds
    int index;                 // element of the control array, or -1
    int slot;                  // friend slot of a numbered key, or -1
    SettingEncoding encoding;
    // Used when the key is absent. For check boxes it is empty, which leaves
    // the box as it is (clear at start-up).
    std::string_view default_value;
};

inline constexpr int kFriendSlots = 12;

// The default time server, also offered by the "Alive" page.
inline constexpr char kDefaultTimeServerName[] = "NTP Pool";
inline constexpr char kDefaultTimeServerAddress[] = "pool.ntp.org";

// Start-up default of a friend button caption: ten full stops.
inline constexpr char kFriendButtonDefault[] = "..........";
inline constexpr char kFriendHostDefault[] = "http://";

// All keys in table order: group A, then B, C and D, each group's rows in
// the order they are loaded.
std::span<const SettingKey> setting_keys();
// The rows of one group, in table order.
std::span<const SettingKey> setting_keys(SettingsGroup group);
// Group B's friend button captions, "KeluuserVar0" to "KeluuserVar11".
std::span<const SettingKey> friend_button_keys();
// The rest of group B, "KeluClipboard" to "chatTimeout".
std::span<const SettingKey> friend_and_chat_option_keys();
// What the "Save" button of the "Vask" page stores, "FTP_Server" to "AutoOnline".
std::span<const SettingKey> vask_page_keys();
// The row of a key, compared without letter case, or null.
const SettingKey* find_setting_key(std::string_view key);

// The numbered keys of friend slot n: "KeluuserVar" + n and "KeluHostName" + n,
// n in decimal without leading zeros.
std::string friend_button_key(int slot);
std::string friend_host_key(int slot);

// The friend lookup's reading of slot n: the host name (default "http://")
// and the button's user name (default empty, unlike the start-up caption).
std::string ReadFriendHostName(Settings& settings, int slot);
std::string ReadFriendUserName(Settings& settings, int slot);

}  // namespace vask

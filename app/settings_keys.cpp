#include "app/settings_keys.h"

#include <array>

namespace vask {
namespace {

constexpr SettingKey text(SettingsGroup group, std::string_view key, std::string_view control,
                          std::string_view default_value) {
    return {group, key, control, -1, -1, SettingEncoding::Text, default_value};
}

constexpr SettingKey check(SettingsGroup group, std::string_view key, std::string_view control) {
    return {group, key, control, -1, -1, SettingEncoding::CheckBox, ""};
}

constexpr SettingKey caption(SettingsGroup group, std::string_view key, std::string_view control,
                             int slot) {
    return {group, key, control, slot, slot, SettingEncoding::Caption, kFriendButtonDefault};
}

// The host box is a single control that shows whichever friend is looked up.
constexpr SettingKey friend_host(std::string_view key, int slot) {
    return {SettingsGroup::D, key, "kelutxtHostname", -1, slot, SettingEncoding::Text,
            kFriendHostDefault};
}

constexpr std::array kKeys = {
    text(SettingsGroup::A, "FTP_Server", "vaskHostname", ""),
    text(SettingsGroup::A, "FTP_ServerIP", "vaskIPAddress", ""),
    text(SettingsGroup::A, "User", "vaskUserName", ""),
    text(SettingsGroup::A, "vaskPassword", "vaskPassword", ""),
    text(SettingsGroup::A, "Local_File", "vasktxtLocalFile", "vask.htm"),
    text(SettingsGroup::A, "Remote_Path", "vasktxtRemoteFile", ""),
    check(SettingsGroup::A, "Manual", "vaskchkManual"),
    check(SettingsGroup::A, "AutoOffline", "vaskchkAutoOffline"),
    check(SettingsGroup::A, "Tray", "vaskchkTray"),
    text(SettingsGroup::A, "TimerDelayTime", "vasktxtTimerDelayTime", "2"),
    check(SettingsGroup::A, "AutoOnline", "vaskchkAutoOnline"),
    text(SettingsGroup::A, "TimeServerName", "alivetxtTimeServerName", kDefaultTimeServerName),
    text(SettingsGroup::A, "TimeServerAddress", "alivetxtTimeServerAddress", kDefaultTimeServerAddress),
    text(SettingsGroup::A, "KeepAliveDelay", "alivetxtKeepAliveDelay", "20"),
    check(SettingsGroup::A, "KeepAlive", "alivechkKeepAlive"),
    check(SettingsGroup::A, "Notify", "alivechkNotify"),
    check(SettingsGroup::A, "SetSysTime", "alivechkSetSysTime"),
    caption(SettingsGroup::B, "KeluuserVar0", "kelucmdButton", 0),
    caption(SettingsGroup::B, "KeluuserVar1", "kelucmdButton", 1),
    caption(SettingsGroup::B, "KeluuserVar2", "kelucmdButton", 2),
    caption(SettingsGroup::B, "KeluuserVar3", "kelucmdButton", 3),
    caption(SettingsGroup::B, "KeluuserVar4", "kelucmdButton", 4),
    caption(SettingsGroup::B, "KeluuserVar5", "kelucmdButton", 5),
    caption(SettingsGroup::B, "KeluuserVar6", "kelucmdButton", 6),
    caption(SettingsGroup::B, "KeluuserVar7", "kelucmdButton", 7),
    caption(SettingsGroup::B, "KeluuserVar8", "kelucmdButton", 8),
    caption(SettingsGroup::B, "KeluuserVar9", "kelucmdButton", 9),
    caption(SettingsGroup::B, "KeluuserVar10", "kelucmdButton", 10),
    caption(SettingsGroup::B, "KeluuserVar11", "kelucmdButton", 11),
    check(SettingsGroup::B, "KeluClipboard", "keluchkClipboard"),
    check(SettingsGroup::B, "AutoChat", "keluchkChat"),
    check(SettingsGroup::B, "chatRingOn", "chatchkRingOn"),
    check(SettingsGroup::B, "Ringer", "chatchkRinger"),
    check(SettingsGroup::B, "chatEcho", "chatchkEcho"),
    check(SettingsGroup::B, "chatLineFeed", "chatchkLineFeed"),
    text(SettingsGroup::B, "chatName", "chattxtName", "NoName"),
    text(SettingsGroup::B, "chatPort", "chattxtPort", "12480"),
    text(SettingsGroup::B, "chatTimeout", "chattxtTimeout", "20"),
    text(SettingsGroup::C, "http_Server", "httptxtHostname", "http://"),
    check(SettingsGroup::C, "httpchkBackground", "httpchkBackground"),
    check(SettingsGroup::C, "httpchkHRule", "httpchkHRule"),
    text(SettingsGroup::C, "httpBgFileName", "httpBgFileName", ""),
    text(SettingsGroup::C, "httptxtHtmBgColor", "httptxtHtmBgColor", "000000"),
    text(SettingsGroup::C, "httptxtHtmBaseColor", "httptxtHtmBaseColor", "FFFFFF"),
    text(SettingsGroup::C, "httptxtHtmTitleColor", "httptxtHtmTitleColor", "FF0000"),
    text(SettingsGroup::C, "httptxtHtmTextColor", "httptxtHtmTextColor", "0000FF"),
    text(SettingsGroup::C, "httptxtHtmMessage1", "httptxtHtmMessage1", "You can reach me at my current IP Address"),
    text(SettingsGroup::C, "httptxtHtmMessage2", "httptxtHtmMessage2", "I'm using Vask for text based Chat"),
    text(SettingsGroup::C, "httptxtHtmMessage3", "httptxtHtmMessage3", ""),
    text(SettingsGroup::C, "httptxtHtmMessage4", "httptxtHtmMessage4", ""),
    friend_host("KeluHostName0", 0),
    friend_host("KeluHostName1", 1),
    friend_host("KeluHostName2", 2),
    friend_host("KeluHostName3", 3),
    friend_host("KeluHostName4", 4),
    friend_host("KeluHostName5", 5),
    friend_host("KeluHostName6", 6),
    friend_host("KeluHostName7", 7),
    friend_host("KeluHostName8", 8),
    friend_host("KeluHostName9", 9),
    friend_host("KeluHostName10", 10),
    friend_host("KeluHostName11", 11),
};

constexpr std::size_t kFirstOfGroup[] = {0, 17, 38, 50, 62};  // A, B, C, D, end

// The groups lie in one run each, in order, and group B starts with the
// friend buttons.
constexpr bool groups_match_their_bounds() {
    for (std::size_t g = 0; g < 4; ++g)
        for (std::size_t i = kFirstOfGroup[g]; i < kFirstOfGroup[g + 1]; ++i)
            if (kKeys[i].group != SettingsGroup(g)) return false;
    for (std::size_t i = 0; i < std::size_t(kFriendSlots); ++i)
        if (kKeys[kFirstOfGroup[1] + i].encoding != SettingEncoding::Caption) return false;
    return kKeys.size() == kFirstOfGroup[4];
}
static_assert(groups_match_their_bounds());

bool same_ascii_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::span<const SettingKey> setting_keys() { return kKeys; }

std::span<const SettingKey> setting_keys(SettingsGroup group) {
    auto g = std::size_t(group);
    return setting_keys().subspan(kFirstOfGroup[g], kFirstOfGroup[g + 1] - kFirstOfGroup[g]);
}

std::span<const SettingKey> friend_button_keys() {
    return setting_keys(SettingsGroup::B).first(kFriendSlots);
}

std::span<const SettingKey> friend_and_chat_option_keys() {
    return setting_keys(SettingsGroup::B).subspan(kFriendSlots);
}

std::span<const SettingKey> vask_page_keys() {
    constexpr size_t kVaskPageKeys = 11;  // the rest of group A is the "Alive" page's
    return setting_keys(SettingsGroup::A).first(kVaskPageKeys);
}

const SettingKey* find_setting_key(std::string_view key) {
    for (const SettingKey& row : kKeys)
        if (same_ascii_letters(row.key, key)) return &row;
    return nullptr;
}

std::string friend_button_key(int slot) { return "KeluuserVar" + std::to_string(slot); }
std::string friend_host_key(int slot) { return "KeluHostName" + std::to_string(slot); }

std::string ReadFriendHostName(Settings& settings, int slot) {
    return settings.ReadSetting(friend_host_key(slot), kFriendHostDefault);
}

std::string ReadFriendUserName(Settings& settings, int slot) {
    return settings.ReadSetting(friend_button_key(slot), "");
}

}  // namespace vask

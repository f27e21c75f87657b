#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/settings_keys.h"
#include "app/settings_loader.h"
#include "desktop/controls.h"
#include "desktop/form.h"

namespace vask {
namespace {

// Settings in memory that record each read with the default it was given.
class RecordingSettings : public Settings {
public:
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> reads;
    std::vector<std::pair<std::string, std::string>> writes;

    std::string ReadSetting(const std::string& key, const std::string& default_value) override {
        reads.emplace_back(key, default_value);
        auto found = values.find(key);
        return found == values.end() ? default_value : found->second;
    }
    void WriteSetting(const std::string& key, const std::string& value) override {
        writes.emplace_back(key, value);
        values[key] = value;
    }
};

std::string label(const Control& control) {
    return control.index() < 0 ? control.name()
                               : control.name() + "(" + std::to_string(control.index()) + ")";
}

// A form with a control for every row of the table, as the window has them,
// recording every value change in the order it happens.
struct FullForm {
    Form form{"frmMain"};
    std::vector<std::string> changes;

    FullForm() {
        for (const SettingKey& row : setting_keys()) {
            std::string name(row.control);
            if (form.find(name, row.index)) continue;
            switch (row.encoding) {
            case SettingEncoding::Text:
                if (name == "vaskHostname") form.add<ComboBox>(name, &form);
                else form.add<TextBox>(name, &form);
                break;
            case SettingEncoding::CheckBox: form.add<CheckBox>(name, &form); break;
            case SettingEncoding::Caption: form.add<Button>(name, &form, row.index); break;
            }
        }
        form.set_observer([this](Control& control, Property what) {
            if (what == Property::Text || what == Property::Value || what == Property::Caption)
                changes.push_back(label(control));
        });
    }
    TextBox& text(const char* name) { return static_cast<TextBox&>(*form.find(name)); }
    CheckBox& box(const char* name) { return static_cast<CheckBox&>(*form.find(name)); }
};

TEST(SettingKeys, TableHasEveryKeyOnceInItsGroup) {
    EXPECT_EQ(setting_keys().size(), 62u);
    EXPECT_EQ(setting_keys(SettingsGroup::A).size(), 17u);
    EXPECT_EQ(setting_keys(SettingsGroup::B).size(), 21u);
    EXPECT_EQ(setting_keys(SettingsGroup::C).size(), 12u);
    EXPECT_EQ(setting_keys(SettingsGroup::D).size(), 12u);

    std::set<std::string> lower;
    for (const SettingKey& row : setting_keys()) {
        std::string key(row.key);
        for (char& c : key) c = char(std::tolower((unsigned char)c));
        EXPECT_TRUE(lower.insert(key).second) << row.key;
        EXPECT_EQ(find_setting_key(key), &row);
    }
    EXPECT_EQ(find_setting_key("NoSuchKey"), nullptr);

    // Where each start-up step begins and ends.
    struct Run {
        std::span<const SettingKey> rows;
        const char *first, *last;
    } runs[] = {
        {setting_keys(SettingsGroup::A), "FTP_Server", "SetSysTime"},
        {friend_button_keys(), "KeluuserVar0", "KeluuserVar11"},
        {friend_and_chat_option_keys(), "KeluClipboard", "chatTimeout"},
        {setting_keys(SettingsGroup::C), "http_Server", "httptxtHtmMessage4"},
        {setting_keys(SettingsGroup::D), "KeluHostName0", "KeluHostName11"},
    };
    for (const Run& run : runs) {
        EXPECT_EQ(run.rows.front().key, run.first);
        EXPECT_EQ(run.rows.back().key, run.last);
    }
}

TEST(SettingKeys, NumberedKeysNameTheirSlot) {
    for (int n = 0; n < kFriendSlots; ++n) {
        const SettingKey& button = friend_button_keys()[std::size_t(n)];
        EXPECT_EQ(button.key, friend_button_key(n));
        EXPECT_EQ(button.control, "kelucmdButton");
        EXPECT_EQ(button.index, n);
        EXPECT_EQ(button.default_value, "..........");
        const SettingKey& host = setting_keys(SettingsGroup::D)[std::size_t(n)];
        EXPECT_EQ(host.key, friend_host_key(n));
        EXPECT_EQ(host.control, "kelutxtHostname");
        EXPECT_EQ(host.slot, n);
        EXPECT_EQ(host.default_value, "http://");
    }
    EXPECT_EQ(friend_button_key(0), "KeluuserVar0");
    EXPECT_EQ(friend_host_key(11), "KeluHostName11");
}

TEST(SettingKeys, FriendLookupReadsWithItsOwnDefaults) {
    RecordingSettings settings;
    EXPECT_EQ(ReadFriendHostName(settings, 0), "http://");
    EXPECT_EQ(ReadFriendUserName(settings, 0), "");
    settings.values["KeluHostName11"] = "http://friend.example/page.htm";
    settings.values["KeluuserVar11"] = "Alice";
    EXPECT_EQ(ReadFriendHostName(settings, 11), "http://friend.example/page.htm");
    EXPECT_EQ(ReadFriendUserName(settings, 11), "Alice");
}

TEST(SettingsLoader, EachStepAssignsItsRowsInTableOrder) {
    FullForm full;
    RecordingSettings settings;
    for (const SettingKey& row : setting_keys())
        settings.values[std::string(row.key)] =
            row.encoding == SettingEncoding::CheckBox ? "1" : "stored " + std::string(row.key);

    struct Step {
        const char* what;
        void (*load)(Settings&, Form&);
        std::span<const SettingKey> rows;
    } steps[] = {
        {"group A", [](Settings& s, Form& f) { LoadSettingsGroup(s, f, SettingsGroup::A); },
         setting_keys(SettingsGroup::A)},
        {"friend buttons", [](Settings& s, Form& f) { LoadFriendButtons(s, f); }, friend_button_keys()},
        {"group B", [](Settings& s, Form& f) { LoadSettingsGroup(s, f, SettingsGroup::B); },
         friend_and_chat_option_keys()},
        {"group C", [](Settings& s, Form& f) { LoadSettingsGroup(s, f, SettingsGroup::C); },
         setting_keys(SettingsGroup::C)},
        {"group D loads nothing", [](Settings& s, Form& f) { LoadSettingsGroup(s, f, SettingsGroup::D); },
         {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        full.changes.clear();
        settings.reads.clear();
        step.load(settings, full.form);

        std::vector<std::string> controls;
        std::vector<std::pair<std::string, std::string>> reads;
        for (const SettingKey& row : step.rows) {
            controls.push_back(row.index < 0 ? std::string(row.control)
                                             : std::string(row.control) + "(" + std::to_string(row.index) + ")");
            reads.emplace_back(row.key, row.default_value);
        }
        EXPECT_EQ(full.changes, controls);
        EXPECT_EQ(settings.reads, reads);
    }
    EXPECT_TRUE(settings.writes.empty());
    // The combo box takes its text too.
    EXPECT_EQ(static_cast<ComboBox*>(full.form.find("vaskHostname"))->text(), "stored FTP_Server");
    EXPECT_EQ(full.form.find("kelucmdButton", 11)->caption(), "stored KeluuserVar11");
}

TEST(SettingsLoader, AnEmptyStoreGivesTheDefaults) {
    FullForm full;
    RecordingSettings settings;
    LoadSettingsGroup(settings, full.form, SettingsGroup::A);
    LoadFriendButtons(settings, full.form);
    LoadSettingsGroup(settings, full.form, SettingsGroup::B);
    LoadSettingsGroup(settings, full.form, SettingsGroup::C);

    EXPECT_EQ(full.text("vasktxtLocalFile").text(), "vask.htm");
    EXPECT_EQ(full.text("alivetxtTimeServerName").text(), kDefaultTimeServerName);
    EXPECT_EQ(full.text("alivetxtTimeServerAddress").text(), "pool.ntp.org");
    EXPECT_EQ(full.text("chattxtName").text(), "NoName");
    EXPECT_EQ(full.text("chattxtPort").text(), "12480");
    EXPECT_EQ(full.text("httptxtHtmMessage2").text(), "I'm using Vask for text based Chat");
    for (int n = 0; n < kFriendSlots; ++n)
        EXPECT_EQ(full.form.find("kelucmdButton", n)->caption(), "..........");
    for (const auto& control : full.form.controls()) {
        if (control->kind() == ControlKind::CheckBox) {
            EXPECT_EQ(static_cast<CheckBox&>(*control).value(), 0) << control->name();
        }
    }
}

TEST(SettingsLoader, CheckBoxTakesOnlyAStateItHas) {
    struct Case {
        const char* stored;
        int from_clear, from_checked;
    } cases[] = {
        {"1", 1, 1},    {"0", 0, 0},      {" 1 ", 1, 1},    {"\t0\t", 0, 0}, {"+1", 1, 1},
        {"2", 2, 2},    {"", 0, 1},       {"word", 0, 1},   {"1x", 0, 1},    {"1.0", 0, 1},
        {"0x1", 0, 1},  {"-1", 0, 1},     {"3", 0, 1},      {"+", 0, 1},     {"1 1", 0, 1},
        {"99999999999999999999", 0, 1},
    };
    for (const Case& c : cases) {
        for (int start : {0, 1}) {
            SCOPED_TRACE(std::string("\"") + c.stored + "\" from " + std::to_string(start));
            Form form("frmMain");
            auto& box = form.add<CheckBox>("vaskchkTray", &form);
            box.set_value(start);
            int clicks = 0;
            box.on_click = [&] { ++clicks; };
            RecordingSettings settings;
            settings.values["Tray"] = c.stored;
            LoadSettingsGroup(settings, form, SettingsGroup::A);
            int expected = start == 0 ? c.from_clear : c.from_checked;
            EXPECT_EQ(box.value(), expected);
            EXPECT_EQ(clicks, expected == start ? 0 : 1);
        }
    }
}

TEST(SettingsLoader, FriendButtonsGetTheirSlotsCaption) {
    FullForm full;
    RecordingSettings settings;
    settings.values["KeluuserVar0"] = "Alice";
    settings.values["KeluuserVar11"] = "Zed";
    settings.values["KeluClipboard"] = "1";
    LoadFriendButtons(settings, full.form);
    EXPECT_EQ(full.form.find("kelucmdButton", 0)->caption(), "Alice");
    EXPECT_EQ(full.form.find("kelucmdButton", 1)->caption(), "..........");
    EXPECT_EQ(full.form.find("kelucmdButton", 11)->caption(), "Zed");
    EXPECT_EQ(full.box("keluchkClipboard").value(), 0);  // the next step's
}

TEST(SettingsLoader, APartialFormLoadsWhatItHas) {
    Form form("frmMain");
    auto& tray = form.add<CheckBox>("vaskchkTray", &form);
    auto& wrong_kind = form.add<TextBox>("vaskchkManual", &form);  // a check-box key
    auto& button = form.add<Button>("kelucmdButton", &form, 5);
    RecordingSettings settings;
    settings.values["Tray"] = "1";
    settings.values["Manual"] = "1";
    settings.values["KeluuserVar5"] = "Bob";
    LoadSettingsGroup(settings, form, SettingsGroup::A);
    LoadFriendButtons(settings, form);
    LoadSettingsGroup(settings, form, SettingsGroup::B);
    LoadSettingsGroup(settings, form, SettingsGroup::C);
    EXPECT_EQ(tray.value(), 1);
    EXPECT_EQ(wrong_kind.text(), "");
    EXPECT_EQ(button.caption(), "Bob");
}

TEST(SettingsLoader, AFailingHandlerSkipsOnlyItsValue) {
    FullForm full;
    full.text("chattxtName").on_change = [] { throw std::runtime_error("handler failed"); };
    RecordingSettings settings;
    settings.values["chatPort"] = "4000";
    LoadSettingsGroup(settings, full.form, SettingsGroup::B);
    EXPECT_EQ(full.text("chattxtPort").text(), "4000");
    EXPECT_EQ(full.text("chattxtTimeout").text(), "20");
}

TEST(SettingsWriters, EncodeAsTheLoaderReads) {
    for (int state : {0, 1, 2}) EXPECT_EQ(check_box_state(check_box_text(state)), state);
    EXPECT_EQ(check_box_text(1), "1");
    EXPECT_EQ(check_box_text(0), "0");

    RecordingSettings settings;
    for (const char* typed : {" 12480 ", "\t20\t", "12480", "   ", "1 2"})
        WriteTrimmedSetting(settings, "chatPort", typed);
    std::vector<std::pair<std::string, std::string>> expected = {
        {"chatPort", "12480"}, {"chatPort", "20"}, {"chatPort", "12480"}, {"chatPort", ""}, {"chatPort", "1 2"}};
    EXPECT_EQ(settings.writes, expected);
}

}  // namespace
}  // namespace vask

#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings_keys.h"
#include "support/window_fixture.h"

namespace vask::test {
namespace {

using MainWindowTest = WindowTest;

// The check boxes that start-up loads from the store.
std::vector<CheckBox*> loaded_check_boxes(Form& form) {
    std::vector<CheckBox*> boxes;
    for (const SettingKey& row : setting_keys())
        if (row.encoding == SettingEncoding::CheckBox)
            boxes.push_back(static_cast<CheckBox*>(form.find(std::string(row.control), row.index)));
    return boxes;
}

TEST_F(MainWindowTest, FirstStartWithAnEmptyStore) {
    start();
    EXPECT_EQ(c().vaskStatus->panel(1).text, "Disconnected");
    EXPECT_FALSE(c().cmdTray->visible());
    EXPECT_EQ(c().SSTab1->tab(), 0);
    EXPECT_TRUE(window->form.visible());
    EXPECT_EQ(window->form.caption().rfind("Vask = ", 0), 0u) << window->form.caption();
    for (CheckBox* box : loaded_check_boxes(window->form)) EXPECT_EQ(box->value(), 0) << box->name();
    for (Button* button : c().kelucmdButton) EXPECT_EQ(button->caption(), "..........");
    EXPECT_EQ(c().vaskcmdActionButton->caption(), "Connect");
    EXPECT_FALSE(c().vaskcmdActionButton->enabled());
    EXPECT_FALSE(c().aliveTimer1->running());
    std::vector<std::string> keys = settings.written_keys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"chatName", "httpBgFileName", "http_Server",
                                              "httptxtHtmMessage1", "httptxtHtmMessage2",
                                              "httptxtHtmMessage3", "httptxtHtmMessage4"}));
}

TEST_F(MainWindowTest, StoredTrayShowsTheButtonAndHidesTheWindowInTheTray) {
    settings.values["Tray"] = "1";
    start();
    EXPECT_TRUE(c().cmdTray->visible());
    EXPECT_TRUE(desktop.icon_present);
    EXPECT_EQ(desktop.icon.tip_text(), window->form.caption());
    EXPECT_FALSE(window->form.visible());
    EXPECT_FALSE(desktop.in_task_list);
}

TEST_F(MainWindowTest, WithoutANotificationAreaTheTrayKeepsTheWindowShown) {
    settings.values["Tray"] = "1";
    desktop.has_notification_area = false;
    start();
    EXPECT_TRUE(window->form.visible());
    EXPECT_TRUE(desktop.in_task_list);
}

TEST_F(MainWindowTest, CheckBoxKeyHoldingAWordLeavesTheBoxClear) {
    settings.values["Tray"] = "yes";
    settings.values["KeluClipboard"] = "";
    settings.values["chatEcho"] = "1";
    start();
    EXPECT_EQ(c().vaskchkTray->value(), 0);
    EXPECT_EQ(c().keluchkClipboard->value(), 0);
    EXPECT_EQ(c().chatchkEcho->value(), 1);
    EXPECT_TRUE(desktop.message_boxes.empty());
}

TEST_F(MainWindowTest, StoredValuesReachTheirControls) {
    settings.values["FTP_Server"] = "ftp.example.org";
    settings.values["User"] = "joe";
    settings.values["KeluuserVar11"] = "Anna";
    settings.values["chatName"] = "Joe";
    start();
    EXPECT_EQ(c().vaskHostname->text(), "ftp.example.org");
    EXPECT_EQ(c().vaskUserName->text(), "joe");
    EXPECT_EQ(c().kelucmdButton[11]->caption(), "Anna");
    EXPECT_EQ(c().kelucmdButton[0]->caption(), "..........");
    EXPECT_EQ(c().chattxtName->text(), "Joe");
}

TEST_F(MainWindowTest, EscEndsAtOnceAndNothingElseRuns) {
    settings.values["AutoOffline"] = "1";
    start();
    desktop.calls.clear();
    settings.writes.clear();
    int key = 27;
    window->form.on_key_down(key, 0);
    EXPECT_TRUE(window->ended());
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"end_program 0"}));
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_FALSE(window->form.unloaded());
}

TEST_F(MainWindowTest, OtherKeysDoNothing) {
    start();
    int key = 13;
    window->form.on_key_down(key, 0);
    EXPECT_FALSE(window->ended());
}

TEST_F(MainWindowTest, ExitRemovesTheTrayIconThenEnds) {
    settings.values["Tray"] = "1";
    start();
    desktop.calls.clear();
    c().cmdExit->click();
    EXPECT_TRUE(window->ended());
    EXPECT_TRUE(window->form.unloaded());
    EXPECT_FALSE(desktop.icon_present);
    ASSERT_FALSE(desktop.calls.empty());
    EXPECT_EQ(desktop.calls.front().rfind("notify_icon delete", 0), 0u);
    EXPECT_EQ(desktop.calls.back(), "end_program 0");
    EXPECT_EQ(desktop.count("end_program"), 1);
}

TEST_F(MainWindowTest, ClosingTheWindowRunsUnloadWithoutTheOfflinePublish) {
    settings.values["AutoOffline"] = "1";
    start();
    window->form.close();
    EXPECT_TRUE(window->ended());
    EXPECT_FALSE(c().mnuAutoOffline->checked());  // Exit would have checked it
}

TEST_F(MainWindowTest, ExitWithOfflineOnShutdownChecksTheOfflineItem) {
    settings.values["AutoOffline"] = "1";
    start();
    c().mnuAutoOnline->set_checked(true);
    c().mnuExit->click();
    EXPECT_TRUE(c().mnuAutoOffline->checked());
    EXPECT_FALSE(c().mnuAutoOnline->checked());
    EXPECT_TRUE(window->ended());
}

TEST_F(MainWindowTest, WindowIsCentredEachTimeItIsShown) {
    desktop.screen = {800 * 15, 600 * 15};
    start();
    Form& form = window->form;
    EXPECT_EQ(form.left(), (800 * 15 - form.client_width) / 2);
    EXPECT_EQ(form.top(), (600 * 15 - form.client_height) / 2);
    form.hide();
    form.move(0, 0);
    desktop.screen = {1024 * 15, 768 * 15};
    c().mnuOpen->click();
    EXPECT_EQ(form.left(), (1024 * 15 - form.client_width) / 2);
}

TEST_F(MainWindowTest, TabChangeAppliesTheBackgroundRuleOnTheHttpPage) {
    start();
    c().httpchkBackground->set_value(1);
    c().SSTab1->set_tab(4);
    EXPECT_FALSE(c().httptxtHtmBgColor->enabled());
    EXPECT_TRUE(c().httpBgFileName->enabled());
    c().SSTab1->set_tab(0);
    c().httpchkBackground->set_value(0);
    c().SSTab1->set_tab(4);
    EXPECT_TRUE(c().httptxtHtmBgColor->enabled());
    EXPECT_FALSE(c().httpBgFileName->enabled());
}

TEST_F(MainWindowTest, SelectingKeluCancelsAPendingFriendStore) {
    start();
    window->state.StoreMode = true;
    c().keluTimer1->set_interval(500);
    c().keluTimer1->set_enabled(true);
    c().SSTab1->set_tab(1);
    EXPECT_FALSE(window->state.StoreMode);
    EXPECT_FALSE(c().keluTimer1->running());
}

// The notification-area icon sends its mouse messages as the x coordinate.
class TrayTest : public WindowTest {
protected:
    void notify(int message) { window->form.on_mouse_move(0, 0, message * kTwipsPerPixel, 0); }
};

TEST_F(TrayTest, OnlyLeftDoubleClickAndRightButtonUpAct) {
    settings.values["Tray"] = "1";
    start();
    for (int message : {512, 513, 514, 516, 518}) notify(message);
    EXPECT_FALSE(window->form.visible());
    EXPECT_EQ(desktop.count("popup_menu"), 0);
    notify(517);
    EXPECT_EQ(desktop.count("popup_menu mnuMain"), 1);
    notify(515);
    EXPECT_TRUE(window->form.visible());
    EXPECT_EQ(window->state.last_tray_message, 515u);
}

TEST_F(TrayTest, ASecondRightClickWhileTheMenuIsOpenOpensNothing) {
    settings.values["Tray"] = "1";
    start();
    // The chosen item's action runs while the menu is open; it delivers
    // another right-click, as the icon would.
    c().mnuRefreshIP->on_click = [&] { notify(517); };
    desktop.menu_choices = {"mnuRefreshIP"};
    notify(517);
    EXPECT_EQ(desktop.count("popup_menu"), 1);
    EXPECT_FALSE(window->state.tray_busy);
}

TEST_F(TrayTest, NothingActsWhileTheWindowIsMinimized) {
    settings.values["Tray"] = "1";
    start();
    window->form.set_window_state(Form::WindowState::Minimized);
    notify(515);
    EXPECT_FALSE(window->form.visible());
}

TEST_F(TrayTest, ModifyWithoutAnIconChangesNothing) {
    start();
    window->ShowAddressCaption();
    EXPECT_FALSE(desktop.icon_present);
    EXPECT_EQ(desktop.count("notify_icon modify"), 1);
}

TEST_F(TrayTest, TrayButtonAgainDoesNotAddASecondIcon) {
    settings.values["Tray"] = "1";
    start();
    c().mnuOpen->click();
    c().cmdTray->click();
    EXPECT_FALSE(window->form.visible());
    EXPECT_EQ(desktop.count("notify_icon add"), 2);  // the second is refused
    EXPECT_TRUE(desktop.icon_present);
}

}  // namespace
}  // namespace vask::test

namespace vask::test {
namespace {

// Tab change and unload against real connections on loopback.
class WindowSocketsTest : public WindowTest {
protected:
    Socket listener{loop};
    std::vector<std::unique_ptr<Socket>> peers;

    void SetUp() override {
        listener.set_bind_address("127.0.0.1");
        ASSERT_EQ(listener.listen(), 0);
        listener.set_blocking(false);
    }
    void connect(Socket& socket) {
        ASSERT_EQ(socket.connect("127.0.0.1", listener.local_port()), 0);
        ASSERT_TRUE(socket.connected());
    }
    void connect_both() {
        connect(window->sockets.httpSocket1);
        connect(window->sockets.keluSocket1);
    }
};

TEST_F(WindowSocketsTest, EachPageClosesTheFetchesItDoesNotOwn) {
    struct Row {
        int tab;
        bool http_open_after;
        bool kelu_open_after;
    };
    const Row rows[] = {
        {1, false, true},   // "Kelu" keeps its own friend lookup
        {0, false, false},  // "Vask"
        {2, false, false},  // "Chat"
        {3, false, false},  // "Alive"
        {4, true, false},   // "HTTP" keeps its own page check
        {5, false, false},  // "About"
    };
    start();
    for (const Row& row : rows) {
        c().SSTab1->set_tab(row.tab == 0 ? 1 : 0);
        connect_both();
        c().SSTab1->set_tab(row.tab);
        EXPECT_EQ(window->sockets.httpSocket1.connected(), row.http_open_after) << "tab " << row.tab;
        EXPECT_EQ(window->sockets.keluSocket1.connected(), row.kelu_open_after) << "tab " << row.tab;
        window->sockets.httpSocket1.disconnect();
        window->sockets.keluSocket1.disconnect();
    }
}

TEST_F(WindowSocketsTest, UnloadClosesEveryConnectedSocketAfterRemovingTheIcon) {
    start();
    connect(window->sockets.vaskSocket1);
    connect_both();
    desktop.calls.clear();
    c().cmdExit->click();
    EXPECT_FALSE(window->sockets.vaskSocket1.connected());
    EXPECT_FALSE(window->sockets.httpSocket1.connected());
    EXPECT_FALSE(window->sockets.keluSocket1.connected());
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"notify_icon delete " + std::string(), "end_program 0"}));
}

}  // namespace
}  // namespace vask::test

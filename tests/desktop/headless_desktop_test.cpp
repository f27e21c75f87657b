#include <gtest/gtest.h>

#include "desktop/controls.h"
#include "desktop/form.h"
#include "desktop/headless_desktop.h"

namespace vask {
namespace {

TEST(HeadlessDesktop, AnswersFromTheScriptThenWithTheDefaultButton) {
    HeadlessDesktop desktop;
    desktop.message_answers = {MessageAnswer::Yes};
    MessageBoxRequest ask{"Change the port?", "Vask", MessageButtons::YesNo, MessageIcon::Question, 1};
    EXPECT_EQ(desktop.message_box(ask), MessageAnswer::Yes);
    EXPECT_EQ(desktop.message_box(ask), MessageAnswer::No);  // default button 1 of Yes/No
    desktop.input_answers = {"12481"};
    EXPECT_EQ(desktop.input_box("Port", "Vask", "12480"), "12481");
    EXPECT_EQ(desktop.input_box("Port", "Vask", "12480"), "");  // cancelled
    EXPECT_EQ(desktop.count("message_box Vask: Change the port?"), 2);
}

TEST(HeadlessDesktop, NotificationIconRefusesWhatTheDesktopWould) {
    HeadlessDesktop desktop;
    NotifyIconRecord record;
    record.set_tip("Vask = 127.0.0.1");
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Modify, record));
    EXPECT_TRUE(desktop.notify_icon(NotifyIconMessage::Add, record));
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Add, record));
    EXPECT_EQ(desktop.icon.tip_text(), "Vask = 127.0.0.1");
    EXPECT_TRUE(desktop.notify_icon(NotifyIconMessage::Delete, record));
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Delete, record));
    desktop.has_notification_area = false;
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Add, record));
}

TEST(HeadlessDesktop, PopupMenuClicksTheScriptedItem) {
    HeadlessDesktop desktop;
    Form form("f");
    auto& menu = form.add<Menu>("mnuMain", &form);
    auto& item = form.add<MenuItem>("mnuOpen", &menu);
    int clicks = 0;
    item.on_click = [&] { ++clicks; };
    desktop.menu_choices = {"mnuOpen", ""};
    desktop.popup_menu(menu);
    desktop.popup_menu(menu);
    EXPECT_EQ(clicks, 1);
}

TEST(NotifyIconRecord, TipIsNulTerminatedBlankFilledAndCutAt64Bytes) {
    NotifyIconRecord record;
    record.set_tip("Vask = 192.168.0.5");
    EXPECT_EQ(record.tip_text(), "Vask = 192.168.0.5");
    EXPECT_EQ(record.tip[18], '\0');
    EXPECT_EQ(record.tip[19], ' ');
    EXPECT_EQ(record.tip[63], ' ');
    record.set_tip(std::string(70, 'x'));
    EXPECT_EQ(record.tip_text(), std::string(64, 'x'));
}

}  // namespace
}  // namespace vask

#include "app/window_controls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace vask {
namespace {

// A loop that only keeps account of the timers started on it.
class TimerLedger final : public EventLoop {
public:
    Id start_timer(int interval_ms, Callback) override {
        Id id = next_++;
        if (interval_ms > 0) running.insert(id);
        return id;
    }
    void stop_timer(Id timer) override { running.erase(timer); }
    Id watch_fd(int, bool, bool, FdCallback) override { return next_++; }
    void update_watch(Id, bool, bool) override {}
    void unwatch(Id) override {}
    void post(Callback) override {}
    void do_events() override {}
    bool wait_until(const std::function<bool()>& done, int) override { return done(); }
    void run() override {}
    void quit() override {}

    std::set<Id> running;

private:
    Id next_ = 1;
};

std::string label(const Control& c) {
    return c.index() < 0 ? c.name() : c.name() + "(" + std::to_string(c.index()) + ")";
}

class WindowControlsTest : public ::testing::Test {
protected:
    TimerLedger loop;
    Form form{"frmMain"};
    WindowControls c = declare_window(form, loop);

    Control& named(const std::string& name, int index = -1) {
        Control* control = form.find(name, index);
        if (!control) throw std::runtime_error("no control " + name);
        return *control;
    }
};

// The struct is nothing but control pointers, so it can be walked slot by
// slot: each slot must be one control of the form, and each control of the
// form must have exactly one slot.
TEST_F(WindowControlsTest, MembersAndFormControlsMatchOneToOne) {
    static_assert(std::is_trivially_copyable_v<WindowControls>);
    static_assert(sizeof(WindowControls) % sizeof(void*) == 0);
    std::vector<const void*> slots(sizeof(WindowControls) / sizeof(void*));
    std::memcpy(slots.data(), &c, sizeof c);

    std::map<const void*, const Control*> on_form;
    for (const auto& control : form.controls())
        on_form[dynamic_cast<const void*>(control.get())] = control.get();

    std::set<const void*> seen;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i] || !on_form.count(slots[i])) {
            ADD_FAILURE() << "member slot " << i << " holds no control of the form";
            continue;
        }
        EXPECT_TRUE(seen.insert(slots[i]).second) << "two members hold " << label(*on_form.at(slots[i]));
    }
    for (const auto& [address, control] : on_form)
        EXPECT_TRUE(seen.count(address)) << label(*control) << " has no member";
}

TEST_F(WindowControlsTest, EveryControlIsFoundByItsNameAndIndex) {
    for (const auto& control : form.controls())
        EXPECT_EQ(form.find(control->name(), control->index()), control.get())
            << label(*control) << " shares its name and index with another control";
    for (int n = 0; n < 12; ++n) EXPECT_EQ(&named("kelucmdButton", n), c.kelucmdButton[size_t(n)]);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(&named("httplblBgColor", i), c.httplblBgColor[size_t(i)]);
}

TEST_F(WindowControlsTest, WindowHasSixPagesInOrderWithTheFirstSelected) {
    EXPECT_EQ(form.caption(), "Vask");
    EXPECT_EQ(form.client_width, 7680);
    EXPECT_EQ(form.client_height, 5736);
    EXPECT_FALSE(form.icon.empty());

    const char* captions[] = {"Vask", "Kelu", "Chat", "Alive", "HTTP", "About"};
    ASSERT_EQ(c.SSTab1->tab_count(), 6);
    EXPECT_EQ(c.SSTab1->tab(), 0);
    ASSERT_EQ(c.SSTab1->children().size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(c.SSTab1->children()[size_t(i)], c.pages[size_t(i)]);
        EXPECT_EQ(c.pages[size_t(i)]->index(), i);
        EXPECT_EQ(c.pages[size_t(i)]->caption(), captions[i]);
    }
    // Logic reaches pages by index: the status bar and the page-0 controls live on page 0.
    EXPECT_EQ(c.vaskStatus->parent(), c.pages[0]);
    EXPECT_EQ(c.aliveTimer1->parent(), &form);

    ASSERT_EQ(c.vaskStatus->panel_count(), 3);
    EXPECT_EQ(c.vaskStatus->panel(2).style, StatusBar::Panel::Style::Time);
    EXPECT_TRUE(c.vaskStatus->panel(3).spring);
}

// Every placed control lies inside its parent's area; controls directly on a
// page start below the tab row.
TEST_F(WindowControlsTest, EveryControlLiesInsideItsParent) {
    constexpr int kTabRow = 400;
    for (const auto& owned : form.controls()) {
        const Control& control = *owned;
        const Control* root = &control;
        while (root->parent()) root = root->parent();
        EXPECT_EQ(root, &form) << label(control) << " is not on the window";

        ControlKind kind = control.kind();
        if (kind == ControlKind::Timer || kind == ControlKind::Menu || kind == ControlKind::MenuItem)
            continue;
        const Geometry& g = control.geometry();
        const Control* parent = control.parent();
        int width = parent == &form ? form.client_width : parent->geometry().width;
        int height = parent == &form ? form.client_height : parent->geometry().height;
        EXPECT_GT(g.width, 0) << label(control);
        EXPECT_GT(g.height, 0) << label(control);
        EXPECT_GE(g.left, 0) << label(control);
        EXPECT_GE(g.top, 0) << label(control);
        EXPECT_LE(g.left + g.width, width) << label(control) << " sticks out of " << label(*parent);
        EXPECT_LE(g.top + g.height, height) << label(control) << " sticks out of " << label(*parent);
        if (parent->kind() == ControlKind::TabPage) {
            EXPECT_GE(g.top, kTabRow) << label(control) << " lies under the tab row";
        }
    }
}

// The design-time states that start-up and the subsystems rely on.
TEST_F(WindowControlsTest, InitialVisibilityAndEnabledState) {
    struct Case {
        const char* name;
        bool visible;
        bool enabled;
    } cases[] = {
        {"cmdTray", false, true},  // shown only while "Tray" is checked
        {"mnuMain", false, true},  // a pop-up, never a menu bar
        {"vaskchkBinaryTransfer", false, true},
        {"vaskPicture3", true, true},   // automatic mode ...
        {"vaskPicture1", false, true},  // ... not manual mode
        {"vaskPicture4", true, true},
        {"vaskcmdActionButton", true, true},  // start-up disables it
        {"vaskcmdCopyButton", true, false},
        {"kelufraSetup", false, true},
        {"kelucmdAbort", true, false},
        {"kelucmdRetrieve", false, true},
        {"kelutxtSourceView", false, true},
        {"kelutxtServerPort", false, true},
        {"chattxtSend", true, false},
        {"chatcmdHello", true, false},
        {"chatcmdTime", true, false},
        {"chatcmdReset", true, false},
        {"chatcmdConnect", true, true},
        {"chatcmdGreeting", false, true},
        {"chatchkRingOn", false, true},
        {"chatlblRingeronoff", false, true},
        {"alivelstTimeServerAddress", false, false},
        {"alivetxtTimeServerName", true, false},
        {"alivetxtTimeServerAddress", true, false},
        {"alivechkBlocking", false, true},
        {"alivecmdList", false, true},
        {"httpfraHtmPage", false, true},
        {"httptxtSourceView", true, true},
        {"httpBgFileName", true, false},
        {"httptxtHtmBgColor", true, false},
        {"httptxtServerPort", false, false},
        {"aboutfraFrame1", true, true},
        {"abouttxtHelpWindow", false, true},
    };
    for (const Case& expected : cases) {
        Control& control = named(expected.name);
        EXPECT_EQ(control.visible(), expected.visible) << expected.name;
        EXPECT_EQ(control.enabled(), expected.enabled) << expected.name;
    }
}

TEST_F(WindowControlsTest, OnlyTheHiddenModeBoxesStartChecked) {
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::CheckBox) continue;
        bool fixed_on = control->name() == "vaskchkBinaryTransfer" || control->name() == "alivechkBlocking";
        EXPECT_EQ(static_cast<const CheckBox&>(*control).value(), fixed_on ? 1 : 0) << label(*control);
    }
    EXPECT_TRUE(c.vaskchkRemoteTransfer->value());
    EXPECT_FALSE(c.vaskchkLocalTransfer->value());
    // The two directions share their frame, so choosing one clears the other.
    c.vaskchkLocalTransfer->set_value(true);
    EXPECT_FALSE(c.vaskchkRemoteTransfer->value());
    for (MenuItem* item :
         {c.mnuAutoOnline, c.mnuAutoOffline, c.mnuOpen, c.mnuRefreshIP, c.mnuCopyToClipboard, c.mnuExit}) {
        EXPECT_FALSE(item->checked()) << item->name();
        EXPECT_EQ(item->parent(), c.mnuMain) << item->name();
    }
}

TEST_F(WindowControlsTest, NoTimerRunsAndNoHandlerIsSet) {
    EXPECT_TRUE(loop.running.empty());
    for (Timer* timer : {c.vaskTimer1, c.keluTimer1, c.chatRingerTimer, c.aliveTimer1})
        EXPECT_FALSE(timer->running()) << timer->name();
    EXPECT_EQ(c.keluTimer1->interval(), 500);
    EXPECT_EQ(c.chatRingerTimer->interval(), 5000);
    // Enabling a timer that has its interval starts it on the loop.
    c.keluTimer1->set_enabled(true);
    EXPECT_EQ(loop.running.size(), 1u);

    for (const auto& owned : form.controls()) {
        const Control& control = *owned;
        EXPECT_FALSE(control.on_click || control.on_dbl_click || control.on_got_focus ||
                     control.on_key_down || control.on_key_press)
            << label(control) << " has a handler";
        if (auto* box = dynamic_cast<const TextBox*>(&control)) {
            EXPECT_FALSE(box->on_change) << label(control);
        }
        if (auto* box = dynamic_cast<const ComboBox*>(&control)) {
            EXPECT_FALSE(box->on_change) << label(control);
        }
        if (auto* timer = dynamic_cast<const Timer*>(&control)) {
            EXPECT_FALSE(timer->on_timer) << label(control);
        }
        if (auto* image = dynamic_cast<const Image*>(&control)) {
            EXPECT_EQ(image->picture(), form.icon) << label(control);
        }
    }
    EXPECT_FALSE(c.SSTab1->on_tab_change);
}

TEST(DeclareWindow, RefusesAnotherForm) {
    TimerLedger loop;
    Form other{"frmOther"};
    EXPECT_THROW(declare_window(other, loop), std::invalid_argument);
}

}  // namespace
}  // namespace vask

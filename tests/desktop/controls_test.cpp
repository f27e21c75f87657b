#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "desktop/controls.h"
#include "desktop/form.h"
#include "desktop/poll_loop.h"

namespace vask {
namespace {

// One row per control kind: a value set from code runs the same handler as a
// user change, once per actual change, and never for the same value again.
struct RuleCase {
    std::string kind;
    std::function<void(Form&, int& handler_runs)> wire_and_set;  // sets a new value twice
};

TEST(ControlRule, HandlerRunsOncePerActualChange) {
    std::vector<RuleCase> cases = {
        {"check box", [](Form& f, int& runs) {
             auto& box = f.add<CheckBox>("chk", &f);
             box.on_click = [&] { ++runs; };
             box.set_value(1);
             box.set_value(1);
         }},
        {"text box", [](Form& f, int& runs) {
             auto& box = f.add<TextBox>("txt", &f);
             box.on_change = [&] { ++runs; };
             box.set_text("a");
             box.set_text("a");
         }},
        {"combo box text", [](Form& f, int& runs) {
             auto& box = f.add<ComboBox>("cbo", &f);
             box.on_change = [&] { ++runs; };
             box.set_text("a");
             box.set_text("a");
         }},
        {"list box", [](Form& f, int& runs) {
             auto& box = f.add<ListBox>("lst", &f);
             box.add_item("x");
             box.on_click = [&] { ++runs; };
             box.set_list_index(0);
             box.set_list_index(0);
         }},
        {"option button", [](Form& f, int& runs) {
             auto& option = f.add<OptionButton>("opt", &f);
             option.on_click = [&] { ++runs; };
             option.set_value(true);
             option.set_value(true);
         }},
        {"tab control", [](Form& f, int& runs) {
             auto& tabs = f.add<TabControl>("tab", &f);
             f.add<TabPage>("page", &tabs, 0);
             f.add<TabPage>("page", &tabs, 1);
             tabs.on_tab_change = [&](int previous) {
                 EXPECT_EQ(previous, 0);
                 ++runs;
             };
             tabs.set_tab(1);
             tabs.set_tab(1);
         }},
    };
    for (const auto& test : cases) {
        Form form("f");
        int runs = 0;
        test.wire_and_set(form, runs);
        EXPECT_EQ(runs, 1) << test.kind;
    }
}

TEST(ControlRule, ChoosingAComboEntryIsAClickNotATextChange) {
    Form form("f");
    auto& combo = form.add<ComboBox>("cbo", &form);
    combo.add_item("ftp.example.org");
    int changes = 0, clicks = 0;
    combo.on_change = [&] { ++changes; };
    combo.on_click = [&] { ++clicks; };
    combo.set_list_index(0);
    EXPECT_EQ(combo.text(), "ftp.example.org");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(clicks, 1);
}

TEST(ControlRule, KeyPressRunsBeforeTheTextChangesAndMaySwallowIt) {
    Form form("f");
    auto& box = form.add<TextBox>("txt", &form);
    std::vector<std::string> seen;
    box.on_key_press = [&](int& key) {
        seen.push_back("key " + box.text());
        if (key == 'x') key = 0;
    };
    box.on_change = [&] { seen.push_back("change " + box.text()); };
    box.type("axb");
    box.type_key(8);
    EXPECT_EQ(box.text(), "a");
    EXPECT_EQ(seen, (std::vector<std::string>{"key ", "change a", "key a", "key a", "change ab",
                                              "key ab", "change a"}));
}

TEST(ControlRule, TypingHonoursSelectionMaxLengthAndReadOnly) {
    Form form("f");
    auto& box = form.add<TextBox>("txt", &form);
    box.max_length = 4;
    box.set_text("abcd");
    box.type("e");
    EXPECT_EQ(box.text(), "abcd");
    box.select(1, 2);
    EXPECT_EQ(box.selected_text(), "bc");
    box.type("Z");
    EXPECT_EQ(box.text(), "aZd");
    box.locked = true;
    box.type("q");
    EXPECT_EQ(box.text(), "aZd");
}

TEST(ControlRule, OptionButtonsClearTheirSiblingsOnly) {
    Form form("f");
    auto& frame_a = form.add<Frame>("a", &form);
    auto& frame_b = form.add<Frame>("b", &form);
    auto& one = form.add<OptionButton>("opt", &frame_a, 0);
    auto& two = form.add<OptionButton>("opt", &frame_a, 1);
    auto& other = form.add<OptionButton>("other", &frame_b);
    other.set_value(true);
    one.set_value(true);
    two.set_value(true);
    EXPECT_FALSE(one.value());
    EXPECT_TRUE(two.value());
    EXPECT_TRUE(other.value());
    EXPECT_EQ(form.find("opt", 1), &two);
}

TEST(ControlRule, ObserverSeesEveryChangeAndNoRepeats) {
    Form form("f");
    auto& label = form.add<Label>("lbl", &form);
    auto& bar = form.add<StatusBar>("bar", &form);
    bar.add_panel({});
    std::vector<Property> seen;
    form.set_observer([&](Control&, Property p) { seen.push_back(p); });
    label.set_caption("x");
    label.set_caption("x");
    label.set_enabled(false);
    bar.set_panel_text(1, "Disconnected");
    bar.set_panel_text(9, "ignored");
    EXPECT_EQ(seen, (std::vector<Property>{Property::Caption, Property::Enabled, Property::Panels}));
    EXPECT_EQ(bar.panel(1).text, "Disconnected");
}

TEST(TimerControl, TicksOnlyWhileEnabledWithAnInterval) {
    PollLoop loop;
    Form form("f");
    auto& timer = form.add<Timer>("tmr", &form, loop);
    int ticks = 0;
    timer.on_timer = [&] { ++ticks; };
    loop.wait_until([] { return false; }, 20);
    EXPECT_EQ(ticks, 0);  // interval 0
    timer.set_enabled(false);
    timer.set_interval(1);
    loop.wait_until([] { return false; }, 20);
    EXPECT_EQ(ticks, 0);  // disabled
    timer.set_enabled(true);
    EXPECT_TRUE(loop.wait_until([&] { return ticks >= 2; }, 2000));
    timer.set_interval(0);
    int after = ticks;
    loop.wait_until([] { return false; }, 20);
    EXPECT_EQ(ticks, after);
}

TEST(FormWindow, ShowActivatesOnlyWhenItBecomesVisibleAndCloseMayBeCancelled) {
    Form form("f");
    int activations = 0, unloads = 0;
    bool cancel = true;
    form.on_activate = [&] { ++activations; };
    form.on_query_unload = [&](int& c) { c = cancel; };
    form.on_unload = [&] { ++unloads; };
    form.show();
    form.show();
    form.hide();
    form.show();
    EXPECT_EQ(activations, 2);
    EXPECT_FALSE(form.close());
    cancel = false;
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(form.close());
    EXPECT_EQ(unloads, 1);
}

}  // namespace
}  // namespace vask

// The widgets drawn from a small form of our own: that they show what the
// controls hold, and that the user's clicks and keys reach the controls'
// handlers exactly as the headless tests drive them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "desktop/controls.h"
#include "desktop/form.h"
#include "desktop/headless_desktop.h"
#include "desktop/qt/form_view.h"
#include "desktop/qt/qt_event_loop.h"

namespace vask {
namespace {

class FormViewTest : public ::testing::Test {
protected:
    FormViewTest() {
        form.client_width = 4500;
        form.client_height = 3000;
        form.set_caption("Test window");
        tabs = &form.add<TabControl>("tabs", &form);
        tabs->set_geometry({30, 30, 4400, 2400});
        one = &form.add<TabPage>("page", tabs, 0);
        one->set_caption("One");
        two = &form.add<TabPage>("page", tabs, 1);
        two->set_caption("Two");
        check = &form.add<CheckBox>("chkOption", one);
        check->set_geometry({150, 450, 1500, 300});
        check->set_caption("Option");
        label = &form.add<Label>("lblState", one);
        label->set_geometry({150, 900, 1500, 450});
        text = &form.add<TextBox>("txtName", one);
        text->set_geometry({150, 1500, 2400, 300});
        combo = &form.add<ComboBox>("cboHost", one);
        combo->set_geometry({150, 1950, 2400, 315});
        combo->add_item("alpha");
        combo->add_item("beta");
        notes = &form.add<TextBox>("txtNotes", two);
        notes->multi_line = true;
        notes->set_geometry({150, 450, 3000, 1200});
        password = &form.add<TextBox>("txtPassword", one);
        password->set_geometry({2700, 1500, 1500, 300});
        password->password_char = '*';
        password->locked = true;
        password->set_text("hidden");
        button = &form.add<Button>("cmdGo", &form);
        button->set_geometry({3000, 2550, 1200, 350});
        button->set_caption("Go");
        view = std::make_unique<FormView>(form, desktop);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        view->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view->window()));
    }

    template <class W>
    W* widget(const Control& control) {
        return qobject_cast<W*>(view->widget(control));
    }

    void focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }

    QtEventLoop loop;
    HeadlessDesktop desktop;
    Form form{"frmTest"};
    TabControl* tabs;
    TabPage* one;
    TabPage* two;
    CheckBox* check;
    Label* label;
    TextBox* text;
    ComboBox* combo;
    TextBox* notes;
    TextBox* password;
    Button* button;
    std::unique_ptr<FormView> view;
};

TEST_F(FormViewTest, ACheckBoxClickRunsItsHandlerAndWhatTheHandlerChangesShowsAtOnce) {
    check->on_click = [&] {
        label->set_caption(check->checked() ? "on" : "off");
        text->set_enabled(!check->checked());
    };
    auto* box = widget<QCheckBox>(*check);
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(check->value(), 1);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(widget<QLabel>(*label)->text(), "on");
    EXPECT_FALSE(widget<QLineEdit>(*text)->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(check->value(), 0);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(widget<QLabel>(*label)->text(), "off");
    EXPECT_TRUE(widget<QLineEdit>(*text)->isEnabled());
}

TEST_F(FormViewTest, ACheckBoxShowsTheValueItsHandlerLeftNotWhatQtToggledTo) {
    check->on_click = [&] {
        if (check->value() == 1) check->set_value(0);  // refuses to be checked
    };
    auto* box = widget<QCheckBox>(*check);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(check->value(), 0);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(FormViewTest, TypedKeysGoThroughTheKeyPressHandlerWhichMaySwallowOrReplaceThem) {
    int changes = 0;
    text->on_change = [&] { ++changes; };
    text->on_key_press = [](int& key) {
        if (key >= 'a' && key <= 'z') key -= 32;  // upper case
        if (key == '#') key = 0;                  // never typed
    };
    auto* edit = widget<QLineEdit>(*text);
    focus(edit);
    QTest::keyClicks(edit, "ab#c");
    EXPECT_EQ(text->text(), "ABC");
    EXPECT_EQ(edit->text(), "ABC");
    EXPECT_EQ(changes, 3);
    // In the middle of the text, where the caret is.
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(text->text(), "AXBC");
    EXPECT_EQ(edit->text(), "AXBC");
    EXPECT_EQ(text->sel_start(), 2);
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(text->text(), "ABC");
    EXPECT_EQ(edit->cursorPosition(), 1);
    // A selection made in the widget is what a typed key replaces.
    edit->setSelection(1, 2);
    QTest::keyClicks(edit, "z");
    EXPECT_EQ(text->text(), "AZ");
    EXPECT_EQ(edit->text(), "AZ");
}

TEST_F(FormViewTest, AMultiLineBoxHoldsCrLfLineEndsAndOtherCharactersAsUtf8) {
    tabs->set_tab(1);
    auto* edit = widget<QPlainTextEdit>(*notes);
    ASSERT_NE(edit, nullptr);
    focus(edit);
    QTest::keyClicks(edit, "a");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "b");
    // é: not a key the control types itself.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Eacute, QString::fromUtf8("\xc3\xa9"), Qt::NoModifier);
    EXPECT_EQ(notes->text(), "a\r\nb\xc3\xa9");
    EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("a\nb\xc3\xa9"));
    EXPECT_EQ(notes->sel_start(), 6);  // after the é, in bytes
    // Backspace over é, b and the line end: whole characters each time.
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(notes->text(), "a\r\nb");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(notes->text(), "a\r\n");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(notes->text(), "a");
    EXPECT_EQ(edit->toPlainText(), "a");
    // Text set from code shows, with the caret where the control puts it (the end).
    notes->set_text("one\r\ntwo");
    EXPECT_EQ(edit->toPlainText(), "one\ntwo");
    EXPECT_EQ(edit->textCursor().position(), 7);
}

TEST(FormViewPages, APageBuiltLaterShowsWhatItsControlsHoldByThen) {
    QtEventLoop loop;
    HeadlessDesktop desktop;
    Form form("frmPages");
    form.client_width = 4500;
    form.client_height = 3000;
    auto& tabs = form.add<TabControl>("tabs", &form);
    tabs.set_geometry({30, 30, 4400, 2400});
    form.add<TabPage>("page", &tabs, 0).set_caption("One");
    auto& two = form.add<TabPage>("page", &tabs, 1);
    two.set_caption("Two");
    auto& notes = form.add<TextBox>("txtNotes", &two);
    notes.multi_line = true;
    notes.set_geometry({150, 450, 3000, 1200});
    FormView view(form, desktop);
    QWidget* window = view.window();
    // The page not shown first has no widgets until the window is drawn...
    EXPECT_EQ(window->findChild<QPlainTextEdit*>("txtNotes"), nullptr);
    notes.set_text("early\r\nnote");
    notes.set_enabled(false);
    form.show();
    // ...then it is built in the background, from what its controls hold by then.
    EXPECT_TRUE(loop.wait_until([&] { return window->findChild<QPlainTextEdit*>("txtNotes") != nullptr; }, 30000));
    auto* edit = window->findChild<QPlainTextEdit*>("txtNotes");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->toPlainText(), "early\nnote");
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(edit->isVisible());
    notes.set_enabled(true);
    EXPECT_TRUE(edit->isEnabled());
    tabs.set_tab(1);
    EXPECT_TRUE(edit->isVisible());
}

TEST(FormViewPages, SelectingAPageOrAskingForItsWidgetsBuildsItAtOnce) {
    HeadlessDesktop desktop;
    Form form("frmPages");
    auto& tabs = form.add<TabControl>("tabs", &form);
    tabs.set_geometry({30, 30, 4400, 2400});
    form.add<TabPage>("page", &tabs, 0).set_caption("One");
    auto& two = form.add<TabPage>("page", &tabs, 1);
    auto& three = form.add<TabPage>("page", &tabs, 2);
    auto& name = form.add<TextBox>("txtName", &two);
    name.set_text("two");
    auto& more = form.add<TextBox>("txtMore", &three);
    more.set_text("three");
    FormView view(form, desktop);
    QWidget* window = view.window();
    ASSERT_EQ(window->findChild<QLineEdit*>("txtName"), nullptr);
    tabs.set_tab(1);
    auto* edit = window->findChild<QLineEdit*>("txtName");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "two");
    ASSERT_EQ(window->findChild<QLineEdit*>("txtMore"), nullptr);
    auto* asked = qobject_cast<QLineEdit*>(view.widget(more));
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->text(), "three");
}

TEST_F(FormViewTest, EscReachesTheWindowsKeyDownWhereverTheFocusIs) {
    std::vector<int> codes;
    form.on_key_down = [&](int& code, int) { codes.push_back(code); };
    focus(widget<QLineEdit>(*text));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    focus(widget<QCheckBox>(*check));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    focus(widget<QPushButton>(*button));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(codes, (std::vector<int>{27, 27, 112}));
}

TEST_F(FormViewTest, TheTabsFollowTheControlAndAClickOnATabSelectsItThroughTheControl) {
    auto* tab_widget = widget<QTabWidget>(*tabs);
    ASSERT_NE(tab_widget, nullptr);
    ASSERT_EQ(tab_widget->count(), 2);
    EXPECT_EQ(tab_widget->tabText(0), "One");
    EXPECT_EQ(tab_widget->tabText(1), "Two");
    std::vector<int> previous;
    tabs->on_tab_change = [&](int before) { previous.push_back(before); };
    QTabBar* bar = tab_widget->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(tabs->tab(), 1);
    EXPECT_EQ(previous, std::vector<int>{0});
    tabs->set_tab(0);
    EXPECT_EQ(tab_widget->currentIndex(), 0);
    // A handler that sends the user back: the tab shows where the control is.
    tabs->on_tab_change = [&](int) {
        if (tabs->tab() == 1) tabs->set_tab(0);
    };
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(tabs->tab(), 0);
    EXPECT_EQ(tab_widget->currentIndex(), 0);
}

TEST_F(FormViewTest, PlacesFontsAndColoursAreTheControls) {
    auto* tab_widget = widget<QTabWidget>(*tabs);
    QLabel* shown = widget<QLabel>(*label);
    // Page controls are placed relative to the tab control, its tab row included.
    EXPECT_EQ(shown->mapTo(tab_widget, QPoint(0, 0)), QPoint(10, 60));
    EXPECT_EQ(shown->size(), QSize(100, 30));
    EXPECT_EQ(tab_widget->geometry(), QRect(2, 2, 293, 160));
    EXPECT_EQ(view->window()->size(), QSize(300, 200));
    EXPECT_EQ(view->window()->windowTitle(), "Test window");
    label->set_colors(0x000000FF, 0x00FF0000);  // red on blue, as 0x00BBGGRR
    EXPECT_EQ(shown->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(shown->palette().color(QPalette::Window), QColor(0, 0, 255));
    label->set_font(Font{"Arial", 9.0, true});
    EXPECT_DOUBLE_EQ(shown->font().pointSizeF(), 9.0);
    EXPECT_TRUE(shown->font().bold());
    label->set_geometry({300, 600, 750, 300});
    EXPECT_EQ(shown->mapTo(tab_widget, QPoint(0, 0)), QPoint(20, 40));
    label->set_visible(false);
    EXPECT_TRUE(shown->isHidden());
    auto* secret = widget<QLineEdit>(*password);
    EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(secret->isReadOnly());
    EXPECT_EQ(secret->text(), "hidden");
}

TEST_F(FormViewTest, AListChoiceIsAClickAndEditingTheTextIsAChange) {
    int clicks = 0, changes = 0;
    combo->on_click = [&] { ++clicks; };
    combo->on_change = [&] { ++changes; };
    auto* box = widget<QComboBox>(*combo);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->count(), 2);
    focus(box);
    QTest::keyClick(box, Qt::Key_Down);  // picks "alpha" from the list
    EXPECT_EQ(combo->list_index(), 0);
    EXPECT_EQ(combo->text(), "alpha");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 0);
    box->lineEdit()->end(false);
    QTest::keyClicks(box, "x");
    EXPECT_EQ(combo->text(), "alphax");
    EXPECT_EQ(box->currentText(), "alphax");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 1);
    combo->add_item("gamma");
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), "alphax");
}

TEST_F(FormViewTest, EnterPressesTheDefaultButton) {
    int clicks = 0;
    button->on_click = [&] { ++clicks; };
    button->set_default(true);
    focus(widget<QLineEdit>(*text));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormViewTest, AControlMadeAfterTheWindowWasBuiltGetsItsWidgetWhenItChanges) {
    auto& late = form.add<Button>("cmdLate", one);
    late.set_geometry({3000, 450, 1000, 350});
    late.set_caption("Late");
    auto* shown = qobject_cast<QPushButton*>(view->widget("cmdLate"));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "Late");
    EXPECT_EQ(shown->mapTo(widget<QTabWidget>(*tabs), QPoint(0, 0)), QPoint(200, 30));
}

TEST_F(FormViewTest, TheCloseBoxRunsQueryUnloadAndUnloadOnly) {
    std::vector<std::string> order;
    int cancel_next = 1;
    form.on_query_unload = [&](int& cancel) {
        order.push_back("query_unload");
        cancel = cancel_next;
    };
    form.on_unload = [&] { order.push_back("unload"); };
    bool unloaded = false;
    view->on_unloaded = [&] { unloaded = true; };
    view->window()->close();  // cancelled by the form
    EXPECT_EQ(order, std::vector<std::string>{"query_unload"});
    EXPECT_TRUE(view->window()->isVisible());
    cancel_next = 0;
    view->window()->close();
    EXPECT_EQ(order, (std::vector<std::string>{"query_unload", "query_unload", "unload"}));
    EXPECT_FALSE(view->window()->isVisible());
    EXPECT_TRUE(form.unloaded());
    QApplication::processEvents();
    EXPECT_TRUE(unloaded);
}

TEST(FormViewStatusBar, PanelsHaveTheirWidthsAndAlignmentAndTheClockPanelShowsTheTime) {
    HeadlessDesktop desktop;
    desktop.fixed_now = SystemTime(std::chrono::seconds(1700000000));
    Form form("frmBar");
    form.client_width = 7680;
    form.client_height = 600;
    auto& bar = form.add<StatusBar>("sbStatus", &form);
    bar.set_geometry({72, 72, 7464, 312});
    StatusBar::Panel state;
    state.alignment = StatusBar::Panel::Align::Center;
    state.width = state.min_width = 2117;
    state.text = "Disconnected";
    bar.add_panel(state);
    StatusBar::Panel clock;
    clock.alignment = StatusBar::Panel::Align::Center;
    clock.style = StatusBar::Panel::Style::Time;
    clock.width = clock.min_width = 1764;
    bar.add_panel(clock);
    StatusBar::Panel log;
    log.width = 9208;
    log.min_width = 2117;
    log.spring = true;
    bar.add_panel(log);
    FormView view(form, desktop);
    auto panel = [&](int n) {
        return view.window()->findChild<QLabel*>(QString("sbStatus.panel%1").arg(n));
    };
    ASSERT_NE(panel(3), nullptr);
    EXPECT_EQ(panel(1)->text(), "Disconnected");
    EXPECT_EQ(panel(1)->width(), 141);
    EXPECT_EQ(panel(2)->width(), 118);
    EXPECT_EQ(panel(3)->width(), 498 - 141 - 118 - 4);  // the rest of the bar
    EXPECT_TRUE(panel(1)->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(panel(3)->alignment() & Qt::AlignLeft);
    EXPECT_EQ(panel(2)->text().toStdString(), desktop.time_text(desktop.fixed_now));
    bar.set_panel_text(3, "USER anonymous");
    EXPECT_EQ(panel(3)->text(), "USER anonymous");
}

}  // namespace
}  // namespace vask

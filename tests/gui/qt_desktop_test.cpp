// The desktop services on Qt, driven as a user would answer them. Nothing
// here touches this machine's clock, and the tray is the offscreen one
// (there is no notification area).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "desktop/controls.h"
#include "desktop/form.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/qt/qt_event_loop.h"
#include "desktop/user_time_format.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

// Runs `act` on the dialog or menu once it is open.
void when_open(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, find, act] {
        if (QWidget* open = find()) {
            poll->stop();
            poll->deleteLater();
            act(open);
        }
    });
    poll->start();
}

TEST(QtDesktop, AMessageBoxHasItsTitleTextIconButtonsAndDefaultAndGivesTheAnswer) {
    QtDesktop desktop;
    QString title, text, default_text;
    bool plain = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    when_open([] { return QApplication::activeModalWidget(); }, [&](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        plain = box->textFormat() == Qt::PlainText;
        icon = box->icon();
        default_text = box->defaultButton()->text();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        box->button(QMessageBox::Cancel)->click();
    });
    MessageBoxRequest request;
    request.title = "Vask";
    request.text = "Save the <b>changes</b>?";
    request.buttons = MessageButtons::YesNoCancel;
    request.icon = MessageIcon::Question;
    request.default_button = 1;
    EXPECT_EQ(desktop.message_box(request), MessageAnswer::Cancel);
    EXPECT_EQ(title, "Vask");
    EXPECT_EQ(text, "Save the <b>changes</b>?");
    EXPECT_TRUE(plain);  // shown as written, never as markup
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(default_text.remove('&'), "No");
    EXPECT_EQ(buttons.size(), 3);
}

TEST(QtDesktop, AnInputBoxGivesTheTextEnteredOrNothingWhenCancelled) {
    QtDesktop desktop;
    when_open([] { return QApplication::activeModalWidget(); }, [](QWidget* open) {
        auto* dialog = qobject_cast<QInputDialog*>(open);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), "old");
        dialog->setTextValue("new name");
        dialog->accept();
    });
    EXPECT_EQ(desktop.input_box("Name?", "Friend", "old"), "new name");
    when_open([] { return QApplication::activeModalWidget(); },
              [](QWidget* open) { qobject_cast<QDialog*>(open)->reject(); });
    EXPECT_EQ(desktop.input_box("Name?", "Friend", "old"), "");
}

TEST(QtDesktop, BusyPointerPairsNestAndAnUnpairedOffChangesNothing) {
    QtDesktop desktop;
    desktop.set_busy_pointer(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    desktop.set_busy_pointer(true);
    desktop.set_busy_pointer(true);
    desktop.set_busy_pointer(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    desktop.set_busy_pointer(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(desktop.busy_depth(), 0);
}

TEST(QtDesktop, WithoutANotificationAreaTheIconIsRefusedAndTrayMessagesReachTheForm) {
    QtDesktop desktop;
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // offscreen
    NotifyIconRecord record;
    record.set_tip("Vask = 192.168.0.5");
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Add, record));
    EXPECT_EQ(desktop.tray_icon(), nullptr);
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Modify, record));
    EXPECT_FALSE(desktop.notify_icon(NotifyIconMessage::Delete, record));

    Form form("frmMain");
    std::vector<int> xs;
    form.on_mouse_move = [&](int button, int, int x, int y) {
        EXPECT_EQ(button, 0);
        EXPECT_EQ(y, 0);
        xs.push_back(x);
    };
    desktop.attach(form, nullptr);
    desktop.tray_activated(QSystemTrayIcon::Trigger);  // a single click: nothing
    desktop.tray_activated(QSystemTrayIcon::DoubleClick);
    desktop.tray_activated(QSystemTrayIcon::Context);
    EXPECT_EQ(xs, (std::vector<int>{515 * 15, 517 * 15}));
}

TEST(QtDesktop, ThePopupMenuShowsTheItemsAndRunsTheChosenOnesHandler) {
    QtDesktop desktop;
    Form form("frmMain");
    auto& menu = form.add<Menu>("mnuMain", &form);
    auto& online = form.add<MenuItem>("mnuAutoOnline", &menu);
    online.set_caption("Online");
    online.set_checked(true);
    auto& offline = form.add<MenuItem>("mnuAutoOffline", &menu);
    offline.set_caption("Offline");
    auto& main = form.add<MenuItem>("mnuOpen", &menu);
    main.set_caption("Main");
    std::vector<std::string> clicked;
    online.on_click = [&] { clicked.push_back("online"); };
    offline.on_click = [&] { clicked.push_back("offline"); };
    main.on_click = [&] { clicked.push_back("main"); };
    QStringList captions;
    std::vector<bool> checks;
    when_open([] { return QApplication::activePopupWidget(); }, [&](QWidget* open) {
        auto* shown = qobject_cast<QMenu*>(open);
        ASSERT_NE(shown, nullptr);
        for (QAction* action : shown->actions()) {
            captions << action->text();
            checks.push_back(action->isChecked());
        }
        QTest::keyClick(shown, Qt::Key_Down);
        QTest::keyClick(shown, Qt::Key_Down);
        QTest::keyClick(shown, Qt::Key_Return);
    });
    desktop.popup_menu(menu);
    EXPECT_EQ(captions, (QStringList{"Online", "Offline", "Main"}));
    EXPECT_EQ(checks, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(clicked, std::vector<std::string>{"offline"});
}

TEST(QtDesktop, AProgramStartsFromItsArgumentsWithoutAShell) {
    QtDesktop desktop;
    QtEventLoop loop;
    test::TempDir dir;
    // A shell would split this name and run the $(...) in it.
    std::string name = (dir / "a b;$(touch shell-ran)").string();
    ASSERT_TRUE(desktop.start_program({"/usr/bin/touch", name}));
    loop.start_timer(10, [] {});  // a wait looks again after each event: this gives it some
    EXPECT_TRUE(loop.wait_until([&] { return std::filesystem::exists(name); }, 30000));
    EXPECT_FALSE(std::filesystem::exists(dir / "shell-ran"));
    EXPECT_FALSE(desktop.start_program({}));
}

TEST(QtDesktop, RemovalFromTheTaskListKeepsAShownWindowShown) {
    QtDesktop desktop;
    Form form("frmMain");
    QWidget window;
    window.resize(100, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    desktop.attach(form, &window);
    desktop.remove_from_task_list();
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.isVisible());
}

TEST(QtDesktop, MemoryTimeAndDatesComeFromTheSystemAndTheUsersFormats) {
    QtDesktop desktop;
    EXPECT_EQ(desktop.total_physical_memory(),
              std::uint64_t(sysconf(_SC_PHYS_PAGES)) * std::uint64_t(sysconf(_SC_PAGESIZE)));
    SystemTime t(std::chrono::seconds(1700000000));
    EXPECT_EQ(desktop.time_text(t), user_time_text(t));
    EXPECT_EQ(desktop.long_date_text(t), user_long_date_text(t));
    EXPECT_EQ(desktop.screen_size().width_twips % 15, 0);
    EXPECT_GT(desktop.screen_size().width_twips, 0);
}

}  // namespace
}  // namespace vask

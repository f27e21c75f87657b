// The program's own window on Qt, in this process: the real controls and
// handlers, a settings file in a temporary folder, and services that record
// the end of the program instead of ending it (one test lets it end for real).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/main_window.h"
#include "app/settings_store.h"
#include "desktop/qt/form_view.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/qt/qt_event_loop.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

// The Qt services, except that the end of the program and the tray requests
// are written down.
class RecordingDesktop : public QtDesktop {
public:
    std::vector<std::string> calls;
    void end_program(int status) override { calls.push_back("end_program " + std::to_string(status)); }
    bool notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) override {
        calls.push_back("notify_icon " + std::to_string(int(message)));
        return QtDesktop::notify_icon(message, record);
    }
};

std::string file_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs in a temporary working folder, as the program would from its own.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(before_); }

private:
    std::filesystem::path before_;
};

class MainWindowOnQt : public ::testing::Test {
protected:
    MainWindowOnQt()
        : here(dir.path()), settings(dir / "VASK" / "VASK.ini"), window(loop, desktop, settings),
          view(window.form, desktop) {
        desktop.attach(window.form, view.window());
        window.load();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.window()));
        view.window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.window()));
    }

    template <class W>
    W* widget(const std::string& name) {
        return qobject_cast<W*>(view.widget(name));
    }

    test::TempDir dir;
    InFolder here;
    QtEventLoop loop;
    RecordingDesktop desktop;
    IniSettingsStore settings;
    MainWindow window;
    FormView view;
};

TEST_F(MainWindowOnQt, TheSixPagesCarryTheirCaptionsInOrder) {
    auto* tabs = widget<QTabWidget>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    EXPECT_EQ(captions, (QStringList{"Vask", "Kelu", "Chat", "Alive", "HTTP", "About"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(view.window()->size(), QSize(512, 382));
    EXPECT_TRUE(view.window()->windowTitle().startsWith("Vask = "));
}

TEST_F(MainWindowOnQt, TheTrayBoxShowsAndHidesTheTrayButton) {
    auto* box = widget<QCheckBox>("vaskchkTray");
    auto* button = widget<QPushButton>("cmdTray");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isVisible());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(window.c.vaskchkTray->checked());
    EXPECT_TRUE(button->isVisible());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(button->isVisible());
}

TEST_F(MainWindowOnQt, AClickOnAnHttpPageBoxIsSavedInTheSettingsFile) {
    auto* tabs = widget<QTabWidget>("SSTab1");
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
    ASSERT_EQ(window.c.SSTab1->tab(), 4);
    window.c.httpfraHtmPage->set_visible(true);  // the setup frame, as "Show Setup" shows it
    auto* box = widget<QCheckBox>("httpchkHRule");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isVisible());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_NE(file_text(dir / "VASK" / "VASK.ini").find("\nhttpchkHRule=1\n"), std::string::npos);
}

TEST_F(MainWindowOnQt, EscInATextBoxEndsTheProgramWithStatusZeroAndNothingElse) {
    auto* edit = widget<QLineEdit>("vaskUserName");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    const std::string before = file_text(dir / "VASK" / "VASK.ini");
    desktop.calls.clear();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"end_program 0"});  // no tray removal, nothing
    EXPECT_FALSE(window.form.unloaded());
    EXPECT_EQ(file_text(dir / "VASK" / "VASK.ini"), before);
}

// The real end: the process leaves with status 0 from inside the key's
// handling. Were the window closed, its unload would leave with 4; were the
// key handled and the test to go on, it would leave with 3.
TEST(MainWindowOnQtEnd, EscEndsTheProcessAtOnce) {
    // The child runs this test again from the start; it works in the parent's
    // folder, which the parent removes (the child leaves without cleaning up).
    constexpr const char* kFolderVariable = "VASK_GUI_ESC_FOLDER";
    std::optional<test::TempDir> own;
    std::filesystem::path folder;
    if (const char* given = std::getenv(kFolderVariable)) {
        folder = given;
    } else {
        own.emplace();
        folder = own->path();
        setenv(kFolderVariable, folder.c_str(), 1);
    }
    auto run = [&folder] {
        InFolder here(folder);
        QtEventLoop loop;
        QtDesktop desktop;
        IniSettingsStore settings(folder / "VASK" / "VASK.ini");
        MainWindow window(loop, desktop, settings);
        FormView view(window.form, desktop);
        desktop.attach(window.form, view.window());
        window.load();
        window.form.on_query_unload = [](int&) { _exit(4); };
        window.form.on_unload = [] { _exit(4); };
        if (!QTest::qWaitForWindowExposed(view.window())) _exit(5);
        view.window()->activateWindow();
        if (!QTest::qWaitForWindowActive(view.window())) _exit(5);
        QWidget* edit = view.widget("vaskUserName");
        edit->setFocus();
        QApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        _exit(3);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
    unsetenv(kFolderVariable);
}

}  // namespace
}  // namespace vask

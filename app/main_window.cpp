#include "app/main_window.h"

#include "app/settings_loader.h"
#include "app/subsystems.h"

namespace vask {

MainWindow::MainWindow(EventLoop& event_loop, Desktop& services, Settings& store)
    : loop(event_loop), desktop(services), settings(store), c(declare_window(form, loop)),
      sockets(loop) {
    connect_handlers();
}

void MainWindow::connect_handlers() {
    form.on_activate = [this] {
        // Centred each time it is shown; the size stays as it is.
        ScreenSize screen = desktop.screen_size();
        form.move((screen.width_twips - form.client_width) / 2,
                  (screen.height_twips - form.client_height) / 2);
    };
    form.on_key_down = [this](int& key_code, int) {
        if (key_code == 27) end_now();
    };
    form.on_query_unload = [this](int&) { on_query_unload(); };
    form.on_unload = [this] { on_unload(); };
    form.on_mouse_move = [this](int, int, int x, int) { on_tray_notification(x); };
    c.SSTab1->on_tab_change = [this](int) { on_tab_change(); };

    c.cmdExit->on_click = [this] { ExitProgram(); };
    c.cmdTray->on_click = [this] { ShowInTray(); };
    c.vaskchkTray->on_click = [this] { c.cmdTray->set_visible(c.vaskchkTray->checked()); };

    c.mnuAutoOnline->on_click = [this] {
        PublishOnline();
        c.mnuAutoOffline->set_checked(false);
        c.mnuAutoOnline->set_checked(true);
    };
    c.mnuAutoOffline->on_click = [this] {
        PublishOffline();
        c.mnuAutoOnline->set_checked(false);
        c.mnuAutoOffline->set_checked(true);
    };
    c.mnuOpen->on_click = [this] { ShowWindow(); };
    c.mnuRefreshIP->on_click = [this] { RefreshLocalAddress(); };
    c.mnuCopyToClipboard->on_click = [this] { CopyAddressToClipboard(); };
    c.mnuExit->on_click = [this] { ExitProgram(); };

    connect_subsystems(*this);
}

void MainWindow::load() {
    run_startup_sequence();
    if (state.ended) return;
    // The last step may have sent the window to the notification area.
    bool in_tray = c.vaskchkTray->checked() && state.tray_icon_added;
    if (!in_tray) ShowWindow();
}

void MainWindow::run_startup_sequence() {
    // Each step that fails is skipped without a word; the window opens anyway.
    c.cmdTray->set_visible(c.vaskchkTray->checked());
    LoadHostsList();
    c.vaskcmdActionButton->set_caption("Connect");
    c.vaskcmdActionButton->set_default(true);
    c.vaskcmdActionButton->set_enabled(false);
    c.vaskStatus->set_panel_text(1, "Disconnected");
    form.set_caption(AddressCaption());
    LoadSettingsGroup(settings, form, SettingsGroup::A);
    ApplyKeepAlive();
    LoadFriendButtons(settings, form);
    LoadSettingsGroup(settings, form, SettingsGroup::B);
    StartChatListener();
    state.ChatLastSocket = 0;
    LoadSettingsGroup(settings, form, SettingsGroup::C);
    if (c.vaskchkAutoOnline->checked()) {
        PublishOnline();
        c.mnuAutoOffline->set_checked(false);
        c.mnuAutoOnline->set_checked(true);
    }
    LoadTimeServerList();
    if (c.vaskchkTray->checked()) ShowInTray();
}

void MainWindow::ShowWindow() { form.show(); }

void MainWindow::ReportError(const std::string& message) {
    ShowWindow();
    form.set_caption("Error " + message);
}

void MainWindow::SetBusyPointer(PointerScope scope, bool busy) {
    bool was_busy = state.window_pointer_busy || state.application_pointer_busy;
    (scope == PointerScope::Window ? state.window_pointer_busy : state.application_pointer_busy) = busy;
    bool is_busy = state.window_pointer_busy || state.application_pointer_busy;
    if (is_busy != was_busy) desktop.set_busy_pointer(is_busy);
}

void MainWindow::end_now() {
    if (state.ended) return;
    state.ended = true;
    desktop.end_program(0);
}

}  // namespace vask

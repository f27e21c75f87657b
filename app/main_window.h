#pragma once
// The window frmMain: its controls, the sockets and state it owns for the
// subsystems, start-up, shut-down and the reaction to a change of tab page.
#include "app/settings.h"
#include "app/window_controls.h"
#include "app/window_sockets.h"
#include "app/window_state.h"
#include "desktop/desktop.h"
#include "desktop/event_loop.h"
#include "desktop/form.h"
#include "publish/ftp_client.h"

namespace vask {

class MainWindow {
public:
    MainWindow(EventLoop& loop, Desktop& desktop, Settings& settings);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the start-up sequence, then shows the window unless it went to the tray.
    void load();
    // True once the program has ended (Esc, Exit, or the window closed).
    bool ended() const { return state.ended; }

    // Operations the controls, the menu and the tray call.
    void ExitProgram();
    void ShowWindow();
    void ShowInTray();
    void RemoveTrayIcon();
    void LoadHostsList();
    void ApplyKeepAlive();
    void StartChatListener();
    void LoadTimeServerList();
    void CloseChatSockets();
    void PublishOnline();
    void PublishOffline();
    void RefreshLocalAddress();
    void CopyAddressToClipboard();
    void CancelFriendStore();
    void ShowMemory();
    std::string LocalAddress();
    std::string AddressCaption();
    void ShowAddressCaption();
    // An error report: the window is shown (also out of the tray), then the
    // title reads "Error " + message until the next caption.
    void ReportError(const std::string& message);
    // The hourglass pointer, on the window or for the whole program. Either
    // one shows it; each is switched on and off on its own.
    enum class PointerScope { Window, Application };
    void SetBusyPointer(PointerScope scope, bool busy);

    EventLoop& loop;
    Desktop& desktop;
    Settings& settings;
    Form form{"frmMain"};
    WindowControls c;
    WindowSockets sockets;
    WindowState state;
    FtpClient ftp{*this};

private:
    void connect_handlers();
    void run_startup_sequence();
    void on_tab_change();
    void on_tray_notification(int x_twips);
    void on_query_unload();
    void on_unload();
    void end_now();
};

}  // namespace vask

#include "publish/publish_workflow.h"

#include "app/main_window.h"
#include "app/settings_loader.h"
#include "desktop/controls.h"
#include "publish/delay_text.h"
#include "publish/ftp_client.h"
#include "publish/status_page.h"

namespace vask {

namespace {

using Scope = MainWindow::PointerScope;

// The Connect button as it returns to "Connect" after an attempt.
void attempt_over(MainWindow& window, const char* report) {
    window.c.vaskcmdActionButton->set_enabled(true);
    window.c.vaskcmdActionButton->set_default(true);
    window.SetBusyPointer(Scope::Window, false);
    if (report) window.ReportError(report);
}

// The delay between the probe and the real connection: vaskTimer1 runs once.
void wait_for_delay(MainWindow& window, int seconds) {
    Timer& timer = *window.c.vaskTimer1;
    timer.set_interval(seconds * 1000);
    timer.set_enabled(true);
    window.loop.wait_until([&timer] { return !timer.running(); }, -1);
}

void connect_and_log_in(MainWindow& window) {
    WindowControls& c = window.c;
    c.vaskcmdActionButton->set_enabled(false);
    c.vaskcmdActionButton->set_default(false);
    window.SetBusyPointer(Scope::Window, true);
    std::string server = trim_blanks(c.vaskHostname->text());
    if (server.empty()) server = trim_blanks(c.vaskIPAddress->text());

    // The probe: a connection that only waits for the greeting.
    if (!window.ftp.FtpConnect(server)) return attempt_over(window, "Unable to connect to remote host");
    c.vaskStatus->set_panel_text(1, "Start Delay");
    window.loop.do_events();
    window.sockets.vaskSocket1.disconnect();
    window.loop.do_events();

    std::optional<int> delay = delay_seconds(c.vasktxtTimerDelayTime->text(), kMinDelay, kMaxDelay);
    if (!delay) {
        attempt_over(window, "Specify a Delay amount between 1 - 20");
        c.vasktxtTimerDelayTime->got_focus();
        return;
    }
    wait_for_delay(window, *delay);
    c.vaskStatus->set_panel_text(1, "End Delay");
    window.loop.do_events();

    if (!window.ftp.FtpConnect(server)) return attempt_over(window, "Unable to connect to remote host");
    if (!window.ftp.FtpLogin(trim_blanks(c.vaskUserName->text()), trim_blanks(c.vaskPassword->text()))) {
        window.sockets.vaskSocket1.disconnect();
        return attempt_over(window, nullptr);  // the client has reported a refusal
    }
    window.SetBusyPointer(Scope::Window, false);
    window.ftp.FtpPrintWorkingDirectory();
    c.vaskcmdActionButton->set_caption("Disconnect");
    c.vaskStatus->set_panel_text(1, "Connected");
    window.ShowAddressCaption();
    c.vaskcmdActionButton->set_enabled(true);
    c.vaskcmdCopyButton->set_enabled(true);
}

void disconnect(MainWindow& window) {
    WindowControls& c = window.c;
    window.sockets.vaskSocket1.disconnect();
    c.vaskcmdActionButton->set_caption("Connect");
    c.vaskStatus->set_panel_text(1, "Disconnected");
    c.vaskcmdActionButton->set_default(true);
    c.vaskcmdCopyButton->set_enabled(false);
}

void publish(MainWindow& window, bool (*write_page)(MainWindow&)) {
    WindowControls& c = window.c;
    c.vaskcmdAutomaticOn->set_enabled(false);
    c.vaskcmdAutomaticOff->set_enabled(false);
    window.SetBusyPointer(Scope::Application, true);
    // Each step runs whatever the one before did; steps report their own failures.
    ToggleFtpConnection(window);
    write_page(window);
    CopyPageFile(window);
    ToggleFtpConnection(window);
    window.SetBusyPointer(Scope::Application, false);
    c.vaskcmdAutomaticOn->set_enabled(true);
    c.vaskcmdAutomaticOff->set_enabled(true);
}

void switch_mode(MainWindow& window) {
    WindowControls& c = window.c;
    bool manual = c.vaskchkManual->checked();
    if (!manual && c.vaskcmdActionButton->caption() == "Disconnect") ToggleFtpConnection(window);
    c.vaskPicture3->set_visible(!manual);
    c.vaskPicture1->set_visible(manual);
}

void check_delay_field(MainWindow& window) {
    if (is_number_in_range(window.c.vasktxtTimerDelayTime->text(), 1, 60)) return;
    window.desktop.message_box({"Delay does not contain a valid number...  1 - 60", "Vask"});
}

// The server closed the control connection.
void server_closed(MainWindow& window) {
    WindowControls& c = window.c;
    window.sockets.vaskSocket1.disconnect();
    c.vaskcmdActionButton->set_caption("Connect");
    c.vaskcmdActionButton->set_default(true);
    c.vaskcmdCopyButton->set_enabled(false);
    window.ReportError("Remote server closed control connection");
}

}  // namespace

void ToggleFtpConnection(MainWindow& window) {
    if (window.sockets.vaskSocket1.connected()) disconnect(window);
    else connect_and_log_in(window);
}

void CopyPageFile(MainWindow& window) {
    WindowControls& c = window.c;
    c.vaskcmdCopyButton->set_enabled(false);
    window.SetBusyPointer(Scope::Window, true);
    std::string local = trim_blanks(c.vasktxtLocalFile->text());
    std::string remote = trim_blanks(c.vasktxtRemoteFile->text());
    if (c.vaskchkLocalTransfer->value()) {
        if (!window.ftp.FtpRetrieveFile(remote, local)) {
            window.SetBusyPointer(Scope::Window, false);
            window.ReportError("Could not copy remote file");
        }
    } else if (!window.ftp.FtpStoreFile(local, remote + "/" + local)) {
        window.SetBusyPointer(Scope::Window, false);
        window.ReportError("Could not copy HTM file");
    }
    c.vaskcmdCopyButton->set_enabled(true);
    window.SetBusyPointer(Scope::Window, false);
}

void MainWindow::PublishOnline() { publish(*this, CreateOnlinePage); }

void MainWindow::PublishOffline() {
    publish(*this, CreateOfflinePage);
    form.set_caption("Offline");
}

void connect_publish_workflow(MainWindow& window) {
    WindowControls& c = window.c;
    c.vaskcmdActionButton->on_click = [&window] { ToggleFtpConnection(window); };
    c.vaskcmdCopyButton->on_click = [&window] { CopyPageFile(window); };
    c.vaskcmdAutomaticOn->on_click = [&window] { window.PublishOnline(); };
    c.vaskcmdAutomaticOff->on_click = [&window] { window.PublishOffline(); };
    c.vaskcmdSave->on_click = [&window] { StoreSettingRows(window.settings, window.form, vask_page_keys()); };
    c.vaskchkManual->on_click = [&window] { switch_mode(window); };
    c.vasktxtTimerDelayTime->on_change = [&window] { check_delay_field(window); };
    c.vaskTimer1->on_timer = [&c] { c.vaskTimer1->set_enabled(false); };
    window.sockets.vaskSocket1.on_peer_closed = [&window](int) { server_closed(window); };
}

}  // namespace vask

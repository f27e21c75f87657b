// The notification-area icon: adding it, its tip, removing it, and the
// mouse messages it sends to the window.
#include <cmath>

#include "app/main_window.h"
#include "desktop/controls.h"

namespace vask {

namespace {

constexpr std::uint32_t kWindowHandle = 1;  // stands for frmMain in the icon record
constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kIconFlags = 7;          // message + icon + tip
constexpr std::uint32_t kCallbackMessage = 512;  // mouse move
constexpr std::uint32_t kProgramIcon = 1;
constexpr int kLeftDoubleClick = 515;
constexpr int kRightButtonUp = 517;

void fill_record(NotifyIconRecord& record, const std::string& tip) {
    record.size = NotifyIconRecord::kSize;
    record.window = kWindowHandle;
    record.id = kIconId;
    record.flags = kIconFlags;
    record.callback_message = kCallbackMessage;
    record.icon = kProgramIcon;
    record.set_tip(tip);
}

}  // namespace

void MainWindow::ShowInTray() {
    fill_record(state.tray_icon, AddressCaption());
    if (desktop.notify_icon(NotifyIconMessage::Add, state.tray_icon)) state.tray_icon_added = true;
    // Without an icon there would be no way back to a hidden window: keep it
    // shown and in the task list.
    if (!state.tray_icon_added) return;
    desktop.remove_from_task_list();
    form.hide();
}

void MainWindow::ShowAddressCaption() {
    std::string caption = AddressCaption();
    form.set_caption(caption);
    fill_record(state.tray_icon, caption);
    desktop.notify_icon(NotifyIconMessage::Modify, state.tray_icon);
}

void MainWindow::RemoveTrayIcon() {
    // A delete refills only the identifying fields.
    state.tray_icon.size = NotifyIconRecord::kSize;
    state.tray_icon.window = kWindowHandle;
    state.tray_icon.id = kIconId;
    if (desktop.notify_icon(NotifyIconMessage::Delete, state.tray_icon)) state.tray_icon_added = false;
}

void MainWindow::on_tray_notification(int x_twips) {
    if (form.window_state() != Form::WindowState::Normal) return;
    int message = int(std::lround(double(x_twips) / kTwipsPerPixel));
    state.last_tray_message = std::uint32_t(message);
    if (state.tray_busy) return;
    state.tray_busy = true;
    if (message == kLeftDoubleClick) {
        ShowWindow();
    } else if (message == kRightButtonUp) {
        desktop.popup_menu(*c.mnuMain);
    }
    state.tray_busy = false;
}

}  // namespace vask

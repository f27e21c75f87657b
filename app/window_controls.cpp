#include "app/window_controls.h"

#include <stdexcept>

#include "app/pages/declare.h"

namespace vask {

using namespace pages;

WindowControls declare_window(Form& form, EventLoop& loop) {
    if (form.name() != "frmMain") throw std::invalid_argument("declare_window: the window is frmMain");
    form.set_caption("Vask");
    form.client_width = 7680;
    form.client_height = 5736;
    form.icon = kProgramIcon;
    // The window's font, Arial 7.8 pt, is the default of Font: nothing to set.

    Declare d(form, loop);
    WindowControls w;

    w.SSTab1 = d.add<TabControl>("SSTab1", form, {36, 108, 7608, 5160});
    static constexpr const char* kPageCaptions[] = {"Vask", "Kelu", "Chat", "Alive", "HTTP", "About"};
    for (int i = 0; i < int(w.pages.size()); ++i)
        w.pages[size_t(i)] =
            d.add<TabPage>("SSTab1Page", *w.SSTab1, {0, 0, 7608, 5160}, i).caption(kPageCaptions[i]);
    // The first page is selected: a new tab control starts on tab 0.

    // Shown by the "Tray" check box only; the box starts clear.
    w.cmdTray = d.add<Button>("cmdTray", form, {5112, 5328, 1092, 350}).caption("Tray").hidden();
    w.cmdExit = d.add<Button>("cmdExit", form, {6336, 5328, 1092, 350}).caption("Exit");

    // The tray icon's pop-up menu; hidden, so it never shows as a menu bar.
    w.mnuMain = d.add<Menu>("mnuMain", form, {}).caption("Menu").hidden();
    Menu& menu = *w.mnuMain;
    w.mnuAutoOnline = d.add<MenuItem>("mnuAutoOnline", menu, {}).caption("Online");
    w.mnuAutoOffline = d.add<MenuItem>("mnuAutoOffline", menu, {}).caption("Offline");
    w.mnuOpen = d.add<MenuItem>("mnuOpen", menu, {}).caption("Main");
    w.mnuRefreshIP = d.add<MenuItem>("mnuRefreshIP", menu, {}).caption("Refresh");
    w.mnuCopyToClipboard = d.add<MenuItem>("mnuCopyToClipboard", menu, {}).caption("Clipboard");
    w.mnuExit = d.add<MenuItem>("mnuExit", menu, {}).caption("Exit");

    vask_page(d, *w.pages[0], w);
    kelu_page(d, *w.pages[1], w);
    chat_page(d, *w.pages[2], w);
    alive_page(d, *w.pages[3], w);
    http_page(d, *w.pages[4], w);
    about_page(d, *w.pages[5], w);

    // The keep-alive minute timer belongs to the window, not to a page; the
    // keep-alive logic gives it its interval when switched on.
    w.aliveTimer1 = d.timer("aliveTimer1", form, 0, false);
    return w;
}

}  // namespace vask

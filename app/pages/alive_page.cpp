// The "Alive" page: the time-server lists, the chosen server, the local and
// GMT time of the last answer, and the keep-alive options. Its minute timer
// aliveTimer1 sits on the window (declare_window).
#include "app/pages/declare.h"

namespace vask::pages {

void alive_page(Declare& d, TabPage& page, WindowControls& w) {
    w.alivelstTimeServer = d.add<ListBox>("alivelstTimeServer", page, {288, 576, 6960, 1200});
    // Entry i holds the address of entry i of the visible list.
    w.alivelstTimeServerAddress =
        d.add<ListBox>("alivelstTimeServerAddress", page, {3060, 4032, 3396, 240}).hidden().disabled();
    w.alivetxtTimeServerName =
        d.add<TextBox>("alivetxtTimeServerName", page, {288, 1920, 6960, 288}).disabled();
    w.alivetxtTimeServerAddress =
        d.add<TextBox>("alivetxtTimeServerAddress", page, {288, 2268, 6960, 288}).disabled();

    w.alivefraFrame1 = d.add<Frame>("alivefraFrame1", page, {3060, 2844, 4188, 948}).caption("Time");
    Frame& time = *w.alivefraFrame1;
    w.alivelblLTLable = d.add<Label>("alivelblLTLable", time, {72, 252, 732, 264})
                            .caption("Local :")
                            .align(Label::Align::Right);
    w.alivelblLocalTime = d.add<Label>("alivelblLocalTime", time, {936, 252, 3144, 336})
                              .caption(".............")
                              .font(kArialBold);
    w.alivelblGMTLabel = d.add<Label>("alivelblGMTLabel", time, {108, 612, 696, 264})
                             .caption("GMT :")
                             .align(Label::Align::Right);
    w.alivelblGMTTime = d.add<Label>("alivelblGMTTime", time, {936, 576, 3144, 336})
                            .caption(".............")
                            .font(kArialBold);

    w.alivechkKeepAlive =
        d.add<CheckBox>("alivechkKeepAlive", page, {288, 2976, 2676, 228}).caption("Keep Alive");
    w.alivechkSetSysTime =
        d.add<CheckBox>("alivechkSetSysTime", page, {288, 3276, 2712, 192}).caption("Sync  System Time");
    w.alivechkNotify =
        d.add<CheckBox>("alivechkNotify", page, {288, 3528, 2676, 264}).caption("Notify On Error");
    // Queries always block: the box is never shown and never stored.
    w.alivechkBlocking = d.add<CheckBox>("alivechkBlocking", page, {900, 4752, 1344, 300})
                             .caption("Blocking")
                             .checked()
                             .hidden();

    w.alivetxtKeepAliveDelay = d.add<TextBox>("alivetxtKeepAliveDelay", page, {288, 4104, 400, 300})
                                   .align(TextBox::Align::Center)
                                   .text("10");
    w.alivelblInterval =
        d.add<Label>("alivelblInterval", page, {756, 4140, 2064, 252}).caption("Minute Interval");
    w.alivetxtCounter = d.add<TextBox>("alivetxtCounter", page, {288, 4464, 400, 300})
                            .read_only()
                            .colors(kDefaultColor, kLightGrey)
                            .no_tab_stop()
                            .text("0");
    w.alivelblElapsed = d.add<Label>("alivelblElapsed", page, {756, 4500, 1164, 252}).caption("Elapsed");

    w.aliveImage1 = d.add<Image>("aliveImage1", page, {2304, 4584, 384, 384}).picture(kProgramIcon);

    w.alivecmdList = d.add<Button>("alivecmdList", page, {3780, 4644, 1092, 350}).caption("List").hidden();
    w.alivecmdSave = d.add<Button>("alivecmdSave", page, {5040, 4644, 1092, 350}).caption("Save");
    w.alivecmdGetTime = d.add<Button>("alivecmdGetTime", page, {6288, 4640, 1092, 350}).caption("Get Time");
}

}  // namespace vask::pages

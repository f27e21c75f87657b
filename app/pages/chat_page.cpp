// The "Chat" page: address and name, the receive and send panes, the session
// buttons, the display options, the ringer and the port and time-out boxes.
#include "app/pages/declare.h"

namespace vask::pages {

void chat_page(Declare& d, TabPage& page, WindowControls& w) {
    w.chatlblAddress = d.add<Label>("chatlblAddress", page, {72, 504, 1020, 300}).caption("Address :");
    w.chattxtIPAddress = d.add<ComboBox>("chattxtIPAddress", page, {1152, 480, 1980, 288})
                             .style(ComboBox::Style::DropDownCombo)
                             .text("127.0.0.1");
    w.chatlblName = d.add<Label>("chatlblName", page, {3816, 504, 840, 264}).caption("Name :");
    // Empty until the stored name (default "NoName") is loaded.
    w.chattxtName = d.add<TextBox>("chattxtName", page, {4716, 480, 1668, 288}).max_length(20);
    w.chatImage1 = d.add<Image>("chatImage1", page, {6768, 432, 384, 384}).picture(kProgramIcon);

    w.chattxtReceive = d.add<TextBox>("chattxtReceive", page, {180, 972, 7248, 1848})
                           .multi_line()
                           .vertical_scroll_bar()
                           .read_only()
                           .colors(kDefaultColor, kWhite)
                           .font(kArial9);
    w.chattxtSend = d.add<TextBox>("chattxtSend", page, {180, 2880, 7248, 984})
                        .multi_line()
                        .vertical_scroll_bar()
                        .colors(kDefaultColor, kWhite)
                        .font(kArial9)
                        .disabled();

    w.chatlblStatuslbl =
        d.add<Label>("chatlblStatuslbl", page, {2400, 3936, 1272, 264}).caption("Socket Status :");
    w.chatlblStatusSocket1 =
        d.add<Label>("chatlblStatusSocket1", page, {3732, 3936, 3684, 300}).caption("Idle...");

    // Shown while "Ringer" is checked.
    w.chatchkRingOn =
        d.add<CheckBox>("chatchkRingOn", page, {180, 3960, 2028, 300}).caption("Ring Until Answer").hidden();
    w.chatchkRinger = d.add<CheckBox>("chatchkRinger", page, {168, 4224, 1164, 336}).caption("Ringer");
    w.chatlblRingeronoff = d.add<Label>("chatlblRingeronoff", page, {3360, 4272, 1512, 300})
                               .caption("Silence ringer")
                               .font(kArialBold)
                               .hidden();

    // Port and time-out change only through their dialogs (double-click).
    w.chatlblTimeout = d.add<Label>("chatlblTimeout", page, {1260, 4320, 912, 300}).caption("Timeout :");
    w.chattxtTimeout = d.add<TextBox>("chattxtTimeout", page, {2268, 4284, 840, 336})
                           .read_only()
                           .colors(kDefaultColor, kLightGrey)
                           .max_length(2)
                           .text("20");
    w.chatlblPort = d.add<Label>("chatlblPort", page, {1260, 4716, 912, 300}).caption("Port :");
    w.chattxtPort = d.add<TextBox>("chattxtPort", page, {2268, 4680, 840, 336})
                        .read_only()
                        .colors(kDefaultColor, kLightGrey)
                        .max_length(5)
                        .text("12480");

    w.chatchkLineFeed = d.add<CheckBox>("chatchkLineFeed", page, {180, 4536, 1308, 264}).caption("Line Feed");
    w.chatchkEcho = d.add<CheckBox>("chatchkEcho", page, {180, 4788, 1164, 264}).caption("Echo");

    w.chatcmdGreeting =
        d.add<Button>("chatcmdGreeting", page, {4032, 4860, 624, 204}).caption("Greeting").hidden();
    w.chatcmdHello = d.add<Button>("chatcmdHello", page, {5040, 4248, 1092, 350}).caption("Hello").disabled();
    w.chatcmdConnect = d.add<Button>("chatcmdConnect", page, {6300, 4248, 1092, 350}).caption("Connect");
    w.chatcmdTime = d.add<Button>("chatcmdTime", page, {5040, 4644, 1092, 350}).caption("Time").disabled();
    w.chatcmdReset =
        d.add<Button>("chatcmdReset", page, {6300, 4644, 1092, 350}).caption("Cancel").disabled();

    // Repeats the ring every five seconds with "Ring Until Answer".
    w.chatRingerTimer = d.timer("chatRingerTimer", page, 5000, false);
}

}  // namespace vask::pages

// The "Vask" page: the FTP server fields, the start-up and tray options, the
// publish buttons in their two panels, the transfer direction and the
// status bar.
#include "app/pages/declare.h"

namespace vask::pages {

void vask_page(Declare& d, TabPage& page, WindowControls& w) {
    w.vaskfraRemoteFrame =
        d.add<Frame>("vaskfraRemoteFrame", page, {108, 684, 4668, 2856}).caption("System Information");
    Frame& info = *w.vaskfraRemoteFrame;
    w.vasklblLabel1 = d.add<Label>("vasklblLabel1", info, {168, 288, 912, 264}).caption("Hostname:");
    w.vaskHostname =
        d.add<ComboBox>("vaskHostname", info, {1140, 252, 3400, 288}).style(ComboBox::Style::DropDownCombo);
    w.vasklblLabel2 = d.add<Label>("vasklblLabel2", info, {204, 684, 876, 264}).caption("IP Address:");
    w.vaskIPAddress = d.add<TextBox>("vaskIPAddress", info, {1140, 648, 2000, 300});
    w.vasklblLabel3 = d.add<Label>("vasklblLabel3", info, {204, 1116, 876, 264}).caption("Username:");
    w.vaskUserName = d.add<TextBox>("vaskUserName", info, {1140, 1080, 2000, 300});
    w.vasklblLabel4 = d.add<Label>("vasklblLabel4", info, {240, 1548, 840, 264}).caption("Password:");
    w.vaskPassword = d.add<TextBox>("vaskPassword", info, {1140, 1512, 2000, 300}).password('*');
    w.vasklblTimerDelayTime =
        d.add<Label>("vasklblTimerDelayTime", info, {3456, 1548, 552, 228}).caption("Delay:");
    w.vasktxtTimerDelayTime =
        d.add<TextBox>("vasktxtTimerDelayTime", info, {4068, 1512, 480, 300}).max_length(3).text("2");
    w.vasklblLabel5 = d.add<Label>("vasklblLabel5", info, {120, 1980, 960, 264}).caption("HTM File:");
    w.vasktxtLocalFile = d.add<TextBox>("vasktxtLocalFile", info, {1140, 1944, 3400, 300}).text("vask.htm");
    w.vasklblLabel6 = d.add<Label>("vasklblLabel6", info, {96, 2412, 984, 264}).caption("Remote Path:");
    w.vasktxtRemoteFile = d.add<TextBox>("vasktxtRemoteFile", info, {1140, 2376, 3400, 300});

    w.vaskchkManual = d.add<CheckBox>("vaskchkManual", page, {5040, 612, 2340, 228}).caption("Manual Mode");
    w.vaskchkTray = d.add<CheckBox>("vaskchkTray", page, {5040, 876, 1488, 216}).caption("Tray");
    w.vaskchkAutoOnline =
        d.add<CheckBox>("vaskchkAutoOnline", page, {5040, 1116, 2460, 216}).caption("Online On Startup");
    w.vaskchkAutoOffline =
        d.add<CheckBox>("vaskchkAutoOffline", page, {5040, 1356, 2460, 240}).caption("Offline On Shutdown");
    // Never shown: every transfer is binary.
    w.vaskchkBinaryTransfer = d.add<CheckBox>("vaskchkBinaryTransfer", page, {5040, 1584, 2328, 300})
                                  .caption("Binary Transfer Mode")
                                  .checked()
                                  .hidden();

    // Automatic mode: one click publishes. Shown unless "Manual Mode" is set.
    w.vaskPicture3 = d.add<Frame>("vaskPicture3", page, {6156, 2016, 1272, 912}).borderless();
    Frame& automatic = *w.vaskPicture3;
    w.vaskcmdAutomaticOn =
        d.add<Button>("vaskcmdAutomaticOn", automatic, {72, 84, 1092, 350}).caption("Online");
    w.vaskcmdAutomaticOff =
        d.add<Button>("vaskcmdAutomaticOff", automatic, {72, 440, 1092, 350}).caption("Offline");

    // Manual mode: the single steps, in the same place.
    w.vaskPicture1 = d.add<Frame>("vaskPicture1", page, {6156, 2016, 1272, 1632}).borderless().hidden();
    Frame& manual = *w.vaskPicture1;
    w.vaskcmdActionButton =
        d.add<Button>("vaskcmdActionButton", manual, {72, 84, 1092, 350}).caption("Connect");
    w.vaskcmdCreateHTM =
        d.add<Button>("vaskcmdCreateHTM", manual, {72, 440, 1092, 350}).caption("Online htm");
    w.vaskcmdCreateOUTHTM =
        d.add<Button>("vaskcmdCreateOUTHTM", manual, {72, 800, 1092, 350}).caption("Offline htm");
    w.vaskcmdCopyButton =
        d.add<Button>("vaskcmdCopyButton", manual, {72, 1160, 1092, 350}).caption("Copy").disabled();

    w.vaskPicture4 = d.add<Frame>("vaskPicture4", page, {6156, 3744, 1272, 912}).borderless();
    Frame& always = *w.vaskPicture4;
    w.vaskcmdSave = d.add<Button>("vaskcmdSave", always, {72, 72, 1092, 350}).caption("Save");
    w.vaskcmdRefreshIP =
        d.add<Button>("vaskcmdRefreshIP", always, {72, 432, 1092, 350}).caption("Refresh IP");

    w.vaskfraTransferFrame = d.add<Frame>("vaskfraTransferFrame", page, {2916, 3780, 2784, 804});
    Frame& transfer = *w.vaskfraTransferFrame;
    w.vaskchkLocalTransfer = d.add<OptionButton>("vaskchkLocalTransfer", transfer, {36, 144, 1536, 372})
                                 .caption("To Local System");
    w.vaskchkRemoteTransfer = d.add<OptionButton>("vaskchkRemoteTransfer", transfer, {36, 468, 1632, 252})
                                  .caption("To Remote System")
                                  .selected();

    w.vaskimgIcn = d.add<Image>("vaskimgIcn", page, {1044, 3996, 384, 384}).picture(kProgramIcon);

    w.vaskStatus = d.add<StatusBar>("vaskStatus", page, {72, 4716, 7464, 312});
    using Panel = StatusBar::Panel;
    Panel state;  // the FTP connection state
    state.alignment = Panel::Align::Center;
    state.width = state.min_width = 2117;
    w.vaskStatus->add_panel(state);
    Panel clock;  // kept by the status bar itself
    clock.alignment = Panel::Align::Center;
    clock.style = Panel::Style::Time;
    clock.width = clock.min_width = 1764;
    w.vaskStatus->add_panel(clock);
    Panel log;  // the FTP log; takes the rest of the width
    log.alignment = Panel::Align::Left;
    log.width = 9208;
    log.min_width = 2117;
    log.spring = true;
    w.vaskStatus->add_panel(log);

    // Runs only during the connection delay; the publish workflow starts it.
    w.vaskTimer1 = d.timer("vaskTimer1", page, 0, false);
}

}  // namespace vask::pages

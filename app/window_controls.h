#pragma once
// Every control of the window frmMain, under the name the rest of the program
// knows it by. declare_window() creates them all on the form with their
// captions, places, fonts, colours and design-time states; the handlers stay
// empty for the subsystems to fill in.
//
// Places are in twips relative to the parent. A tab page covers the whole tab
// control (its tab row included), so page-level places are relative to the
// top-left corner of SSTab1.
//
// The struct holds nothing but control pointers (single ones and std::array
// of them); the sockets and the window's state live elsewhere.
#include <array>

#include "desktop/controls.h"
#include "desktop/event_loop.h"
#include "desktop/form.h"

namespace vask {

struct WindowControls {
    // The window: tab control and its pages, the two buttons below it, the
    // tray menu, and the keep-alive timer that sits on the window itself.
    TabControl* SSTab1 = nullptr;
    std::array<TabPage*, 6> pages{};  // "Vask", "Kelu", "Chat", "Alive", "HTTP", "About"
    Button* cmdTray = nullptr;
    Button* cmdExit = nullptr;
    Menu* mnuMain = nullptr;
    MenuItem* mnuAutoOnline = nullptr;
    MenuItem* mnuAutoOffline = nullptr;
    MenuItem* mnuOpen = nullptr;
    MenuItem* mnuRefreshIP = nullptr;
    MenuItem* mnuCopyToClipboard = nullptr;
    MenuItem* mnuExit = nullptr;
    Timer* aliveTimer1 = nullptr;

    // Page 0, "Vask": server fields, options, publish buttons, status bar.
    StatusBar* vaskStatus = nullptr;
    Image* vaskimgIcn = nullptr;
    Frame* vaskfraRemoteFrame = nullptr;
    Label* vasklblLabel1 = nullptr;
    ComboBox* vaskHostname = nullptr;
    Label* vasklblLabel2 = nullptr;
    TextBox* vaskIPAddress = nullptr;
    Label* vasklblLabel3 = nullptr;
    TextBox* vaskUserName = nullptr;
    Label* vasklblLabel4 = nullptr;
    TextBox* vaskPassword = nullptr;
    Label* vasklblTimerDelayTime = nullptr;
    TextBox* vasktxtTimerDelayTime = nullptr;
    Label* vasklblLabel5 = nullptr;
    TextBox* vasktxtLocalFile = nullptr;
    Label* vasklblLabel6 = nullptr;
    TextBox* vasktxtRemoteFile = nullptr;
    CheckBox* vaskchkManual = nullptr;
    CheckBox* vaskchkTray = nullptr;
    CheckBox* vaskchkAutoOnline = nullptr;
    CheckBox* vaskchkAutoOffline = nullptr;
    CheckBox* vaskchkBinaryTransfer = nullptr;
    Frame* vaskPicture3 = nullptr;
    Button* vaskcmdAutomaticOn = nullptr;
    Button* vaskcmdAutomaticOff = nullptr;
    Frame* vaskPicture1 = nullptr;
    Button* vaskcmdActionButton = nullptr;
    Button* vaskcmdCreateHTM = nullptr;
    Button* vaskcmdCreateOUTHTM = nullptr;
    Button* vaskcmdCopyButton = nullptr;
    Frame* vaskPicture4 = nullptr;
    Button* vaskcmdSave = nullptr;
    Button* vaskcmdRefreshIP = nullptr;
    Frame* vaskfraTransferFrame = nullptr;
    OptionButton* vaskchkLocalTransfer = nullptr;
    OptionButton* vaskchkRemoteTransfer = nullptr;
    Timer* vaskTimer1 = nullptr;

    // Page 1, "Kelu": the twelve friend buttons, lookup status and setup.
    Frame* kelufraStatus = nullptr;
    Label* kelulblStatus = nullptr;
    Frame* kelufraButtons = nullptr;
    std::array<Button*, 12> kelucmdButton{};
    Frame* kelufraSettings = nullptr;
    Button* kelucmdSetup = nullptr;
    Button* kelucmdAbort = nullptr;
    CheckBox* keluchkChat = nullptr;
    CheckBox* keluchkClipboard = nullptr;
    Frame* kelufraSetup = nullptr;
    Label* kelulblHostname = nullptr;
    TextBox* kelutxtHostname = nullptr;
    Label* kelulblName = nullptr;
    TextBox* kelutxtName = nullptr;
    Button* kelucmdMemory = nullptr;
    Image* keluImage1 = nullptr;
    TextBox* kelutxtSourceView = nullptr;
    Button* kelucmdRetrieve = nullptr;
    TextBox* kelutxtServerPort = nullptr;
    Timer* keluTimer1 = nullptr;

    // Page 2, "Chat": address, name, the two text panes, options and ringer.
    Label* chatlblAddress = nullptr;
    ComboBox* chattxtIPAddress = nullptr;
    Label* chatlblName = nullptr;
    TextBox* chattxtName = nullptr;
    Image* chatImage1 = nullptr;
    TextBox* chattxtReceive = nullptr;
    TextBox* chattxtSend = nullptr;
    Label* chatlblStatuslbl = nullptr;
    Label* chatlblStatusSocket1 = nullptr;
    CheckBox* chatchkRingOn = nullptr;
    CheckBox* chatchkRinger = nullptr;
    Label* chatlblRingeronoff = nullptr;
    Label* chatlblTimeout = nullptr;
    TextBox* chattxtTimeout = nullptr;
    Label* chatlblPort = nullptr;
    TextBox* chattxtPort = nullptr;
    CheckBox* chatchkLineFeed = nullptr;
    CheckBox* chatchkEcho = nullptr;
    Button* chatcmdGreeting = nullptr;
    Button* chatcmdHello = nullptr;
    Button* chatcmdConnect = nullptr;
    Button* chatcmdTime = nullptr;
    Button* chatcmdReset = nullptr;
    Timer* chatRingerTimer = nullptr;

    // Page 3, "Alive": time servers, the time shown, keep-alive.
    ListBox* alivelstTimeServer = nullptr;
    ListBox* alivelstTimeServerAddress = nullptr;
    TextBox* alivetxtTimeServerName = nullptr;
    TextBox* alivetxtTimeServerAddress = nullptr;
    Frame* alivefraFrame1 = nullptr;
    Label* alivelblLTLable = nullptr;
    Label* alivelblLocalTime = nullptr;
    Label* alivelblGMTLabel = nullptr;
    Label* alivelblGMTTime = nullptr;
    CheckBox* alivechkKeepAlive = nullptr;
    CheckBox* alivechkSetSysTime = nullptr;
    CheckBox* alivechkNotify = nullptr;
    CheckBox* alivechkBlocking = nullptr;
    TextBox* alivetxtKeepAliveDelay = nullptr;
    Label* alivelblInterval = nullptr;
    TextBox* alivetxtCounter = nullptr;
    Label* alivelblElapsed = nullptr;
    Button* alivecmdGetTime = nullptr;
    Button* alivecmdSave = nullptr;
    Button* alivecmdList = nullptr;
    Image* aliveImage1 = nullptr;

    // Page 4, "HTTP": own page retrieval and the status page settings.
    Label* httplblLabel1 = nullptr;
    TextBox* httptxtHostname = nullptr;
    TextBox* httptxtSourceView = nullptr;
    Frame* httpfraHtmPage = nullptr;
    CheckBox* httpchkBackground = nullptr;
    TextBox* httpBgFileName = nullptr;
    std::array<Label*, 5> httplblBgColor{};  // background, title, text, message colour; messages
    TextBox* httptxtHtmBgColor = nullptr;
    TextBox* httptxtHtmTitleColor = nullptr;
    TextBox* httptxtHtmTextColor = nullptr;
    TextBox* httptxtHtmBaseColor = nullptr;
    CheckBox* httpchkHRule = nullptr;
    TextBox* httptxtHtmMessage1 = nullptr;
    TextBox* httptxtHtmMessage2 = nullptr;
    TextBox* httptxtHtmMessage3 = nullptr;
    TextBox* httptxtHtmMessage4 = nullptr;
    Label* httplblStatus = nullptr;
    Label* httplblError = nullptr;
    Image* httpImage1 = nullptr;
    Button* httpcmdSetup = nullptr;
    Button* httpcmdRetrieveButton = nullptr;
    TextBox* httptxtServerPort = nullptr;

    // Page 5, "About": program information and the help text.
    Frame* aboutfraFrame1 = nullptr;
    Label* aboutlblLabel3 = nullptr;
    Label* aboutlblLabel4 = nullptr;
    Label* aboutlblLabel5 = nullptr;
    Label* aboutlblLabel7 = nullptr;
    Label* aboutlblLabel6 = nullptr;
    Label* aboutlblTotalMem = nullptr;
    Image* aboutImage1 = nullptr;
    TextBox* abouttxtHelpWindow = nullptr;
    Button* aboutcmdHelp = nullptr;
};

// Declares every control of the window on form, which must be the form named
// "frmMain" (a form's name is given when it is made): caption "Vask", client
// area 7680 x 5736 twips, the program icon, and the controls above in their
// design-time state. No handler is set and no timer is left running.
WindowControls declare_window(Form& form, EventLoop& loop);

}  // namespace vask

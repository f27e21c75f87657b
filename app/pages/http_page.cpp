// The "HTTP" page: the own-page retrieval (address, source view, status line)
// and, in its place while "Show Setup" is on, the frame with the settings of
// the generated status page.
#include <string>

#include "app/pages/declare.h"

namespace vask::pages {

void http_page(Declare& d, TabPage& page, WindowControls& w) {
    w.httplblLabel1 = d.add<Label>("httplblLabel1", page, {324, 600, 876, 252}).caption("Address :");
    // Empty until the stored address (default "http://") is loaded.
    w.httptxtHostname = d.add<TextBox>("httptxtHostname", page, {1296, 576, 5868, 288});
    w.httptxtSourceView = d.add<TextBox>("httptxtSourceView", page, {396, 1008, 6780, 3072})
                              .multi_line()
                              .vertical_scroll_bar()
                              .read_only()
                              .colors(kDefaultColor, kWhite)
                              .font(kArial9)
                              .text("Press the Retrieve button to fetch your web page...\r\n");

    w.httpfraHtmPage =
        d.add<Frame>("httpfraHtmPage", page, {396, 576, 6756, 3468}).caption("HTM Page Setup").hidden();
    Frame& setup = *w.httpfraHtmPage;
    // Of the image file and the background colour only the one in effect is
    // editable; both start disabled until the settings are loaded.
    w.httpchkBackground =
        d.add<CheckBox>("httpchkBackground", setup, {144, 360, 1800, 288}).caption("Background Image");
    w.httpBgFileName =
        d.add<TextBox>("httpBgFileName", setup, {2040, 336, 4560, 300}).text("background.gif").disabled();

    static constexpr const char* kColorLabels[] = {
        "Background Color :", "Title Color :", "Text Color :", "Message Color :", "Messages :"};
    static constexpr Geometry kColorLabelPlaces[] = {{144, 828, 1560, 264},
                                                     {3276, 828, 1500, 264},
                                                     {144, 1260, 1560, 264},
                                                     {3276, 1260, 1500, 264},
                                                     {144, 2124, 1000, 264}};
    for (int i = 0; i < int(w.httplblBgColor.size()); ++i)
        w.httplblBgColor[size_t(i)] = d.add<Label>("httplblBgColor", setup, kColorLabelPlaces[i], i)
                                          .caption(kColorLabels[i])
                                          .align(Label::Align::Right);

    // Colours are six hex digits, RRGGBB.
    w.httptxtHtmBgColor = d.add<TextBox>("httptxtHtmBgColor", setup, {1764, 792, 840, 300})
                              .max_length(6)
                              .text("000000")
                              .disabled();
    w.httptxtHtmTitleColor =
        d.add<TextBox>("httptxtHtmTitleColor", setup, {4836, 792, 840, 300}).max_length(6).text("FF0000");
    w.httptxtHtmTextColor =
        d.add<TextBox>("httptxtHtmTextColor", setup, {1764, 1224, 840, 300}).max_length(6).text("0000FF");
    w.httptxtHtmBaseColor =
        d.add<TextBox>("httptxtHtmBaseColor", setup, {4836, 1224, 840, 300}).max_length(6).text("FFFFFF");

    w.httpchkHRule =
        d.add<CheckBox>("httpchkHRule", setup, {144, 1656, 2400, 288}).caption("Horizontal Rules");

    // Message 1 is the list's lead-in line, so its box starts further left.
    w.httptxtHtmMessage1 =
        d.add<TextBox>("httptxtHtmMessage1", setup, {1200, 2088, 5400, 300}).text("Message 1");
    w.httptxtHtmMessage2 =
        d.add<TextBox>("httptxtHtmMessage2", setup, {1500, 2424, 5100, 300}).text("Message 2");
    w.httptxtHtmMessage3 =
        d.add<TextBox>("httptxtHtmMessage3", setup, {1500, 2760, 5100, 300}).text("Message 3");
    w.httptxtHtmMessage4 =
        d.add<TextBox>("httptxtHtmMessage4", setup, {1500, 3096, 5100, 300}).text("Message 4");

    w.httplblStatus = d.add<Label>("httplblStatus", page, {72, 4392, 1536, 264}).caption("Socket Status :");
    w.httplblError = d.add<Label>("httplblError", page, {1632, 4392, 4548, 324}).caption("Idle...");
    w.httpImage1 = d.add<Image>("httpImage1", page, {144, 4680, 384, 384}).picture(kProgramIcon);
    w.httpcmdSetup = d.add<Button>("httpcmdSetup", page, {4428, 4572, 1400, 348}).caption("Show Setup");
    w.httpcmdRetrieveButton =
        d.add<Button>("httpcmdRetrieveButton", page, {5976, 4572, 1400, 350}).caption("Retrieve");
    w.httptxtServerPort =
        d.add<TextBox>("httptxtServerPort", page, {7248, 4200, 300, 288}).text("80").hidden().disabled();
}

}  // namespace vask::pages

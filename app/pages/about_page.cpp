// The "About" page: the program's name and version, where to find it, the
// memory figure, and the help text shown in place of the frame.
#include <string>

#include "about/program_info.h"
#include "app/pages/declare.h"

namespace vask::pages {

void about_page(Declare& d, TabPage& page, WindowControls& w) {
    w.aboutfraFrame1 = d.add<Frame>("aboutfraFrame1", page, {720, 648, 6204, 3684});
    Frame& about = *w.aboutfraFrame1;
    w.aboutlblLabel3 = d.add<Label>("aboutlblLabel3", about, {144, 792, 5412, 300})
                           .caption(std::string("Vask for Linux ") + VASK_VERSION +
                                    "  Copyright (C) the Vask for Linux developers")
                           .font(kArial9);
    w.aboutlblLabel4 = d.add<Label>("aboutlblLabel4", about, {324, 1332, 5556, 300})
                           .caption("The latest version of Vask can by found at :")
                           .font(kArial9);
    // Acts as a link: a click copies it, a double-click opens the browser.
    w.aboutlblLabel5 = d.add<Label>("aboutlblLabel5", about, {324, 1620, 5448, 300})
                           .caption(kHomePageAddress)
                           .font(kArial9)
                           .colors(kBlue, kDefaultColor);
    w.aboutlblLabel7 = d.add<Label>("aboutlblLabel7", about, {324, 1980, 5556, 336})
                           .caption(std::string("email questions or comments to :  ") + kContactAddress)
                           .font(kArial9);
    w.aboutlblLabel6 = d.add<Label>("aboutlblLabel6", about, {144, 2556, 2244, 336})
                           .caption("Total Physical Memory:")
                           .font(kArial9);
    // Filled in each time the page is selected.
    w.aboutlblTotalMem =
        d.add<Label>("aboutlblTotalMem", about, {2628, 2592, 1668, 300}).caption("MEMORY").font(kArial9);
    w.aboutImage1 = d.add<Image>("aboutImage1", about, {5220, 2880, 384, 384}).picture(kProgramIcon);

    // The help view: same place as the frame; one of the two is visible.
    w.abouttxtHelpWindow = d.add<TextBox>("abouttxtHelpWindow", page, {720, 756, 6204, 3576})
                               .multi_line()
                               .vertical_scroll_bar()
                               .read_only()
                               .colors(kDefaultColor, kWhite)
                               .hidden();
    w.aboutcmdHelp = d.add<Button>("aboutcmdHelp", page, {6300, 4608, 1092, 350}).caption("Help");
}

}  // namespace vask::pages

// The "Kelu" page: the lookup status line, the twelve friend buttons in three
// rows of four, the lookup options, and the setup frame for storing a friend.
#include <string>

#include "app/pages/declare.h"

namespace vask::pages {

void kelu_page(Declare& d, TabPage& page, WindowControls& w) {
    w.kelufraStatus = d.add<Frame>("kelufraStatus", page, {144, 432, 7320, 624}).caption("Status");
    w.kelulblStatus =
        d.add<Label>("kelulblStatus", *w.kelufraStatus, {144, 252, 7104, 336}).caption("Idle...");

    w.kelufraButtons =
        d.add<Frame>("kelufraButtons", page, {360, 1152, 6852, 1560}).caption("Friends Online");
    static constexpr int kLefts[] = {144, 1800, 3456, 5112};
    static constexpr int kTops[] = {324, 720, 1116};
    for (int n = 0; n < int(w.kelucmdButton.size()); ++n) {
        int height = n == 0 ? 348 : 350;
        w.kelucmdButton[size_t(n)] =
            d.add<Button>("kelucmdButton", *w.kelufraButtons, {kLefts[n % 4], kTops[n / 4], 1600, height}, n)
                .caption("..........");
    }

    w.kelufraSettings = d.add<Frame>("kelufraSettings", page, {360, 2808, 6852, 840});
    Frame& settings = *w.kelufraSettings;
    w.kelucmdSetup = d.add<Button>("kelucmdSetup", settings, {144, 288, 1600, 350}).caption("Show Setup");
    w.kelucmdAbort =
        d.add<Button>("kelucmdAbort", settings, {1836, 288, 1600, 350}).caption("Cancel").disabled();
    w.keluchkChat =
        d.add<CheckBox>("keluchkChat", settings, {4032, 180, 2784, 336}).caption("Open Chat if Online");
    w.keluchkClipboard =
        d.add<CheckBox>("keluchkClipboard", settings, {4032, 468, 2748, 300}).caption("Copy IP to Clipboard");

    w.kelufraSetup = d.add<Frame>("kelufraSetup", page, {360, 3744, 6852, 1236}).caption("Setup").hidden();
    Frame& setup = *w.kelufraSetup;
    w.kelulblHostname = d.add<Label>("kelulblHostname", setup, {72, 288, 1344, 264}).caption("Address :");
    w.kelutxtHostname = d.add<TextBox>("kelutxtHostname", setup, {1548, 252, 5160, 336}).text("http://");
    w.kelulblName = d.add<Label>("kelulblName", setup, {144, 684, 1272, 300}).caption("Button Name :");
    w.kelutxtName = d.add<TextBox>("kelutxtName", setup, {1548, 648, 2568, 336}).max_length(20);
    w.kelucmdMemory = d.add<Button>("kelucmdMemory", setup, {5616, 756, 1092, 350}).caption("Store");

    w.keluImage1 = d.add<Image>("keluImage1", page, {2304, 4032, 384, 384}).picture(kProgramIcon);

    // The lookup's working parts, never shown.
    w.kelutxtSourceView =
        d.add<TextBox>("kelutxtSourceView", page, {5688, 1476, 1812, 312}).multi_line().hidden();
    w.kelucmdRetrieve =
        d.add<Button>("kelucmdRetrieve", page, {6408, 1872, 1092, 350}).caption("Reload").hidden();
    w.kelutxtServerPort =
        d.add<TextBox>("kelutxtServerPort", page, {7272, 4716, 264, 336}).text("80").hidden();

    // Blinks the friend frame's caption while a store is pending.
    w.keluTimer1 = d.timer("keluTimer1", page, 500, false);
}

}  // namespace vask::pages

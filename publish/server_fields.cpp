// The FTP server fields of the "Vask" page and the rules that decide whether
// Connect may be pressed. A field counts as filled when its untrimmed text
// has a character; the rules never look at the connection state.
#include "app/main_window.h"
#include "app/subsystems.h"
#include "desktop/controls.h"

namespace vask {

void connect_server_fields(MainWindow& window) {
    WindowControls& c = window.c;
    auto filled = [](const std::string& text) { return !text.empty(); };
    auto server_given = [&c, filled] {
        return filled(c.vaskHostname->text()) || filled(c.vaskIPAddress->text());
    };
    auto full_rule = [&c, server_given, filled] {
        c.vaskcmdActionButton->set_enabled(server_given() && filled(c.vaskUserName->text()));
    };

    c.vaskHostname->on_change = full_rule;
    c.vaskUserName->on_change = full_rule;
    // An address typed alone is enough: this rule ignores the user name.
    c.vaskIPAddress->on_change = [&c, server_given] {
        c.vaskcmdActionButton->set_enabled(server_given());
    };

    // Host name and address are alternatives: a key typed into one empties
    // the other before the key changes the text.
    c.vaskHostname->on_key_press = [&c](int&) { c.vaskIPAddress->set_text(""); };
    c.vaskIPAddress->on_key_press = [&c](int&) { c.vaskHostname->set_text(""); };

    c.vaskHostname->on_got_focus = [&c] {
        c.vaskHostname->select(0, int(c.vaskHostname->text().size()));
    };
    c.vaskIPAddress->on_got_focus = [&c] {
        c.vaskIPAddress->select(0, int(c.vaskIPAddress->text().size()));
    };
    c.vaskcmdRefreshIP->on_click = [&window] { window.RefreshLocalAddress(); };
}

}  // namespace vask

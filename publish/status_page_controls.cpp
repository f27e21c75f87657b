// The page buttons of the "Vask" page and the page settings of the "HTTP" page.
#include "app/main_window.h"
#include "app/settings_loader.h"
#include "app/subsystems.h"
#include "publish/status_page.h"

namespace vask {

PageSettings PageSettingsFromControls(const MainWindow& window) {
    const WindowControls& c = window.c;
    PageSettings settings;
    settings.background_image = c.httpchkBackground->checked();
    settings.image_file = c.httpBgFileName->text();
    settings.bg_color = c.httptxtHtmBgColor->text();
    settings.base_color = c.httptxtHtmBaseColor->text();
    settings.title_color = c.httptxtHtmTitleColor->text();
    settings.text_color = c.httptxtHtmTextColor->text();
    settings.rules = c.httpchkHRule->checked();
    settings.messages = {c.httptxtHtmMessage1->text(), c.httptxtHtmMessage2->text(),
                         c.httptxtHtmMessage3->text(), c.httptxtHtmMessage4->text()};
    return settings;
}

namespace {

bool create_page(MainWindow& window, PageKind kind, Button& button) {
    button.set_enabled(false);
    auto read_clock = [&window] {
        SystemTime now = window.desktop.now();
        return std::pair{window.desktop.time_text(now), window.desktop.long_date_text(now)};
    };
    auto read_address = [&window] { return window.LocalAddress(); };
    std::optional<std::string> error =
        WriteStatusPage(kind, window.c.vasktxtLocalFile->text(), window.c.vaskUserName->text(),
                        read_address, read_clock, PageSettingsFromControls(window));
    button.set_enabled(true);
    if (error) window.ReportError(*error);
    return !error;
}

}  // namespace

void ApplyBackgroundRule(WindowControls& c) {
    bool image = c.httpchkBackground->checked();
    c.httptxtHtmBgColor->set_enabled(!image);
    c.httpBgFileName->set_enabled(image);
}

bool CreateOnlinePage(MainWindow& window) {
    return create_page(window, PageKind::Online, *window.c.vaskcmdCreateHTM);
}

bool CreateOfflinePage(MainWindow& window) {
    return create_page(window, PageKind::Offline, *window.c.vaskcmdCreateOUTHTM);
}

void connect_status_page(MainWindow& window) {
    WindowControls& c = window.c;
    c.vaskcmdCreateHTM->on_click = [&window] { CreateOnlinePage(window); };
    c.vaskcmdCreateOUTHTM->on_click = [&window] { CreateOfflinePage(window); };

    c.httpchkBackground->on_click = [&window] {
        ApplyBackgroundRule(window.c);
        window.settings.WriteSetting("httpchkBackground", check_box_text(window.c.httpchkBackground->value()));
    };
    c.httpchkHRule->on_click = [&window] {
        window.settings.WriteSetting("httpchkHRule", check_box_text(window.c.httpchkHRule->value()));
    };
    // Each box saves its whole text under its own name on every change.
    for (TextBox* box : {c.httpBgFileName, c.httptxtHtmBgColor, c.httptxtHtmBaseColor,
                         c.httptxtHtmTitleColor, c.httptxtHtmTextColor, c.httptxtHtmMessage1,
                         c.httptxtHtmMessage2, c.httptxtHtmMessage3, c.httptxtHtmMessage4}) {
        box->on_change = [&window, box] { window.settings.WriteSetting(box->name(), box->text()); };
    }
}

}  // namespace vask

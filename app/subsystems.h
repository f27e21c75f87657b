#pragma once
// Each subsystem connects the handlers of the controls it owns.
namespace vask {

class MainWindow;

void connect_server_fields(MainWindow& window);
void connect_status_page(MainWindow& window);
void connect_publish_workflow(MainWindow& window);  // the page buttons and the page settings
void connect_chat_settings(MainWindow& window);
void connect_own_page_settings(MainWindow& window);

inline void connect_subsystems(MainWindow& window) {
    connect_server_fields(window);
    connect_status_page(window);
    connect_publish_workflow(window);
    connect_chat_settings(window);
    connect_own_page_settings(window);
}

}  // namespace vask

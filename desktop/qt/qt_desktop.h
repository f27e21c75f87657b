#pragma once
// The desktop services on Qt: dialogs, clipboard, pointer, the tray icon, the
// pop-up menu, sound, programs, the clock and the end of the process.
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

#include "desktop/desktop.h"

class QWidget;

namespace vask {

class Form;

class QtDesktop : public QObject, public Desktop {
    Q_OBJECT
public:
    QtDesktop();
    ~QtDesktop() override;

    // The window the services belong to: dialogs open over it, the tray icon
    // reports to its form, and it is what leaves the task list.
    void attach(Form& form, QWidget* window);

    MessageAnswer message_box(const MessageBoxRequest& request) override;
    std::string input_box(const std::string& prompt, const std::string& title,
                          const std::string& default_text) override;
    void clipboard_clear() override;
    void clipboard_set_text(const std::string& text) override;
    void beep() override;
    void set_busy_pointer(bool busy) override;
    ScreenSize screen_size() override;
    void remove_from_task_list() override;
    bool notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void popup_menu(Menu& menu) override;
    void play_sound(const std::string& path) override;
    bool set_system_clock(SystemTime time, std::string& error) override;
    std::uint64_t total_physical_memory() override;
    bool start_program(const std::vector<std::string>& argv) override;
    SystemTime now() override;
    std::string time_text(SystemTime time) override;
    std::string long_date_text(SystemTime time) override;
    // Flushes the standard streams and leaves the process at once: no
    // destructor, no handler, nothing else runs. Tests override it.
    void end_program(int status) override;

    QSystemTrayIcon* tray_icon() const { return tray_.get(); }
    int busy_depth() const { return busy_depth_; }

    // What a tray activation delivers to the form: a mouse move whose x is
    // the mouse message number in pixels (515 double-click, 517 right button up).
    void tray_activated(QSystemTrayIcon::ActivationReason reason);

private:
    QWidget* dialog_parent() const;

    Form* form_ = nullptr;
    QPointer<QWidget> window_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    int busy_depth_ = 0;
    void (*play_)(const char* path) = nullptr;  // from the sound plugin, loaded at the first sound
    bool sound_looked_up_ = false;
};

}  // namespace vask

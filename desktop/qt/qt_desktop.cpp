#include "desktop/qt/qt_desktop.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <QLibrary>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>

#include "desktop/controls.h"
#include "desktop/form.h"
#include "desktop/qt/resources.h"
#include "desktop/user_time_format.h"

namespace vask {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None: return QMessageBox::NoIcon;
        case MessageIcon::Critical: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

std::vector<std::pair<QMessageBox::StandardButton, MessageAnswer>> box_buttons(MessageButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
        case MessageButtons::Ok: return {{B::Ok, MessageAnswer::Ok}};
        case MessageButtons::OkCancel: return {{B::Ok, MessageAnswer::Ok}, {B::Cancel, MessageAnswer::Cancel}};
        case MessageButtons::YesNo: return {{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}};
        case MessageButtons::YesNoCancel:
            return {{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}, {B::Cancel, MessageAnswer::Cancel}};
    }
    return {{B::Ok, MessageAnswer::Ok}};
}

}  // namespace

QtDesktop::QtDesktop() = default;

QtDesktop::~QtDesktop() = default;

void QtDesktop::attach(Form& form, QWidget* window) {
    form_ = &form;
    window_ = window;
}

QWidget* QtDesktop::dialog_parent() const {
    return window_ && window_->isVisible() ? window_.data() : nullptr;
}

MessageAnswer QtDesktop::message_box(const MessageBoxRequest& request) {
    QMessageBox box(dialog_parent());
    box.setWindowTitle(qs(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(qs(request.text));
    box.setIcon(box_icon(request.icon));
    auto buttons = box_buttons(request.buttons);
    std::map<QAbstractButton*, MessageAnswer> answers;
    std::vector<QPushButton*> made;
    for (auto [standard, answer] : buttons) {
        QPushButton* button = box.addButton(standard);
        answers[button] = answer;
        made.push_back(button);
        if (answer == MessageAnswer::Cancel) box.setEscapeButton(button);
    }
    if (buttons.size() == 1) box.setEscapeButton(made.front());
    size_t index = size_t(std::clamp(request.default_button, 0, int(made.size()) - 1));
    box.setDefaultButton(made[index]);
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end()) return it->second;
    // Closed without a button: what its escape button would have answered.
    return buttons.back().second;
}

std::string QtDesktop::input_box(const std::string& prompt, const std::string& title,
                                 const std::string& default_text) {
    bool ok = false;
    QString text = QInputDialog::getText(dialog_parent(), qs(title), qs(prompt), QLineEdit::Normal,
                                         qs(default_text), &ok);
    return ok ? text.toStdString() : std::string();
}

void QtDesktop::clipboard_clear() { QGuiApplication::clipboard()->clear(); }

void QtDesktop::clipboard_set_text(const std::string& text) {
    QGuiApplication::clipboard()->setText(qs(text));
}

void QtDesktop::beep() { QApplication::beep(); }

void QtDesktop::set_busy_pointer(bool busy) {
    // Nested on/off pairs balance: the pointer returns with the last "off".
    if (busy) {
        if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::BusyCursor);
    } else if (busy_depth_ > 0) {
        if (--busy_depth_ == 0) QApplication::restoreOverrideCursor();
    }
}

ScreenSize QtDesktop::screen_size() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    QRect r = screen->geometry();
    return {r.width() * kTwipsPerPixel, r.height() * kTwipsPerPixel};
}

void QtDesktop::remove_from_task_list() {
    // A tool window has no task-bar entry. Changing the flags unmaps a shown
    // window, so it is shown again where it was.
    if (!window_ || window_->windowFlags().testFlag(Qt::Tool)) return;
    bool shown = window_->isVisible();
    QPoint where = window_->pos();
    window_->setWindowFlag(Qt::Tool, true);
    if (shown) {
        window_->move(where);
        window_->show();
    }
}

bool QtDesktop::notify_icon(NotifyIconMessage message, const NotifyIconRecord& record) {
    switch (message) {
        case NotifyIconMessage::Add: {
            if (tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) return false;
            tray_ = std::make_unique<QSystemTrayIcon>(program_icon());
            tray_->setToolTip(qs(record.tip_text()));
            // Queued: the form's handler may open a menu, which should not run
            // inside the tray's own signal.
            connect(tray_.get(), &QSystemTrayIcon::activated, this, &QtDesktop::tray_activated,
                    Qt::QueuedConnection);
            tray_->show();
            return true;
        }
        case NotifyIconMessage::Modify:
            if (!tray_) return false;
            tray_->setToolTip(qs(record.tip_text()));
            return true;
        case NotifyIconMessage::Delete:
            if (!tray_) return false;
            tray_->hide();
            tray_.reset();
            return true;
    }
    return false;
}

void QtDesktop::tray_activated(QSystemTrayIcon::ActivationReason reason) {
    constexpr int kLeftDoubleClick = 515;  // 0x203
    constexpr int kRightButtonUp = 517;    // 0x205
    int message = 0;
    if (reason == QSystemTrayIcon::DoubleClick) message = kLeftDoubleClick;
    else if (reason == QSystemTrayIcon::Context) message = kRightButtonUp;
    else return;
    if (form_ && form_->on_mouse_move) form_->on_mouse_move(0, 0, message * kTwipsPerPixel, 0);
}

void QtDesktop::popup_menu(Menu& menu) {
    QMenu popup;
    std::map<QAction*, Control*> items;
    for (Control* child : menu.children()) {
        if (child->kind() != ControlKind::MenuItem || !child->visible()) continue;
        auto* item = static_cast<MenuItem*>(child);
        if (item->caption() == "-") {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(qs(item->caption()));
        action->setEnabled(item->enabled());
        action->setCheckable(item->checked());
        action->setChecked(item->checked());
        action->setObjectName(qs(item->name()));
        items[action] = item;
    }
    QAction* chosen = popup.exec(QCursor::pos());
    auto it = items.find(chosen);
    if (it != items.end()) it->second->click();
}

void QtDesktop::play_sound(const std::string& path) {
    if (!sound_looked_up_) {
        sound_looked_up_ = true;
#ifdef VASK_SOUND_PLUGIN_DIR
        // Beside the program in a build, in the library folder once installed.
        const QString program_dir = QCoreApplication::applicationDirPath();
        for (const QString& dir : {program_dir, program_dir + "/" VASK_SOUND_PLUGIN_DIR}) {
            auto* plugin = new QLibrary(dir + "/vask-sound", this);
            if (auto play = reinterpret_cast<void (*)(const char*)>(plugin->resolve("vask_play_sound"))) {
                play_ = play;
                break;
            }
            delete plugin;
        }
#endif
    }
    if (play_) play_(path.c_str());  // else: silence
}

bool QtDesktop::set_system_clock(SystemTime time, std::string& error) {
    auto since_epoch = time.time_since_epoch();
    auto seconds = std::chrono::floor<std::chrono::seconds>(since_epoch);
    timespec ts{};
    ts.tv_sec = time_t(seconds.count());
    ts.tv_nsec = long(std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch - seconds).count());
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return true;
    error = std::strerror(errno);
    return false;
}

std::uint64_t QtDesktop::total_physical_memory() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    return std::uint64_t(pages) * std::uint64_t(page_size);
}

bool QtDesktop::start_program(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty()) return false;
    QStringList args;
    for (size_t i = 1; i < argv.size(); ++i) args << qs(argv[i]);
    return QProcess::startDetached(qs(argv.front()), args);
}

SystemTime QtDesktop::now() { return std::chrono::system_clock::now(); }

std::string QtDesktop::time_text(SystemTime time) { return user_time_text(time); }

std::string QtDesktop::long_date_text(SystemTime time) { return user_long_date_text(time); }

void QtDesktop::end_program(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    _exit(status);
}

}  // namespace vask

#pragma once
// The program's event loop on top of Qt's: timers are QTimers, descriptor
// watches are QSocketNotifiers, posted callbacks are queued calls, and a wait
// runs Qt's loop (painting, input, everything) until its condition holds.
#include <QObject>

#include <map>
#include <memory>
#include <vector>

#include "desktop/event_loop.h"

class QEventLoop;
class QSocketNotifier;
class QTimer;

namespace vask {

class QtEventLoop final : public EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;

    Id start_timer(int interval_ms, Callback on_tick) override;
    void stop_timer(Id timer) override;
    Id watch_fd(int fd, bool want_read, bool want_write, FdCallback on_ready) override;
    void update_watch(Id watch, bool want_read, bool want_write) override;
    void unwatch(Id watch) override;
    void post(Callback callback) override;
    void do_events() override;
    bool wait_until(const std::function<bool()>& done, int timeout_ms) override;
    void run() override;
    void quit() override;

private:
    struct TimerEntry;
    struct WatchEntry;

    void tick(Id id);
    void descriptor_ready(Id id);
    static void enable_notifiers(WatchEntry& watch);

    QObject context_;  // receives posted callbacks; dropping it drops what is still queued
    Id next_id_ = 1;
    std::map<Id, std::shared_ptr<TimerEntry>> timers_;
    std::map<Id, std::shared_ptr<WatchEntry>> watches_;
    std::vector<QEventLoop*> running_;  // nested run() calls, innermost last
};

}  // namespace vask

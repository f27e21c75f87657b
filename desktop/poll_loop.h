#pragma once
// The headless event loop, on poll(2). The tests and the core run on it; the
// desktop program drives the same interface from Qt's loop instead.
#include <chrono>
#include <deque>
#include <map>

#include "desktop/event_loop.h"

namespace vask {

class PollLoop final : public EventLoop {
public:
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
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds interval;
        Clock::time_point due;
        Callback on_tick;
        bool running = false;  // guards against re-entry of its own tick
    };
    struct Watch {
        int fd;
        bool want_read;
        bool want_write;
        FdCallback on_ready;
        bool running = false;
    };

    // One pass: waits at most max_wait_ms for descriptors, then runs what is due.
    void run_once(int max_wait_ms);
    int ms_until_next_timer() const;
    void run_posted();
    void run_due_timers();
    void poll_descriptors(int wait_ms);

    Id next_id_ = 1;
    std::map<Id, Timer> timers_;
    std::map<Id, Watch> watches_;
    std::deque<Callback> posted_;
    int quit_requests_ = 0;
};

}  // namespace vask

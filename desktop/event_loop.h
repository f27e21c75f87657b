#pragma once
// The one event loop every part of the program runs on. There is a single
// thread; long actions wait by running other events (wait_until), so handlers
// may be re-entered and nothing is locked.
#include <cstdint>
#include <functional>

namespace vask {

struct FdReady {
    bool readable = false;
    bool writable = false;
    bool error = false;  // hang-up or error condition on the descriptor
};

class EventLoop {
public:
    using Id = std::uint64_t;
    using Callback = std::function<void()>;
    using FdCallback = std::function<void(FdReady)>;

    virtual ~EventLoop() = default;

    // A repeating timer; an interval of 0 or less never ticks.
    virtual Id start_timer(int interval_ms, Callback on_tick) = 0;
    virtual void stop_timer(Id timer) = 0;

    // Calls on_ready while the descriptor is ready for what is asked.
    virtual Id watch_fd(int fd, bool want_read, bool want_write, FdCallback on_ready) = 0;
    virtual void update_watch(Id watch, bool want_read, bool want_write) = 0;
    virtual void unwatch(Id watch) = 0;

    // Runs the callback soon, from the loop, after the current handler returns.
    virtual void post(Callback callback) = 0;

    // Runs every event that is ready now, without waiting.
    virtual void do_events() = 0;

    // Runs events until done() holds or timeout_ms passes (negative: no limit).
    // Returns done() at the end.
    virtual bool wait_until(const std::function<bool()>& done, int timeout_ms) = 0;

    // Runs events until quit() is called.
    virtual void run() = 0;
    virtual void quit() = 0;
};

}  // namespace vask

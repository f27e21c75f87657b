#include "desktop/poll_loop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace vask {

EventLoop::Id PollLoop::start_timer(int interval_ms, Callback on_tick) {
    Id id = next_id_++;
    if (interval_ms <= 0) return id;  // never ticks, but stop_timer(id) is harmless
    auto interval = std::chrono::milliseconds(interval_ms);
    timers_[id] = Timer{interval, Clock::now() + interval, std::move(on_tick)};
    return id;
}

void PollLoop::stop_timer(Id timer) { timers_.erase(timer); }

EventLoop::Id PollLoop::watch_fd(int fd, bool want_read, bool want_write, FdCallback on_ready) {
    Id id = next_id_++;
    watches_[id] = Watch{fd, want_read, want_write, std::move(on_ready)};
    return id;
}

void PollLoop::update_watch(Id watch, bool want_read, bool want_write) {
    auto it = watches_.find(watch);
    if (it == watches_.end()) return;
    it->second.want_read = want_read;
    it->second.want_write = want_write;
}

void PollLoop::unwatch(Id watch) { watches_.erase(watch); }

void PollLoop::post(Callback callback) { posted_.push_back(std::move(callback)); }

void PollLoop::do_events() { run_once(0); }

bool PollLoop::wait_until(const std::function<bool()>& done, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    while (!done()) {
        int wait = ms_until_next_timer();
        if (!posted_.empty()) wait = 0;
        if (timeout_ms >= 0) {
            auto now = Clock::now();
            if (now >= deadline) return done();
            // Round up so a wait never ends a fraction of a millisecond early.
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
            wait = wait < 0 ? int(left) : std::min<long long>(wait, left);
        }
        run_once(wait);
    }
    return true;
}

void PollLoop::run() {
    int entry_quits = quit_requests_;
    while (quit_requests_ == entry_quits) {
        int wait = posted_.empty() ? ms_until_next_timer() : 0;
        if (wait < 0 && watches_.empty() && posted_.empty()) break;  // nothing can ever happen
        run_once(wait);
    }
    if (quit_requests_ > entry_quits) --quit_requests_;
}

void PollLoop::quit() { ++quit_requests_; }

void PollLoop::run_once(int max_wait_ms) {
    poll_descriptors(max_wait_ms);
    run_due_timers();
    run_posted();
}

int PollLoop::ms_until_next_timer() const {
    if (timers_.empty()) return -1;
    auto now = Clock::now();
    auto next = Clock::time_point::max();
    for (const auto& [id, timer] : timers_)
        if (!timer.running) next = std::min(next, timer.due);
    if (next == Clock::time_point::max()) return -1;
    if (next <= now) return 0;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
    return int(ms) + 1;
}

void PollLoop::run_posted() {
    // Only what was posted before this pass: a callback that posts again waits
    // for the next pass instead of starving descriptors and timers.
    size_t count = posted_.size();
    for (size_t i = 0; i < count && !posted_.empty(); ++i) {
        Callback callback = std::move(posted_.front());
        posted_.pop_front();
        callback();
    }
}

void PollLoop::run_due_timers() {
    if (timers_.empty()) return;
    auto now = Clock::now();
    // A nested pass (a tick that waits) must not reuse the outer pass's list.
    std::vector<Id> due;
    for (const auto& [id, timer] : timers_)
        if (!timer.running && timer.due <= now) due.push_back(id);
    for (Id id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end() || it->second.running) continue;  // stopped by an earlier tick
        Timer& timer = it->second;
        // Next tick counts from now: a late tick is not followed by a burst.
        timer.due = now + timer.interval;
        timer.running = true;
        Callback tick = timer.on_tick;  // the handler may stop and erase this timer
        tick();
        auto again = timers_.find(id);
        if (again != timers_.end()) again->second.running = false;
    }
}

void PollLoop::poll_descriptors(int wait_ms) {
    // Passes nest (a handler may wait), so each has its own lists; they are
    // small and kept on the stack for the usual handful of descriptors.
    constexpr size_t kInline = 16;
    pollfd inline_fds[kInline];
    Id inline_ids[kInline];
    std::vector<pollfd> more_fds;
    std::vector<Id> more_ids;
    pollfd* fds = inline_fds;
    Id* ids = inline_ids;
    if (watches_.size() > kInline) {
        more_fds.resize(watches_.size());
        more_ids.resize(watches_.size());
        fds = more_fds.data();
        ids = more_ids.data();
    }
    size_t count = 0;
    for (const auto& [id, watch] : watches_) {
        if (watch.running || (!watch.want_read && !watch.want_write)) continue;
        short events = short((watch.want_read ? POLLIN : 0) | (watch.want_write ? POLLOUT : 0));
        fds[count] = pollfd{watch.fd, events, 0};
        ids[count] = id;
        ++count;
    }
    if (count == 0 && wait_ms == 0) return;
    int ready = ::poll(fds, count, wait_ms);
    if (ready <= 0) return;  // time-out, or EINTR: the caller loops again
    for (size_t i = 0; i < count; ++i) {
        if (fds[i].revents == 0) continue;
        auto it = watches_.find(ids[i]);
        if (it == watches_.end() || it->second.running) continue;
        FdReady what{(fds[i].revents & (POLLIN | POLLHUP)) != 0, (fds[i].revents & POLLOUT) != 0,
                     (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0};
        it->second.running = true;
        FdCallback on_ready = it->second.on_ready;
        on_ready(what);
        auto again = watches_.find(ids[i]);
        if (again != watches_.end()) again->second.running = false;
    }
}

}  // namespace vask

#include "desktop/qt/qt_event_loop.h"

#include <poll.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>

namespace vask {

struct QtEventLoop::TimerEntry {
    QTimer* timer = nullptr;  // child of context_
    Callback on_tick;
    bool running = false;  // its own tick is still running (it may be waiting)
};

struct QtEventLoop::WatchEntry {
    int fd = -1;
    bool want_read = false;
    bool want_write = false;
    FdCallback on_ready;
    QSocketNotifier* read = nullptr;  // children of context_
    QSocketNotifier* write = nullptr;
    bool running = false;
};

namespace {

// Stops a Qt object that may be in the middle of emitting the signal that led
// here, and deletes it once control is back in the loop.
template <class T>
void retire(T*& object) {
    if (!object) return;
    if constexpr (std::is_same_v<T, QTimer>) object->stop();
    else object->setEnabled(false);
    object->deleteLater();
    object = nullptr;
}

}  // namespace

QtEventLoop::QtEventLoop() = default;

QtEventLoop::~QtEventLoop() {
    for (QEventLoop* loop : running_) loop->quit();
}

EventLoop::Id QtEventLoop::start_timer(int interval_ms, Callback on_tick) {
    Id id = next_id_++;
    if (interval_ms <= 0) return id;  // never ticks; stop_timer(id) stays harmless
    auto entry = std::make_shared<TimerEntry>();
    entry->on_tick = std::move(on_tick);
    entry->timer = new QTimer(&context_);
    entry->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(entry->timer, &QTimer::timeout, &context_, [this, id] { tick(id); });
    entry->timer->start(interval_ms);
    timers_[id] = std::move(entry);
    return id;
}

void QtEventLoop::stop_timer(Id timer) {
    auto it = timers_.find(timer);
    if (it == timers_.end()) return;
    retire(it->second->timer);
    timers_.erase(it);
}

void QtEventLoop::tick(Id id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    std::shared_ptr<TimerEntry> entry = it->second;  // the tick may stop and erase it
    if (entry->running) return;  // ticks that fall due while it waits are dropped
    entry->running = true;
    Callback on_tick = entry->on_tick;
    on_tick();
    entry->running = false;
}

EventLoop::Id QtEventLoop::watch_fd(int fd, bool want_read, bool want_write, FdCallback on_ready) {
    Id id = next_id_++;
    auto entry = std::make_shared<WatchEntry>();
    entry->fd = fd;
    entry->want_read = want_read;
    entry->want_write = want_write;
    entry->on_ready = std::move(on_ready);
    entry->read = new QSocketNotifier(fd, QSocketNotifier::Read, &context_);
    entry->write = new QSocketNotifier(fd, QSocketNotifier::Write, &context_);
    for (QSocketNotifier* notifier : {entry->read, entry->write}) {
        notifier->setEnabled(false);
        QObject::connect(notifier, &QSocketNotifier::activated, &context_,
                         [this, id] { descriptor_ready(id); });
    }
    enable_notifiers(*entry);
    watches_[id] = std::move(entry);
    return id;
}

void QtEventLoop::update_watch(Id watch, bool want_read, bool want_write) {
    auto it = watches_.find(watch);
    if (it == watches_.end()) return;
    WatchEntry& entry = *it->second;
    entry.want_read = want_read;
    entry.want_write = want_write;
    if (!entry.running) enable_notifiers(entry);  // else: when its callback returns
}

void QtEventLoop::unwatch(Id watch) {
    auto it = watches_.find(watch);
    if (it == watches_.end()) return;
    retire(it->second->read);
    retire(it->second->write);
    watches_.erase(it);
}

void QtEventLoop::enable_notifiers(WatchEntry& watch) {
    if (watch.read) watch.read->setEnabled(watch.want_read);
    if (watch.write) watch.write->setEnabled(watch.want_write);
}

void QtEventLoop::descriptor_ready(Id id) {
    auto it = watches_.find(id);
    if (it == watches_.end()) return;
    std::shared_ptr<WatchEntry> entry = it->second;
    if (entry->running || (!entry->want_read && !entry->want_write)) return;
    // The notifier only says "something"; ask the descriptor what, so the
    // callback sees exactly what the headless loop would report.
    pollfd p{entry->fd, short((entry->want_read ? POLLIN : 0) | (entry->want_write ? POLLOUT : 0)), 0};
    if (::poll(&p, 1, 0) <= 0 || p.revents == 0) return;
    FdReady what{(p.revents & (POLLIN | POLLHUP)) != 0, (p.revents & POLLOUT) != 0,
                 (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0};
    // While the callback runs (and perhaps waits) the descriptor stays quiet;
    // a level-triggered notifier would otherwise fire in every nested pass.
    entry->running = true;
    if (entry->read) entry->read->setEnabled(false);
    if (entry->write) entry->write->setEnabled(false);
    FdCallback on_ready = entry->on_ready;
    on_ready(what);
    entry->running = false;
    auto again = watches_.find(id);
    if (again != watches_.end() && again->second == entry) enable_notifiers(*entry);
}

void QtEventLoop::post(Callback callback) {
    QMetaObject::invokeMethod(&context_, std::move(callback), Qt::QueuedConnection);
}

void QtEventLoop::do_events() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool QtEventLoop::wait_until(const std::function<bool()>& done, int timeout_ms) {
    using Clock = std::chrono::steady_clock;
    if (done()) return true;
    if (timeout_ms == 0) return done();
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    // A timer whose only job is to wake the dispatcher at the deadline.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (timeout_ms > 0) {
            auto now = Clock::now();
            if (now >= deadline) return done();
            if (!wake.isActive()) {
                // Round up so the wait never ends a fraction of a millisecond early.
                auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
                wake.start(int(std::max<long long>(left, 1)));
            }
        }
        // Returns after at least one event was handled: a click, a paint, a
        // tick, a descriptor, a posted callback or the wake-up above. Whichever
        // it was may have made done() true, so it is asked again each pass.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void QtEventLoop::run() {
    QEventLoop loop;
    running_.push_back(&loop);
    loop.exec();
    running_.pop_back();
}

void QtEventLoop::quit() {
    if (!running_.empty()) running_.back()->quit();
}

}  // namespace vask

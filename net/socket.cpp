#include "net/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "net/hosts_file.h"
#include "net/resolve.h"

namespace vask {

namespace {

// Which Socket owns each descriptor, so that attach() can take a pending
// connection from its listener and refuse a descriptor already in use.
struct Owner {
    Socket* socket;
    bool pending;  // accepted by a listener, not yet attached
};

std::mutex registry_mutex;
std::unordered_map<int, Owner>& registry() {
    static std::unordered_map<int, Owner> owners;
    return owners;
}

void register_fd(int fd, Socket* owner, bool pending) {
    std::lock_guard lock(registry_mutex);
    registry()[fd] = Owner{owner, pending};
}

void unregister_fd(int fd) {
    std::lock_guard lock(registry_mutex);
    registry().erase(fd);
}

bool find_owner(int fd, Owner& owner) {
    std::lock_guard lock(registry_mutex);
    auto it = registry().find(fd);
    if (it == registry().end()) return false;
    owner = it->second;
    return true;
}

sockaddr_in make_address(std::uint32_t address, int port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = address;
    result.sin_port = htons(static_cast<std::uint16_t>(port));
    return result;
}

bool would_block(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// Sends what the system takes now. Returns the count (0 when it takes
// nothing), or -1 with errno set.
ssize_t send_now(int fd, const char* data, std::size_t size) {
    for (;;) {
        ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0) return sent;
        if (errno == EINTR) continue;
        if (would_block(errno)) return 0;
        return -1;
    }
}

int elapsed_ms(std::chrono::steady_clock::time_point since) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - since);
    return static_cast<int>(std::min<long long>(ms.count(), 0x7fffffff));
}

}  // namespace

Socket::Socket(EventLoop& loop, int index)
    : loop_(loop), index_(index), alive_(std::make_shared<bool>(true)) {}

Socket::~Socket() {
    disarm_watchdog();
    close_descriptor(0);
    *alive_ = false;
}

// --- Settings ---

int Socket::fail(int error) {
    last_error_ = error;
    return -1;
}

bool Socket::reject(int error) {
    last_error_ = error;
    return false;
}

bool Socket::set_address_family(int family) {
    return family == kInternet ? true : reject(EAFNOSUPPORT);
}

bool Socket::set_socket_type(int type) { return type == kStream ? true : reject(ESOCKTNOSUPPORT); }

bool Socket::set_protocol(int protocol) {
    if (protocol != kProtocolDefault && protocol != kProtocolTcp) return reject(EPROTONOSUPPORT);
    protocol_ = protocol;
    return true;
}

void Socket::set_blocking(bool on) {
    blocking_ = on;
    update_interest();  // a non-blocking listener accepts by itself
}

bool Socket::set_buffer_size(int bytes) {
    if (bytes < 1 || bytes > kMaxBufferSize) return reject(EINVAL);
    buffer_size_ = bytes;
    update_interest();
    return true;
}

bool Socket::set_remote_host(const std::string& host) {
    std::uint32_t address = 0;
    if (int error = net::resolve_ipv4(host, hosts_file_, address)) return reject(error);
    remote_host_ = host;
    remote_addr_ = address;
    remote_resolved_ = true;
    return true;
}

std::string Socket::remote_address() const {
    return remote_resolved_ ? net::format_dotted(remote_addr_) : std::string();
}

bool Socket::set_remote_port(int port) {
    if (port < 0 || port > 65535) return reject(EINVAL);
    remote_port_ = port;
    return true;
}

bool Socket::set_remote_service(const std::string& service) {
    int port = 0;
    if (int error = net::parse_service(service, port)) return reject(error);
    remote_port_ = port;
    return true;
}

bool Socket::set_bind_address(const std::string& address) {
    std::uint32_t parsed = 0;
    if (!address.empty() && !net::parse_dotted(address, parsed)) return reject(EINVAL);
    bind_addr_ = parsed;
    bind_address_text_ = net::format_dotted(parsed);
    return true;
}

bool Socket::set_local_port(int port) {
    if (port < 0 || port > 65535) return reject(EINVAL);
    local_port_ = port;
    return true;
}

bool Socket::set_time_limit(int ms) {
    if (ms < 0) return reject(EINVAL);
    time_limit_ms_ = ms;
    // A running watchdog starts over with the new limit; 0 stops it.
    if (watchdog_armed_ || (state_ == State::connecting && !blocking_)) arm_watchdog();
    else disarm_watchdog();
    return true;
}

// --- State ---

std::uint32_t Socket::socket_address(bool peer, int* port) const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int result = peer ? ::getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length)
                      : ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    if (result != 0 || address.sin_family != AF_INET) {
        if (port) *port = 0;
        return 0;
    }
    if (port) *port = ntohs(address.sin_port);
    return address.sin_addr.s_addr;
}

int Socket::local_port() const {
    if (fd_ < 0) return local_port_;
    int port = 0;
    socket_address(false, &port);
    return port;
}

std::string Socket::local_address() const {
    return fd_ < 0 ? std::string() : net::format_dotted(socket_address(false, nullptr));
}

std::string Socket::peer_address() const {
    return state_ == State::connected ? net::format_dotted(peer_addr_) : std::string();
}

int Socket::peer_port() const { return state_ == State::connected ? peer_port_ : 0; }

bool Socket::end_of_data() const {
    return state_ != State::connected || ((peer_closed_ || connection_error_ != 0) && buffered() == 0);
}

int Socket::data_waiting() const {
    if (state_ != State::connected) return 0;
    int in_system = 0;
    if (!peer_closed_ && connection_error_ == 0 && ::ioctl(fd_, FIONREAD, &in_system) != 0)
        in_system = 0;
    return static_cast<int>(std::min<std::size_t>(buffered() + std::size_t(std::max(in_system, 0)),
                                                  0x7fffffff));
}

std::string Socket::data_port_argument() const { return data_port_argument(*this); }

std::string Socket::data_port_argument(const Socket& via) const {
    if (fd_ < 0 || via.fd_ < 0) return {};
    int port = 0;
    socket_address(false, &port);
    return net::format_data_port(via.socket_address(false, nullptr), port);
}

std::string Socket::first_host_name() {
    host_names_.clear();
    next_host_ = 0;
    host_names_loaded_ = true;
    if (hosts_file_.empty()) return {};
    if (int error = net::read_hosts_names(hosts_file_, host_names_)) last_error_ = error;
    return next_host_name();
}

std::string Socket::next_host_name() {
    if (!host_names_loaded_) return first_host_name();
    if (next_host_ >= host_names_.size()) return {};
    return host_names_[next_host_++];
}

// --- The descriptor ---

int Socket::open_descriptor(int& fd) {
    int protocol = protocol_ == kProtocolTcp ? IPPROTO_TCP : 0;
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    return fd < 0 ? errno : 0;
}

int Socket::bind_descriptor(int fd) {
    sockaddr_in address = make_address(bind_addr_, local_port_);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return errno;
    return 0;
}

void Socket::adopt(int fd, State state) {
    fd_ = fd;
    state_ = state;
    register_fd(fd, this, false);
    rhead_ = rtail_ = 0;
    peer_closed_ = false;
    connection_error_ = 0;
    data_notice_pending_ = false;
    connected_notice_pending_ = false;
    peer_notice_done_ = false;
    wbuf_.clear();
    whead_ = 0;
    peer_addr_ = 0;
    peer_port_ = 0;
    if (state == State::connected) peer_addr_ = socket_address(true, &peer_port_);
    want_read_ = want_write_ = false;
    watch_ = loop_.watch_fd(fd, false, false, [this](FdReady ready) { on_ready(ready); });
    update_interest();
}

void Socket::close_descriptor(int error) {
    if (fd_ < 0) return;
    loop_.unwatch(watch_);
    watch_ = 0;
    release_pending_handles();
    unregister_fd(fd_);
    ::close(fd_);
    fd_ = -1;
    ended_generation_ = generation_;
    ended_error_ = error;
    ++generation_;
    state_ = State::idle;
    rhead_ = rtail_ = 0;
    wbuf_.clear();
    whead_ = 0;
    peer_closed_ = false;
    connection_error_ = 0;
    data_notice_pending_ = false;
    connected_notice_pending_ = false;
}

void Socket::release_pending_handles() {
    for (int handle : pending_handles_) {
        unregister_fd(handle);
        ::close(handle);
    }
    pending_handles_.clear();
}

void Socket::update_interest() {
    if (fd_ < 0) return;
    bool read = false, write = false;
    switch (state_) {
        case State::connecting:
            write = true;
            break;
        case State::connected:
            // Binary reads take what is buffered, then go to the system
            // themselves: refilling a buffer that still holds data would cost
            // a poll and a move of the rest for every small read.
            read = !peer_closed_ && connection_error_ == 0 &&
                   (binary_ ? buffered() == 0 : buffered() < std::size_t(buffer_size_));
            write = queued() > 0 || write_waiters_ > 0;
            break;
        case State::listening:
            read = !blocking_ || accept_waiters_ > 0;
            break;
        case State::idle:
            break;
    }
    if (read == want_read_ && write == want_write_) return;
    want_read_ = read;
    want_write_ = write;
    loop_.update_watch(watch_, read, write);
}

void Socket::on_ready(FdReady ready) {
    switch (state_) {
        case State::connecting:
            finish_connect();
            break;
        case State::connected: {
            const std::uint64_t generation = generation_;
            if ((ready.readable || ready.error) && want_read_) receive_into_buffer(true);
            if (generation != generation_) return;
            // A hang-up may come without "writable": let a waiting writer try,
            // it then learns the error from send.
            if (want_write_ && (ready.writable || ready.error)) {
                flush_queue();
                ++writable_seen_;
            }
            update_interest();
            break;
        }
        case State::listening:
            if (ready.readable || ready.error) {
                ++acceptable_seen_;
                if (!blocking_) accept_pending();
            }
            break;
        case State::idle:
            break;
    }
}

// --- Notifications ---

void Socket::schedule_data_notice() {
    if (data_notice_pending_ || !on_data_arrived) return;
    data_notice_pending_ = true;
    loop_.post([this, alive = alive_, generation = generation_] {
        if (!*alive || generation != generation_) return;
        data_notice_pending_ = false;
        int count = data_waiting();
        auto handler = on_data_arrived;
        if (count > 0 && handler) handler(index_, count);
    });
}

void Socket::schedule_peer_closed_notice() {
    if (peer_notice_done_) return;
    if (on_data_arrived && buffered() > 0) return;  // once the data before the close is read
    peer_notice_done_ = true;
    loop_.post([this, alive = alive_, generation = generation_] {
        if (!*alive || generation != generation_) return;
        auto handler = on_peer_closed;
        if (handler) handler(index_);
    });
}

void Socket::report_timeout(SocketOp call, int waited_ms) {
    if (!on_timeout) return;
    loop_.post([this, alive = alive_, call, waited_ms] {
        if (!*alive) return;
        auto handler = on_timeout;
        if (handler) handler(index_, call, waited_ms);
    });
}

void Socket::arm_watchdog() {
    disarm_watchdog();
    if (time_limit_ms_ <= 0) return;
    watchdog_armed_ = true;
    const std::uint64_t serial = ++watchdog_serial_;
    watchdog_ = loop_.start_timer(time_limit_ms_, [this, alive = alive_, serial] {
        if (!*alive || !watchdog_armed_ || serial != watchdog_serial_) return;
        disarm_watchdog();  // it fires once
        if (state_ == State::connecting) {
            last_error_ = ETIMEDOUT;
            close_descriptor(ETIMEDOUT);
        }
        // Dropped when the caller disconnects or sets a time limit before it
        // is delivered.
        loop_.post([this, alive, serial = watchdog_serial_] {
            if (!*alive || serial != watchdog_serial_) return;
            auto handler = on_time_limit;
            if (handler) handler(index_);
        });
    });
}

void Socket::disarm_watchdog() {
    ++watchdog_serial_;  // also drops a time-limit notice not yet delivered
    if (!watchdog_armed_) return;
    loop_.stop_timer(watchdog_);
    watchdog_armed_ = false;
}

// --- Waiting ---

Socket::WaitResult Socket::wait_for(Condition condition, std::uint64_t mark) {
    struct Context {
        Socket* self;
        std::shared_ptr<bool> alive;
        std::uint64_t generation;
        Condition condition;
        std::uint64_t mark;
    };
    Context context{this, alive_, generation_, condition, mark};
    const int limit = time_limit_ms_ > 0 ? time_limit_ms_ : -1;
    const auto start = std::chrono::steady_clock::now();
    // The object may be closed or even destroyed by a handler run meanwhile:
    // test the token before touching it.
    bool done = loop_.wait_until(
        [c = &context] {
            return !*c->alive || c->self->generation_ != c->generation || c->condition(*c->self, c->mark);
        },
        limit);
    WaitResult result{Wait::ready, 0, elapsed_ms(start)};
    if (!*context.alive) {
        result.how = Wait::destroyed;
    } else if (generation_ != context.generation) {
        result.how = Wait::closed;
        result.error = ended_generation_ == context.generation && ended_error_ != 0 ? ended_error_
                                                                                   : ECONNABORTED;
    } else if (!done) {
        result.how = Wait::timed_out;
        result.error = ETIMEDOUT;
    }
    return result;
}

int Socket::wait_failure(const WaitResult& result, SocketOp call) {
    if (result.how == Wait::destroyed) return -1;  // nothing of the object is left to touch
    if (result.how == Wait::timed_out) report_timeout(call, result.waited_ms);
    return fail(result.error);
}

// --- Connecting ---

int Socket::connect(const std::string& host, int port) {
    if (!set_remote_host(host) || !set_remote_port(port)) return -1;
    return connect();
}

int Socket::connect() {
    if (state_ == State::connected) return fail(EISCONN);
    if (state_ == State::connecting) return fail(EALREADY);
    if (state_ == State::listening) return fail(EINVAL);
    if (!remote_resolved_ || remote_port_ == 0) return fail(EDESTADDRREQ);

    disarm_watchdog();
    int fd = -1;
    if (int error = open_descriptor(fd)) return fail(error);
    if (bind_addr_ != 0 || local_port_ != 0) {
        if (int error = bind_descriptor(fd)) {
            ::close(fd);
            return fail(error);
        }
    }
    const sockaddr_in to = make_address(remote_addr_, remote_port_);
    connect_started_ = std::chrono::steady_clock::now();
    int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    int error = result == 0 ? 0 : errno;
    // An interrupted connect goes on by itself, as if in progress.
    if (error == EINTR) error = EINPROGRESS;
    if (!blocking_) arm_watchdog();  // also for an attempt refused at once: see the header
    if (error != 0 && error != EINPROGRESS) {
        ::close(fd);
        return fail(error);
    }
    adopt(fd, State::connecting);
    if (result == 0) finish_connect();
    if (!blocking_) return 0;

    // Returns once connected and on_connected has been delivered, so that the
    // caller's handler has run by the time the call returns.
    WaitResult waited = wait_for(
        [](const Socket& s, std::uint64_t) {
            return s.state_ != State::connecting && !s.connected_notice_pending_;
        },
        0);
    if (waited.how == Wait::ready) return 0;  // same descriptor, no longer connecting: connected
    if (waited.how == Wait::timed_out) {
        if (state_ == State::connected) return 0;  // made in time, only its notice is late
        close_descriptor(ETIMEDOUT);
    }
    return wait_failure(waited, SocketOp::connect);
}

void Socket::finish_connect() {
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == 0) {
        sockaddr_in peer{};
        socklen_t peer_length = sizeof peer;
        if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &peer_length) != 0) {
            if (errno == ENOTCONN) return;  // not finished after all: keep waiting
            error = errno;
        }
    }
    if (error != 0) {
        last_error_ = error;
        if (error == ETIMEDOUT) report_timeout(SocketOp::connect, elapsed_ms(connect_started_));
        close_descriptor(error);
        return;
    }
    state_ = State::connected;
    peer_addr_ = socket_address(true, &peer_port_);
    disarm_watchdog();
    update_interest();
    if (!on_connected) return;
    connected_notice_pending_ = true;
    loop_.post([this, alive = alive_, generation = generation_] {
        if (!*alive || generation != generation_) return;
        connected_notice_pending_ = false;
        auto handler = on_connected;
        if (handler) handler(index_);
    });
}

int Socket::disconnect() {
    disarm_watchdog();
    if (state_ == State::connected && queued() > 0) flush_queue();
    close_descriptor(0);
    return 0;
}

int Socket::abort() {
    disarm_watchdog();
    close_descriptor(0);
    return 0;
}

// --- Listening ---

int Socket::listen() {
    if (state_ == State::connected || state_ == State::connecting) return fail(EISCONN);
    if (state_ == State::listening) close_descriptor(0);
    int fd = -1;
    if (int error = open_descriptor(fd)) return fail(error);
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    int error = bind_descriptor(fd);
    if (error == 0 && ::listen(fd, SOMAXCONN) != 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return fail(error);
    }
    adopt(fd, State::listening);
    return 0;
}

int Socket::stop_listening() {
    if (state_ == State::listening) close_descriptor(0);
    return 0;
}

void Socket::accept_pending() {
    // A few per wake-up, so that a flood of peers cannot hold up the loop.
    for (int i = 0; i < 16 && state_ == State::listening; ++i) {
        int handle = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (handle < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (!would_block(errno)) last_error_ = errno;
            return;
        }
        register_fd(handle, this, true);
        pending_handles_.push_back(handle);
        loop_.post([this, alive = alive_, generation = generation_, handle] {
            if (!*alive || generation != generation_) return;
            auto it = std::find(pending_handles_.begin(), pending_handles_.end(), handle);
            if (it == pending_handles_.end()) return;  // taken already
            auto handler = on_connection_pending;
            if (!handler) {  // nobody takes it: let the peer know at once
                pending_handles_.erase(it);
                unregister_fd(handle);
                ::close(handle);
                return;
            }
            handler(index_, handle);
        });
    }
}

int Socket::accept() {
    if (state_ != State::listening) return fail(EINVAL);
    for (;;) {
        int handle = -1;
        if (!pending_handles_.empty()) {
            handle = pending_handles_.front();
            pending_handles_.erase(pending_handles_.begin());
            unregister_fd(handle);
        } else {
            handle = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (handle < 0) {
                int error = errno;
                if (error == EINTR || error == ECONNABORTED) continue;
                if (!would_block(error)) return fail(error);
            }
        }
        if (handle >= 0) {
            close_descriptor(0);  // the listener; this object is now the connection
            adopt(handle, State::connected);
            return 0;
        }
        if (!blocking_) return fail(EWOULDBLOCK);
        ++accept_waiters_;
        update_interest();
        WaitResult waited = wait_for(
            [](const Socket& s, std::uint64_t mark) {
                return s.acceptable_seen_ != mark || !s.pending_handles_.empty();
            },
            acceptable_seen_);
        if (waited.how != Wait::destroyed) {
            --accept_waiters_;
            update_interest();
        }
        if (waited.how != Wait::ready) return wait_failure(waited, SocketOp::accept);
    }
}

int Socket::attach(int handle) {
    if (state_ == State::connected || state_ == State::connecting) return fail(EISCONN);
    if (handle < 0) return fail(EBADF);
    Owner owner{nullptr, false};
    if (find_owner(handle, owner) && !owner.pending) return fail(EBUSY);
    if (!owner.socket) {
        // A descriptor from elsewhere: take it only if it is a connected
        // IPv4 stream socket.
        int value = 0;
        socklen_t length = sizeof value;
        if (::getsockopt(handle, SOL_SOCKET, SO_TYPE, &value, &length) != 0) return fail(errno);
        if (value != SOCK_STREAM) return fail(EPROTOTYPE);
        length = sizeof value;
        if (::getsockopt(handle, SOL_SOCKET, SO_DOMAIN, &value, &length) != 0) return fail(errno);
        if (value != AF_INET) return fail(EAFNOSUPPORT);
        sockaddr_in peer{};
        socklen_t peer_length = sizeof peer;
        if (::getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &peer_length) != 0)
            return fail(errno);
    } else {
        auto& list = owner.socket->pending_handles_;
        list.erase(std::remove(list.begin(), list.end(), handle), list.end());
        unregister_fd(handle);
    }
    if (state_ == State::listening) close_descriptor(0);
    int flags = ::fcntl(handle, F_GETFL);
    if (flags >= 0) ::fcntl(handle, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(handle, F_SETFD, FD_CLOEXEC);
    adopt(handle, State::connected);
    return 0;
}

// --- Reading ---

void Socket::receive_into_buffer(bool notify) {
    const std::size_t capacity = std::max<std::size_t>(buffer_size_, buffered());
    if (buffered() >= capacity) return;
    if (rhead_ == rtail_) {
        rhead_ = rtail_ = 0;
    } else if (rhead_ > 0 && rtail_ + (capacity - buffered()) > rbuf_.size()) {
        std::memmove(rbuf_.data(), rbuf_.data() + rhead_, buffered());
        rtail_ -= rhead_;
        rhead_ = 0;
    }
    if (rbuf_.size() < capacity) rbuf_.resize(capacity);
    const std::size_t space = capacity - rtail_;
    ssize_t got;
    do {
        got = ::recv(fd_, rbuf_.data() + rtail_, space, MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        rtail_ += std::size_t(got);
        received_ += std::uint64_t(got);
        if (notify) schedule_data_notice();
    } else if (got == 0) {
        peer_closed_ = true;
        schedule_peer_closed_notice();
    } else if (!would_block(errno)) {
        note_connection_error(errno);
    }
}

int Socket::receive_direct(char* out, int n) {
    ssize_t got;
    do {
        got = ::recv(fd_, out, std::size_t(n), MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        received_ += std::uint64_t(got);
        return int(got);
    }
    if (got == 0) {
        peer_closed_ = true;
        schedule_peer_closed_notice();
    } else if (!would_block(errno)) {
        note_connection_error(errno);
    }
    return 0;
}

void Socket::note_connection_error(int error) {
    connection_error_ = error;
    last_error_ = error;
    schedule_peer_closed_notice();
}

int Socket::take_from_buffer(char* out, int n) {
    const std::size_t available = buffered();
    if (available == 0 || n <= 0) return 0;
    const char* begin = rbuf_.data() + rhead_;
    std::size_t take = available;
    if (!binary_) {
        const void* end = std::memchr(begin, '\n', available);
        if (end) {
            take = std::size_t(static_cast<const char*>(end) - begin) + 1;
        } else if (available >= std::size_t(buffer_size_)) {
            take = std::size_t(buffer_size_);  // a line as long as the buffer ends here
        } else if (!peer_closed_ && connection_error_ == 0) {
            return 0;  // the line is not complete yet
        }
    }
    take = std::min(take, std::size_t(n));
    std::memcpy(out, begin, take);
    rhead_ += take;
    if (rhead_ == rtail_) rhead_ = rtail_ = 0;
    return int(take);
}

int Socket::read(std::string& out, int n) {
    out.resize(std::size_t(std::max(n, 0)));
    int got = read(out.data(), n);
    out.resize(std::size_t(std::max(got, 0)));
    return got;
}

int Socket::read(void* buffer, int n) {
    last_count_ = 0;
    if (n < 0 || (n > 0 && !buffer)) return fail(EINVAL);
    if (state_ != State::connected) return fail(ENOTCONN);
    char* out = static_cast<char*>(buffer);
    for (;;) {
        int got = take_from_buffer(out, n);
        if (got > 0 && binary_ && got < n && !peer_closed_ && connection_error_ == 0)
            got += receive_direct(out + got, n - got);  // the rest straight from the system
        if (got > 0 || n == 0) {
            last_count_ = got;
            if (buffered() > 0) schedule_data_notice();  // what this read left behind
            else if (peer_closed_ || connection_error_ != 0) schedule_peer_closed_notice();
            update_interest();
            return got;
        }
        if (connection_error_ != 0) {
            schedule_peer_closed_notice();
            return fail(connection_error_);
        }
        if (peer_closed_) {
            schedule_peer_closed_notice();
            return 0;
        }
        // Nothing to deliver yet: ask the system without waiting.
        const std::uint64_t before = received_;
        if (binary_) {
            got = receive_direct(out, n);
            if (got > 0) {
                last_count_ = got;
                return got;
            }
        } else {
            receive_into_buffer(false);
        }
        if (received_ != before || peer_closed_ || connection_error_ != 0) continue;
        if (!blocking_) return fail(EWOULDBLOCK);
        WaitResult waited = wait_for(
            [](const Socket& s, std::uint64_t mark) {
                return s.received_ != mark || s.peer_closed_ || s.connection_error_ != 0;
            },
            received_);
        if (waited.how != Wait::ready) return wait_failure(waited, SocketOp::read);
    }
}

// --- Writing ---

void Socket::flush_queue() {
    while (queued() > 0) {
        ssize_t sent = send_now(fd_, wbuf_.data() + whead_, queued());
        if (sent < 0) {  // the connection is gone; what is queued cannot go anywhere
            last_error_ = errno;
            wbuf_.clear();
            whead_ = 0;
            break;
        }
        if (sent == 0) break;
        whead_ += std::size_t(sent);
    }
    if (whead_ == wbuf_.size()) {
        wbuf_.clear();
        whead_ = 0;
    }
}

int Socket::write(std::string_view data) {
    if (data.size() > 0x7fffffff) return fail(EINVAL);
    return write(data.data(), int(data.size()));
}

int Socket::write(const void* data, int n) {
    if (n < 0 || (n > 0 && !data)) return fail(EINVAL);
    if (state_ != State::connected) return fail(ENOTCONN);
    if (n == 0) return 0;
    const char* next = static_cast<const char*>(data);
    std::size_t left = std::size_t(n);

    if (!blocking_) {
        std::size_t sent = 0;
        if (queued() == 0) {
            ssize_t now = send_now(fd_, next, left);
            if (now < 0) return fail(errno);
            sent = std::size_t(now);
        }
        const std::size_t room = kMaxQueuedOutput > queued() ? kMaxQueuedOutput - queued() : 0;
        const std::size_t take = std::min(left - sent, room);
        if (take > 0) {
            if (whead_ > 0) {
                wbuf_.erase(0, whead_);
                whead_ = 0;
            }
            wbuf_.append(next + sent, take);
            update_interest();
        }
        if (sent + take == 0) return fail(EWOULDBLOCK);
        return int(sent + take);
    }

    for (;;) {
        if (queued() > 0) flush_queue();  // left from non-blocking writes: first in line
        if (queued() == 0) {
            ssize_t now = send_now(fd_, next, left);
            if (now < 0) return fail(errno);
            next += now;
            left -= std::size_t(now);
            if (left == 0) return n;
        }
        ++write_waiters_;
        update_interest();
        WaitResult waited = wait_for(
            [](const Socket& s, std::uint64_t mark) {
                return s.writable_seen_ != mark || s.connection_error_ != 0;
            },
            writable_seen_);
        if (waited.how != Wait::destroyed) {
            --write_waiters_;
            update_interest();
        }
        if (waited.how != Wait::ready) return wait_failure(waited, SocketOp::write);
    }
}

}  // namespace vask

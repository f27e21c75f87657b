#pragma once
// One TCP endpoint over IPv4: the socket object every connection of the
// program goes through (FTP control and data, HTTP fetches, chat).
//
// Everything runs on the event loop's thread. A Socket owns at most one
// descriptor at a time, watched on the loop for as long as it is open.
//
// Blocking mode (the default) makes connect, accept, read and write wait
// until they are done or have failed; the waiting runs the event loop
// (EventLoop::wait_until), so timers, clicks and other sockets' notifications
// keep arriving meanwhile. A handler run during such a wait may even
// disconnect this socket: the waiting call then fails with ECONNABORTED.
// Non-blocking mode makes these calls return at once; their completion comes
// as a notification.
//
// Notifications are std::function members, each given the socket's array
// index first. They are posted to the loop, never called from inside the call
// that caused them; a blocking call runs the loop while it waits, so they may
// arrive during such a wait (a blocking connect returns after its
// on_connected has run). A notification about a connection that has since
// been closed here is dropped. An empty member is simply not called. They
// are raised in both modes; a blocking caller usually sets none.
//
// Failures: a rejected assignment returns false, a failed call returns -1;
// both set last_error() to an errno value. Nothing throws.
//
// The time limit: a blocking call fails with ETIMEDOUT when one of its waits
// for the descriptor lasts longer than the limit (a transfer that keeps
// moving is not cut off), and raises on_timeout. In non-blocking mode the
// limit is a watchdog armed by connect: when it passes before the connection
// is made, a connect still pending is abandoned (ETIMEDOUT) and on_time_limit
// is raised; it is raised as well when the attempt has already failed
// (refused, unreachable), so a caller learns of every failed attempt at its
// limit. The connection being made, disconnect() and abort() disarm it;
// setting the time limit meanwhile starts it over (0 disarms it).
//
// Line mode (binary off): one read delivers one received line, including its
// line end as received (LF or CR LF; a lone CR does not end a line). A line
// longer than the read's n is delivered in pieces of n. A line that reaches
// the buffer size without a line end is delivered as it is, so a peer that
// never ends its line cannot make the buffer grow; so is a last line that the
// peer closes without ending. Writes are never changed.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/event_loop.h"

namespace vask {

// The call whose wait ran out, in an on_timeout report.
enum class SocketOp { connect = 1, accept = 2, read = 3, write = 4 };

class Socket {
public:
    static constexpr int kInternet = 2;  // the only address family
    static constexpr int kStream = 1;    // the only socket type
    static constexpr int kProtocolDefault = 0;
    static constexpr int kProtocolTcp = 6;
    static constexpr int kDefaultBufferSize = 4096;
    static constexpr int kMaxBufferSize = 16 * 1024 * 1024;
    // Bytes a non-blocking write may leave queued for the descriptor.
    static constexpr std::size_t kMaxQueuedOutput = 1024 * 1024;

    explicit Socket(EventLoop& loop, int index = -1);
    ~Socket();  // closes the descriptor and any connection not yet attached
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int index() const { return index_; }

    // --- Settings. Each takes effect from the next call that uses it. ---
    bool set_address_family(int family);  // 2 only, else EAFNOSUPPORT
    int address_family() const { return kInternet; }
    bool set_socket_type(int type);  // 1 only, else ESOCKTNOSUPPORT
    int socket_type() const { return kStream; }
    bool set_protocol(int protocol);  // 0 or 6, else EPROTONOSUPPORT
    int protocol() const { return protocol_; }
    void set_binary(bool on) { binary_ = on; }  // off: line mode (the default is on)
    bool binary() const { return binary_; }
    void set_blocking(bool on);
    bool blocking() const { return blocking_; }
    // Bytes of received data held for the caller, and the longest line line
    // mode delivers whole. 1 to kMaxBufferSize, else EINVAL.
    bool set_buffer_size(int bytes);
    int buffer_size() const { return buffer_size_; }

    // A host name or dotted address, resolved at once (the hosts file first,
    // when one is set, then the system resolver; this waits for the resolver).
    // Fails with EINVAL for an empty text, EHOSTUNREACH for an unknown name;
    // the previous host is then kept.
    bool set_remote_host(const std::string& host);
    const std::string& remote_host() const { return remote_host_; }
    std::string remote_address() const;  // the resolved dotted address, or ""
    bool set_remote_port(int port);      // 0 (none) to 65535, else EINVAL
    int remote_port() const { return remote_port_; }
    // A port number or a service name ("ftp"); sets the remote port.
    bool set_remote_service(const std::string& service);

    // Where listen and connect bind: a dotted address, "0.0.0.0" or "" for any.
    bool set_bind_address(const std::string& address);  // else EINVAL
    const std::string& bind_address() const { return bind_address_text_; }
    bool set_local_port(int port);  // 0 (any) to 65535, else EINVAL
    // The port of the open descriptor; without one, the port set.
    int local_port() const;

    bool set_time_limit(int ms);  // 0 = none; negative: EINVAL
    int time_limit() const { return time_limit_ms_; }

    void set_hosts_file(const std::string& path) { hosts_file_ = path; }  // "" = none
    const std::string& hosts_file() const { return hosts_file_; }

    // --- State. ---
    // True from the connection being made (connect, accept, attach) until it
    // is closed here, also after the peer has closed its side.
    bool connected() const { return state_ == State::connected; }
    bool listening() const { return state_ == State::listening; }
    bool connecting() const { return state_ == State::connecting; }
    std::string local_address() const;  // dotted, of the open descriptor, or ""
    std::string peer_address() const;   // dotted, of the connection, or ""
    int peer_port() const;              // of the connection, or 0
    int last_error() const { return last_error_; }  // of the latest failure; kept until the next
    // No more data will come and none is left: the connection was closed by
    // either side (or was never made) and every received byte has been read.
    bool end_of_data() const;
    // Bytes received and not yet read, held here or still by the system (in
    // line mode they may not make a whole line yet).
    int data_waiting() const;
    int last_count() const { return last_count_; }  // delivered by the latest read
    // The FTP PORT argument for this socket's local address and port, e.g.
    // "127,0,0,1,4,1" for 127.0.0.1 port 1025 ("" without a descriptor).
    std::string data_port_argument() const;
    // The same with the address of `via`'s local side: a listener bound to
    // any address announces the address of the control connection.
    std::string data_port_argument(const Socket& via) const;

    // The names of the hosts file (hosts(5) layout) one by one, in file
    // order; "" after the last. A missing file gives "" and sets last_error.
    std::string first_host_name();
    std::string next_host_name();

    // --- Operations. ---
    // Connects to the remote host and port. Blocking: 0 once connected, or -1
    // (ECONNREFUSED, ETIMEDOUT, ...). Non-blocking: 0 when the attempt has
    // started (on_connected follows), -1 when it failed at once.
    int connect();
    int connect(const std::string& host, int port);  // sets both, then connect()
    // Closes the connection, a pending connect, or the listener. Data queued by
    // non-blocking writes is handed to the system first as far as it takes it
    // without waiting. Always 0, also when there was nothing to close.
    int disconnect();
    // The close action: closes at once, abandoning a pending connect and any
    // queued data. Always 0.
    int abort();
    // Listens on the bind address and local port (SO_REUSEADDR). A listening
    // socket starts over with the current settings. In non-blocking mode each
    // incoming connection is accepted and handed out by on_connection_pending.
    int listen();
    int stop_listening();  // 0; nothing happens when not listening
    // On a listening socket: waits for a peer (blocking) or takes one that is
    // waiting (non-blocking, else EWOULDBLOCK); this socket then becomes that
    // connection and no longer listens.
    int accept();
    // Takes over a connection: a handle from on_connection_pending, or any
    // connected IPv4 stream descriptor the caller owns (ownership passes
    // here). A descriptor another Socket owns is refused (EBUSY).
    int attach(int handle);
    // Up to n bytes (line mode: one line, see above) into buffer. Returns the
    // count; 0 when the peer has closed and nothing is left; -1 on failure
    // (ENOTCONN, EWOULDBLOCK in non-blocking mode, ETIMEDOUT, ECONNRESET, ...).
    int read(void* buffer, int n);
    int read(std::string& out, int n);  // out holds what was read ("" on -1)
    // Writes all n bytes. Blocking: waits until the system has taken them.
    // Non-blocking: what the system does not take now is queued (up to
    // kMaxQueuedOutput) and sent as it can; returns the count taken, -1 with
    // EWOULDBLOCK when none fits. -1 on failure (ENOTCONN, EPIPE, ...).
    int write(const void* data, int n);
    int write(std::string_view data);

    // --- Notifications (see the top of this file). ---
    std::function<void(int index)> on_connected;  // connection established
    // Connection pending: accepted by a non-blocking listener; attach(handle)
    // takes it over. Unattached handles are closed with the listener; with no
    // handler set the connection is closed at once.
    std::function<void(int index, int handle)> on_connection_pending;
    // Data arrived: `count` bytes can be read now. Raised again after a read
    // that leaves data behind, so nothing sits unnoticed.
    std::function<void(int index, int count)> on_data_arrived;
    // Peer disconnected (closed its side, or the connection broke). Raised once
    // per connection; while on_data_arrived is set, only after the data
    // received before the close has been read.
    std::function<void(int index)> on_peer_closed;
    // Time-out report: a blocking call reached the time limit, or the system
    // gave up a connect; with the call and how long it waited, in ms.
    std::function<void(int index, SocketOp call, int waited_ms)> on_timeout;
    // Time limit elapsed (non-blocking mode; see the top of this file).
    std::function<void(int index)> on_time_limit;

private:
    enum class State { idle, connecting, connected, listening };
    enum class Wait { ready, timed_out, closed, destroyed };
    struct WaitResult {
        Wait how;
        int error;  // for timed_out and closed
        int waited_ms;
    };
    using Condition = bool (*)(const Socket&, std::uint64_t mark);

    int fail(int error);
    bool reject(int error);
    int open_descriptor(int& fd);
    int bind_descriptor(int fd);
    void adopt(int fd, State state);
    void close_descriptor(int error);
    void release_pending_handles();
    void update_interest();
    void on_ready(FdReady ready);
    void finish_connect();
    void accept_pending();
    void receive_into_buffer(bool notify);
    int receive_direct(char* out, int n);
    int take_from_buffer(char* out, int n);
    void note_connection_error(int error);
    void flush_queue();
    // Runs the loop until condition holds, the descriptor is closed, the
    // object is destroyed, or the time limit passes.
    WaitResult wait_for(Condition condition, std::uint64_t mark);
    int wait_failure(const WaitResult& result, SocketOp call);
    void arm_watchdog();
    void disarm_watchdog();
    void schedule_data_notice();
    void schedule_peer_closed_notice();
    void report_timeout(SocketOp call, int waited_ms);
    std::size_t buffered() const { return rtail_ - rhead_; }
    std::size_t queued() const { return wbuf_.size() - whead_; }
    std::uint32_t socket_address(bool peer, int* port) const;

    EventLoop& loop_;
    const int index_;
    std::shared_ptr<bool> alive_;  // false once destroyed; posted work checks it

    // Settings.
    int protocol_ = kProtocolDefault;
    bool binary_ = true;
    bool blocking_ = true;
    int buffer_size_ = kDefaultBufferSize;
    std::string remote_host_;
    std::uint32_t remote_addr_ = 0;
    bool remote_resolved_ = false;
    int remote_port_ = 0;
    std::string bind_address_text_ = "0.0.0.0";
    std::uint32_t bind_addr_ = 0;
    int local_port_ = 0;
    int time_limit_ms_ = 0;
    std::string hosts_file_;

    // The descriptor and its watch.
    State state_ = State::idle;
    int fd_ = -1;
    EventLoop::Id watch_ = 0;
    bool want_read_ = false;
    bool want_write_ = false;
    // Counts descriptors closed; a wait or notice made for one connection
    // recognises that it has ended.
    std::uint64_t generation_ = 0;
    std::uint64_t ended_generation_ = ~std::uint64_t(0);
    int ended_error_ = 0;
    std::uint32_t peer_addr_ = 0;  // kept: the system forgets it once the peer resets
    int peer_port_ = 0;
    std::chrono::steady_clock::time_point connect_started_{};

    // Receiving: bytes rhead_..rtail_ of rbuf_ are held for the caller.
    std::vector<char> rbuf_;
    std::size_t rhead_ = 0;
    std::size_t rtail_ = 0;
    std::uint64_t received_ = 0;  // bytes ever put into rbuf_
    bool peer_closed_ = false;
    int connection_error_ = 0;
    bool data_notice_pending_ = false;
    bool connected_notice_pending_ = false;
    bool peer_notice_done_ = false;

    // Sending: bytes whead_.. of wbuf_ wait for the descriptor.
    std::string wbuf_;
    std::size_t whead_ = 0;
    int write_waiters_ = 0;
    std::uint64_t writable_seen_ = 0;

    // Listening.
    int accept_waiters_ = 0;
    std::uint64_t acceptable_seen_ = 0;
    std::vector<int> pending_handles_;

    // The non-blocking connect watchdog.
    EventLoop::Id watchdog_ = 0;
    bool watchdog_armed_ = false;
    std::uint64_t watchdog_serial_ = 0;

    int last_error_ = 0;
    int last_count_ = 0;
    std::vector<std::string> host_names_;
    std::size_t next_host_ = 0;
    bool host_names_loaded_ = false;
};

}  // namespace vask

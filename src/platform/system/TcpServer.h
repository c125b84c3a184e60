#pragma once

// The threaded TCP server the command server runs on: one listening socket on one address,
// one thread per connection that runs OnExecute again and again while the connection stays
// open. Each connection has its own buffers; connection threads never wait for anyone, so
// Deactivate can always close every socket and join every thread. Only the program's own
// user (or root) is served: a loopback peer socket of another account is closed unread.

#include "platform/runtime/Exceptions.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace vx {

class ESocketError : public Exception {
public:
    explicit ESocketError(std::string message, int error = 0)
        : Exception(std::move(message)), Error(error) {}
    int Error; // the system's error number, 0 when the arguments were wrong
};

// What the first bytes of a connection say about it: refused connections are closed and
// nothing more is read from them.
enum class THeadVerdict { Accept, Refuse, Undecided };
using THeadFilter = std::function<THeadVerdict(std::string_view head)>;

class TTcpConnection {
public:
    enum class TReadResult { Line, TimedOut, TooLong, Closed };

    explicit TTcpConnection(int fd, THeadFilter headFilter = {});
    ~TTcpConnection();
    TTcpConnection(const TTcpConnection&) = delete;
    TTcpConnection& operator=(const TTcpConnection&) = delete;

    // The bytes before the first terminator, which is consumed. A time-out keeps what has
    // arrived for the next call; maxLength bytes without a terminator give TooLong.
    TReadResult ReadLn(std::string& line, char terminator, int timeoutMs, size_t maxLength);
    // Sends text and CR LF; false when the peer has gone (never a signal).
    bool WriteLn(std::string_view text);
    // Ends the connection: its thread stops after the current pass.
    void Close();
    bool Connected() const { return !closed_; }
    // Wakes a blocked read from another thread; the socket stays until destruction.
    void Shutdown();
    // Milliseconds since the last byte came in or went out.
    int64_t IdleMs() const;

private:
    void Touch();

    int fd_;
    THeadFilter headFilter_;
    std::string pending_;
    std::atomic<bool> closed_{false};
    std::atomic<int64_t> lastActivity_{0};
};

// The owner of the local socket at the other end of a loopback connection, found through the
// kernel's socket diagnostics or, where those are not allowed, /proc/net/tcp; -1 when the
// peer is not a local socket or cannot be found.
enum class TPeerLookup { Any, SocketDiag, ProcTable };
int64_t LoopbackPeerUid(int fd, TPeerLookup how = TPeerLookup::Any);

class TTcpServer {
public:
    using TExecuteEvent = std::function<void(TTcpConnection& connection)>;

    TTcpServer();
    ~TTcpServer();
    TTcpServer(const TTcpServer&) = delete;
    TTcpServer& operator=(const TTcpServer&) = delete;

    // Runs on each connection's thread, once per request, while the connection is open.
    TExecuteEvent OnExecute;
    // Looks at the first bytes of each connection.
    THeadFilter OnHead;
    // A connection accepted while this many are open closes the longest-idle one.
    int MaxConnections = 100;
    // A connection silent this long is closed.
    std::atomic<int> IdleTimeoutMs{30000}; // may change while connections run

    // Listens on address (an IPv4 address text) and port 1..65535; raises ESocketError
    // when the port is out of range, the address is not one, or the listen fails.
    void Activate(const std::string& address, int port);
    void Deactivate();
    bool Active() const { return listenFd_ >= 0; }
    // The bound address and port while active.
    std::string Address() const;
    int Port() const;
    int ConnectionCount() const { return connectionCount_; }

private:
    struct Worker {
        std::unique_ptr<TTcpConnection> connection;
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void Listen();
    void Serve(Worker& worker);
    // Joins the threads of connections that have ended.
    void Reap();
    void CloseLongestIdle();

    int listenFd_ = -1;
    int wakeFd_ = -1; // eventfd that ends the listener's wait
    std::atomic<bool> stopping_{false};
    std::thread listener_;
    std::mutex mutex_; // guards workers_
    std::list<Worker> workers_;
    std::atomic<int> connectionCount_{0};
};

} // namespace vx

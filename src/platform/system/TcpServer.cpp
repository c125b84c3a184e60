#include "platform/system/TcpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr int kListenPollMs = 200;

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The socket whose own end is `peer` and whose other end is `local`, asked of the kernel by
// its exact address; -1 when the kernel does not answer.
int64_t UidBySocketDiag(const sockaddr_in& local, const sockaddr_in& peer) {
    const int nl = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (nl < 0)
        return -1;
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } message{};
    message.header.nlmsg_len = sizeof message;
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST;
    message.request.sdiag_family = AF_INET;
    message.request.sdiag_protocol = IPPROTO_TCP;
    message.request.idiag_states = ~0u;
    message.request.id.idiag_sport = peer.sin_port;
    message.request.id.idiag_dport = local.sin_port;
    message.request.id.idiag_src[0] = peer.sin_addr.s_addr;
    message.request.id.idiag_dst[0] = local.sin_addr.s_addr;
    message.request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    message.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    int64_t uid = -1;
    if (::sendto(nl, &message, sizeof message, 0, reinterpret_cast<sockaddr*>(&kernel),
                 sizeof kernel) == ssize_t(sizeof message)) {
        pollfd p{nl, POLLIN, 0};
        alignas(nlmsghdr) char buffer[8192];
        const ssize_t n = ::poll(&p, 1, 500) == 1 ? ::recv(nl, buffer, sizeof buffer, 0) : -1;
        auto* h = reinterpret_cast<nlmsghdr*>(buffer);
        if (n > 0 && NLMSG_OK(h, size_t(n)) && h->nlmsg_type == SOCK_DIAG_BY_FAMILY &&
            h->nlmsg_len >= NLMSG_LENGTH(sizeof(inet_diag_msg))) {
            const auto* diag = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
            uid = diag->idiag_uid;
        }
    }
    ::close(nl);
    return uid;
}

// The same from the kernel's table of TCP sockets.
int64_t UidByProcTable(const sockaddr_in& local, const sockaddr_in& peer) {
    // The table prints each address as the 32-bit word it holds and the port in host order.
    char own[32], other[32];
    std::snprintf(own, sizeof own, "%08X:%04X", peer.sin_addr.s_addr, ntohs(peer.sin_port));
    std::snprintf(other, sizeof other, "%08X:%04X", local.sin_addr.s_addr, ntohs(local.sin_port));
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, localAddress, remoteAddress, state, queues, timer, retransmits;
        int64_t uid = -1;
        fields >> slot >> localAddress >> remoteAddress >> state >> queues >> timer >>
            retransmits >> uid;
        if (fields && localAddress == own && remoteAddress == other)
            return uid;
    }
    return -1;
}

} // namespace

int64_t LoopbackPeerUid(int fd, TPeerLookup how) {
    sockaddr_in local{}, peer{};
    socklen_t localSize = sizeof local, peerSize = sizeof peer;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
        ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 ||
        local.sin_family != AF_INET || peer.sin_family != AF_INET)
        return -1;
    const int64_t uid = how == TPeerLookup::ProcTable ? -1 : UidBySocketDiag(local, peer);
    return uid >= 0 || how == TPeerLookup::SocketDiag ? uid : UidByProcTable(local, peer);
}

TTcpConnection::TTcpConnection(int fd, THeadFilter headFilter)
    : fd_(fd), headFilter_(std::move(headFilter)) {
    Touch();
}

void TTcpConnection::Touch() {
    lastActivity_ = NowMs();
}

int64_t TTcpConnection::IdleMs() const {
    return NowMs() - lastActivity_;
}

TTcpConnection::~TTcpConnection() {
    if (fd_ >= 0)
        ::close(fd_);
}

TTcpConnection::TReadResult TTcpConnection::ReadLn(std::string& line, char terminator,
                                                   int timeoutMs, size_t maxLength) {
    for (;;) {
        const size_t end = pending_.find(terminator);
        if (end != std::string::npos && end <= maxLength) {
            line.assign(pending_, 0, end);
            pending_.erase(0, end + 1);
            return TReadResult::Line;
        }
        if (pending_.size() > maxLength)
            return TReadResult::TooLong;
        if (closed_)
            return TReadResult::Closed;
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return TReadResult::TimedOut;
        if (ready < 0)
            return TReadResult::Closed;
        char buffer[8192];
        // Never read far past the limit: a line that long is refused anyway.
        const size_t room = maxLength + 1 - std::min(pending_.size(), maxLength);
        const ssize_t n = ::recv(fd_, buffer, std::min(sizeof buffer, room), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            closed_ = true;
            return TReadResult::Closed;
        }
        pending_.append(buffer, size_t(n));
        Touch();
        if (headFilter_) {
            const THeadVerdict verdict = headFilter_(pending_);
            if (verdict == THeadVerdict::Refuse) {
                pending_.clear();
                Close();
                return TReadResult::Closed;
            }
            if (verdict == THeadVerdict::Accept)
                headFilter_ = nullptr;
        }
    }
}

bool TTcpConnection::WriteLn(std::string_view text) {
    std::string bytes(text);
    bytes += "\r\n";
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        sent += size_t(n);
        Touch();
    }
    return true;
}

void TTcpConnection::Close() {
    closed_ = true;
    ::shutdown(fd_, SHUT_RDWR);
}

void TTcpConnection::Shutdown() {
    Close();
}

TTcpServer::TTcpServer() = default;

TTcpServer::~TTcpServer() {
    Deactivate();
}

void TTcpServer::Activate(const std::string& address, int port) {
    Deactivate();
    if (port < 1 || port > 65535)
        throw ESocketError("Port out of range: " + std::to_string(port));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    if (::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1)
        throw ESocketError("Not an address: " + address);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw ESocketError(SystemError("socket"), errno);
    // A port left in TIME_WAIT by the copy that ran just before is taken at once.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0) {
        const int error = errno;
        const std::string message = SystemError("listen");
        ::close(fd);
        throw ESocketError(message, error);
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        const int error = errno;
        const std::string message = SystemError("eventfd");
        ::close(fd);
        throw ESocketError(message, error);
    }
    listenFd_ = fd;
    stopping_ = false;
    listener_ = std::thread([this] { Listen(); });
}

void TTcpServer::Deactivate() {
    if (listenFd_ < 0)
        return;
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    listener_.join();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Worker& w : workers_)
            w.connection->Shutdown();
    }
    // The list is no longer touched by the listener; the threads only read their own entry.
    for (Worker& w : workers_)
        w.thread.join();
    workers_.clear();
    ::close(listenFd_);
    ::close(wakeFd_);
    listenFd_ = -1;
    wakeFd_ = -1;
}

std::string TTcpServer::Address() const {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    if (listenFd_ < 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        return "";
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return text;
}

int TTcpServer::Port() const {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    if (listenFd_ < 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        return 0;
    return ntohs(a.sin_port);
}

void TTcpServer::Listen() {
    while (!stopping_) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = ::poll(p, 2, kListenPollMs);
        Reap();
        if (ready <= 0 || !(p[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // Another account's program learns nothing, not even that the server answers.
        const int64_t uid = LoopbackPeerUid(fd);
        if (uid < 0 || (uid != 0 && uid != int64_t(::geteuid()))) {
            ::close(fd);
            continue;
        }
        CloseLongestIdle();
        std::lock_guard<std::mutex> lock(mutex_);
        Worker& w = workers_.emplace_back();
        w.connection = std::make_unique<TTcpConnection>(fd, OnHead);
        ++connectionCount_;
        w.thread = std::thread([this, &w] { Serve(w); });
    }
}

void TTcpServer::Serve(Worker& worker) {
    TTcpConnection& c = *worker.connection;
    while (!stopping_ && c.Connected()) {
        if (!OnExecute) {
            c.Close();
            break;
        }
        try {
            OnExecute(c);
        } catch (...) {
            // A failing pass ends its own connection, never the server.
            c.Close();
        }
        if (IdleTimeoutMs > 0 && c.IdleMs() >= IdleTimeoutMs)
            c.Close();
    }
    --connectionCount_;
    worker.finished = true;
}

void TTcpServer::CloseLongestIdle() {
    std::lock_guard<std::mutex> lock(mutex_);
    int open = 0;
    TTcpConnection* idlest = nullptr;
    for (Worker& w : workers_) {
        if (w.finished || !w.connection->Connected())
            continue;
        ++open;
        if (!idlest || w.connection->IdleMs() > idlest->IdleMs())
            idlest = w.connection.get();
    }
    // Idle connections never shut the user's programs out.
    if (open >= MaxConnections && idlest)
        idlest->Close();
}

void TTcpServer::Reap() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->finished) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace vx

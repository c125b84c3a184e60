#include "platform/system/TcpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr int kListenPollMs = 200;

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

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
        throw ESocketError(SystemError("socket"));
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0) {
        const std::string message = SystemError("listen");
        ::close(fd);
        throw ESocketError(message);
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        const std::string message = SystemError("eventfd");
        ::close(fd);
        throw ESocketError(message);
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
        if (connectionCount_ >= MaxConnections) {
            ::close(fd);
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        Worker& w = workers_.emplace_back();
        w.connection = std::make_unique<TTcpConnection>(fd);
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
    }
    --connectionCount_;
    worker.finished = true;
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

#pragma once

// A raw loopback client for the command server's tests: bytes out, replies in.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::test {

// A port nobody listens on just now.
inline int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

class Client {
public:
    explicit Client(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Client() { ::close(fd_); }
    bool Connected() const { return connected_; }
    void Send(std::string_view bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += size_t(n);
        }
    }
    // Reads until `count` CR LF-ended replies arrived, the peer closed, or ms passed idle.
    std::string Receive(int replies = 1, int ms = 2000) {
        std::string got;
        auto complete = [&] {
            int n = 0;
            for (size_t at = 0; (at = got.find("\r\n", at)) != std::string::npos; at += 2)
                ++n;
            return n >= replies;
        };
        while (!complete()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0)
                break;
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closed_ = true;
                break;
            }
            got.append(buffer, size_t(n));
        }
        return got;
    }
    bool ClosedByPeer() const { return closed_; }

private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
};

} // namespace vx::test

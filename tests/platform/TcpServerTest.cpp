#include "platform/system/TcpServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vx {
namespace {

using namespace std::chrono_literals;

// A raw loopback client: exactly the bytes the test writes, nothing more.
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
    void Send(std::string_view bytes) { ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // Everything that arrives within ms after the last byte (or until the peer closes).
    std::string Receive(int ms = 1000) {
        std::string got;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0)
                return got;
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closed_ = true;
                return got;
            }
            got.append(buffer, size_t(n));
            ms = 300;
        }
    }
    bool ClosedByPeer() const { return closed_; }

private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
};

// Echoes each line with a "<" in front; "close" ends the connection.
void Echo(TTcpConnection& c) {
    std::string line;
    switch (c.ReadLn(line, '\x03', 200, 32)) {
    case TTcpConnection::TReadResult::Line:
        if (line == "close")
            c.Close();
        else
            c.WriteLn("<" + line);
        return;
    case TTcpConnection::TReadResult::TimedOut:
        return;
    default:
        c.Close();
    }
}

// A port nobody holds now: the kernel's choice for a socket bound to port 0.
int FreePort() {
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

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

TEST(TcpServer, ListensOnLoopbackOnlyAndRefusesBadPorts) {
    const int port = FreePort();
    TTcpServer server;
    server.Activate("127.0.0.1", port);
    EXPECT_TRUE(server.Active());
    EXPECT_EQ(server.Address(), "127.0.0.1");
    EXPECT_EQ(server.Port(), port);

    TTcpServer second;
    EXPECT_THROW(second.Activate("127.0.0.1", port), ESocketError); // held
    for (int bad : {0, -1, 65536})
        EXPECT_THROW(second.Activate("127.0.0.1", bad), ESocketError) << bad;
    EXPECT_FALSE(second.Active());
}

TEST(TcpServer, RequestsSplitOrJoinedInWritesGetOneReplyEach) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.Activate("127.0.0.1", port);
    Client c(port);
    ASSERT_TRUE(c.Connected());
    c.Send("ab\x03"
           "cd\x03");
    EXPECT_EQ(c.Receive(), "<ab\r\n<cd\r\n");
    c.Send("x");
    std::this_thread::sleep_for(500ms); // several read time-outs pass without a reply
    c.Send("y\x03");
    EXPECT_EQ(c.Receive(), "<xy\r\n");
    EXPECT_EQ(c.Receive(1000), ""); // idle: nothing
}

TEST(TcpServer, OverlongLineClosesOnlyItsConnection) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.Activate("127.0.0.1", port);
    Client exact(port);
    exact.Send(std::string(32, 'a') + "\x03");
    EXPECT_EQ(exact.Receive(), "<" + std::string(32, 'a') + "\r\n");
    Client over(port);
    over.Send(std::string(33, 'a'));
    EXPECT_EQ(over.Receive(), "");
    EXPECT_TRUE(over.ClosedByPeer());
    exact.Send("still\x03");
    EXPECT_EQ(exact.Receive(), "<still\r\n");
}

TEST(TcpServer, CountsConnectionsAndClosesThoseBeyondTheLimit) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.MaxConnections = 3;
    server.Activate("127.0.0.1", port);
    {
        Client a(port), b(port), c(port);
        ASSERT_TRUE(WaitFor([&] { return server.ConnectionCount() == 3; }));
        Client d(port);
        d.Send("x\x03");
        EXPECT_EQ(d.Receive(), "");
        EXPECT_TRUE(d.ClosedByPeer());
        a.Send("close\x03");
        EXPECT_TRUE(WaitFor([&] { return server.ConnectionCount() == 2; }));
    }
    EXPECT_TRUE(WaitFor([&] { return server.ConnectionCount() == 0; }));
}

TEST(TcpServer, ClientGoneBeforeTheReplyNeverStopsTheServer) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = [](TTcpConnection& c) {
        std::string line;
        if (c.ReadLn(line, '\x03', 200, 100) != TTcpConnection::TReadResult::Line)
            return;
        std::this_thread::sleep_for(100ms); // the client closes meanwhile
        for (int i = 0; i < 50 && c.WriteLn(std::string(4000, 'r')); ++i) {
        }
    };
    server.Activate("127.0.0.1", port);
    {
        Client c(port);
        c.Send("go\x03");
    }
    std::this_thread::sleep_for(300ms);
    Client next(port);
    EXPECT_TRUE(next.Connected());
}

TEST(TcpServer, DeactivateClosesIdleConnectionsAndJoinsTheirThreads) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.Activate("127.0.0.1", port);
    Client a(port), b(port);
    ASSERT_TRUE(WaitFor([&] { return server.ConnectionCount() == 2; }));
    server.Deactivate();
    EXPECT_FALSE(server.Active());
    EXPECT_EQ(server.ConnectionCount(), 0);
    a.Receive(500);
    EXPECT_TRUE(a.ClosedByPeer());
    server.Activate("127.0.0.1", port); // the port is free again
    EXPECT_TRUE(server.Active());
}

} // namespace
} // namespace vx

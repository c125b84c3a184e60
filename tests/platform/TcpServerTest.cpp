#include "platform/system/TcpServer.h"

#include "support/TcpTestClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <sys/wait.h>
#include <thread>

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::Client;
using test::FreePort;

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
    EXPECT_EQ(c.Receive(2), "<ab\r\n<cd\r\n");
    c.Send("x");
    std::this_thread::sleep_for(500ms); // several read time-outs pass without a reply
    c.Send("y\x03");
    EXPECT_EQ(c.Receive(), "<xy\r\n");
    EXPECT_EQ(c.Receive(1, 1000), ""); // idle: nothing
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

TEST(TcpServer, AtTheLimitANewConnectionClosesTheLongestIdle) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.MaxConnections = 3;
    server.Activate("127.0.0.1", port);
    {
        Client a(port), b(port), c(port);
        ASSERT_TRUE(WaitFor([&] { return server.ConnectionCount() == 3; }));
        std::this_thread::sleep_for(50ms);
        b.Send("b\x03");
        c.Send("c\x03");
        EXPECT_EQ(b.Receive(), "<b\r\n");
        EXPECT_EQ(c.Receive(), "<c\r\n");
        Client d(port);
        d.Send("d\x03");
        EXPECT_EQ(d.Receive(), "<d\r\n"); // served
        a.Receive(1, 1000);
        EXPECT_TRUE(a.ClosedByPeer()); // silent longest
        b.Send("still\x03");
        EXPECT_EQ(b.Receive(), "<still\r\n");
        EXPECT_TRUE(WaitFor([&] { return server.ConnectionCount() == 3; }));
    }
    EXPECT_TRUE(WaitFor([&] { return server.ConnectionCount() == 0; }));
}

TEST(TcpServer, SilentConnectionIsClosedAfterTheTimeOut) {
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.IdleTimeoutMs = 600;
    server.Activate("127.0.0.1", port);
    Client silent(port), talking(port);
    for (int i = 0; i < 6; ++i) { // longer than the time-out in all, never silent that long
        std::this_thread::sleep_for(200ms);
        talking.Send("t\x03");
        EXPECT_EQ(talking.Receive(), "<t\r\n");
    }
    silent.Receive(1, 2000);
    EXPECT_TRUE(silent.ClosedByPeer());
    EXPECT_FALSE(talking.ClosedByPeer());
}

TEST(TcpServer, RefusedFirstBytesCloseTheConnectionUnread) {
    const int port = FreePort();
    TTcpServer server;
    std::atomic<int> lines{0};
    server.OnExecute = [&](TTcpConnection& c) {
        std::string line;
        const auto got = c.ReadLn(line, '\x03', 200, 100);
        if (got == TTcpConnection::TReadResult::Line)
            ++lines;
        else if (got != TTcpConnection::TReadResult::TimedOut)
            c.Close();
    };
    // "NO" refuses, "O" waits for more, anything else is accepted.
    server.OnHead = [](std::string_view head) {
        if (head.substr(0, 2) == "NO")
            return THeadVerdict::Refuse;
        return head == "N" ? THeadVerdict::Undecided : THeadVerdict::Accept;
    };
    server.Activate("127.0.0.1", port);
    Client refused(port);
    refused.Send("N");
    std::this_thread::sleep_for(300ms);
    refused.Send("O\x03more\x03");
    refused.Receive(1, 2000);
    EXPECT_TRUE(refused.ClosedByPeer());
    // Once accepted, later lines are never looked at.
    Client accepted(port);
    accepted.Send("ok\x03NO\x03");
    EXPECT_TRUE(WaitFor([&] { return lines == 2; }));
    EXPECT_FALSE(accepted.ClosedByPeer());
}

TEST(TcpServer, PeerOwnerIsFoundByBothLookups) {
    const int port = FreePort();
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    Client c(port);
    const int accepted = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    EXPECT_EQ(LoopbackPeerUid(accepted, TPeerLookup::ProcTable), int64_t(::geteuid()));
    const int64_t diag = LoopbackPeerUid(accepted, TPeerLookup::SocketDiag);
    if (diag >= 0)
        EXPECT_EQ(diag, int64_t(::geteuid()));
    else
        std::cout << "socket diagnostics not allowed here; the table is used\n";
    EXPECT_EQ(LoopbackPeerUid(accepted), int64_t(::geteuid()));
    // Not a TCP socket, and a socket without a peer.
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(LoopbackPeerUid(pair[0]), -1);
    EXPECT_EQ(LoopbackPeerUid(listener), -1);
    for (int fd : {pair[0], pair[1], accepted, listener})
        ::close(fd);
}

TEST(TcpServer, ClientOfAnotherAccountIsClosedWithoutAReply) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to start a client under another uid";
    const int port = FreePort();
    TTcpServer server;
    server.OnExecute = Echo;
    server.Activate("127.0.0.1", port);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // 0: closed without a byte; 1: a reply came; 2: could not even try.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        Client c(port);
        if (!c.Connected())
            ::_exit(2);
        c.Send("x\x03");
        const std::string got = c.Receive(1, 3000);
        ::_exit(got.empty() && c.ClosedByPeer() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    Client own(port);
    own.Send("x\x03");
    EXPECT_EQ(own.Receive(), "<x\r\n");
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
    a.Receive(1, 500);
    EXPECT_TRUE(a.ClosedByPeer());
    server.Activate("127.0.0.1", port); // the port is free again
    EXPECT_TRUE(server.Active());
}

} // namespace
} // namespace vx

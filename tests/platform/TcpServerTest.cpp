#include "platform/system/TcpServer.h"

#include "support/TcpTestClient.h"

#include <gtest/gtest.h>

#include <chrono>
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
    a.Receive(1, 500);
    EXPECT_TRUE(a.ClosedByPeer());
    server.Activate("127.0.0.1", port); // the port is free again
    EXPECT_TRUE(server.Active());
}

} // namespace
} // namespace vx

#include "platform/system/SingleInstance.h"

#include "platform/graphics/EnginePaint.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vx {
namespace {

// Each test owns its instance name, so that no test meets another's server.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        saved_ = std::getenv("VORNIX_INSTANCE_NAME");
        name_ = saved_ + "-" + std::to_string(++counter);
        setenv("VORNIX_INSTANCE_NAME", name_.c_str(), 1);
    }
    void TearDown() override {
        DoneSingleInstance();
        setenv("VORNIX_INSTANCE_NAME", saved_.c_str(), 1);
    }
    // Runs work on another thread, as a second process would, while this thread serves.
    template <class Work>
    auto FromOtherCopy(Work work) {
        std::atomic<bool> done{false};
        decltype(work()) result{};
        std::thread other([&] {
            result = work();
            done = true;
        });
        WaitUntil([&] { return done.load(); }, 10000);
        other.join();
        return result;
    }

    std::string saved_;
    std::string name_;
};

TEST(HandOverCommandLine, QuotesEveryPartAndMakesRelativeArgumentsAbsolute) {
    const std::string longName(300, 'n');
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"/opt/v/bin/vornix"}, "\"/opt/v/bin/vornix\""},
        {{"/opt/v/bin/vornix", "x.VRX"}, "\"/opt/v/bin/vornix\" \"/work/d/x.VRX\""},
        {{"/p/vornix", "/data/Demo.VRX", "sub/b c.VRX"},
         "\"/p/vornix\" \"/data/Demo.VRX\" \"/work/d/sub/b c.VRX\""},
        {{"/p/vornix", "/" + longName}, "\"/p/vornix\" \"/" + longName + "\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HandOverCommandLine(c.args, "/work/d"), c.expected);
}

TEST(MultipleInstancesAllowed, ReadsTheKeyAsABooleanOfTheClassLibrary) {
    test::TempDir dir;
    const std::string program = dir.File("vornix");
    EXPECT_FALSE(MultipleInstancesAllowed(program)); // no file
    const std::pair<const char*, bool> cases[] = {
        {"[Options]\r\nMultipleInstance=1\r\n", true},
        {"[Options]\r\nMultipleInstance=2\r\n", true},
        {"[Options]\r\nMultipleInstance=0\r\n", false},
        {"[Options]\r\nMultipleInstance=yes\r\n", false},
        {"[options]\r\nmultipleinstance = 1\r\n", true},
        {"[Other]\r\nMultipleInstance=1\r\n", false},
    };
    for (const auto& [text, expected] : cases) {
        test::WriteFile(dir.File("sig_gen.ini"), text);
        EXPECT_EQ(MultipleInstancesAllowed(program), expected) << text;
    }
}

TEST_F(SingleInstanceTest, FirstCopyReceivesTheSecondCopysCommandLine) {
    ASSERT_EQ(CheckSingleInstance({"/p/vornix"}, "/"), TInstanceRole::First);
    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& line) { received.push_back(line); });

    const auto role = FromOtherCopy([] {
        return CheckSingleInstance({"/p/vornix", "Demo.VRX"}, "/home/u");
    });
    EXPECT_EQ(role, TInstanceRole::HandedOver);
    WaitUntil([&] { return !received.empty(); }, 5000);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], "\"/p/vornix\" \"/home/u/Demo.VRX\"");
}

TEST_F(SingleInstanceTest, HandOverBeforeTheReceiverExistsWaitsForIt) {
    ASSERT_TRUE(BecomeFirstInstance());
    const std::string line = "\"/p/vornix\" \"/d/" + std::string(400, 'x') + ".VRX\"";
    EXPECT_TRUE(FromOtherCopy([&] { return SendCommandLineToFirstInstance(line); }));
    ProcessMessages();
    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& l) { received.push_back(l); });
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], line); // long paths arrive whole
}

TEST_F(SingleInstanceTest, AllowedSecondCopyRunsOnItsOwnWithoutListening) {
    test::TempDir dir;
    test::WriteFile(dir.File("sig_gen.ini"), "[Options]\r\nMultipleInstance=1\r\n");
    ASSERT_EQ(CheckSingleInstance({dir.File("vornix")}, "/"), TInstanceRole::First);
    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& l) { received.push_back(l); });
    const auto role = FromOtherCopy([&] {
        return CheckSingleInstance({dir.File("vornix"), "/d/a.VRX"}, "/");
    });
    EXPECT_EQ(role, TInstanceRole::Independent);
    ProcessMessages();
    EXPECT_TRUE(received.empty());
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedCopyIsTakenOver) {
    // A bound socket whose process is gone: the file exists, nobody accepts.
    const std::string path =
        QDir(QDir::tempPath()).filePath(QString::fromStdString(name_)).toStdString();
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);

    EXPECT_EQ(CheckSingleInstance({"/p/vornix"}, "/"), TInstanceRole::First);
    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& l) { received.push_back(l); });
    EXPECT_TRUE(FromOtherCopy([] { return SendCommandLineToFirstInstance("\"/p/vornix\""); }));
    WaitUntil([&] { return !received.empty(); }, 5000);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(SingleInstanceTest, HostileOrEmptyConnectionsDeliverNothing) {
    ASSERT_TRUE(BecomeFirstInstance());
    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& l) { received.push_back(l); });
    const QByteArray messages[] = {
        QByteArray("\xFF\xFF\xFF\xFF", 4) + "abc", // a length no command line has
        QByteArray("\x10\x00\x00\x00"
                   "short",
                   9), // ends before its length
        QByteArray(),  // connects and goes
    };
    for (const QByteArray& message : messages) {
        FromOtherCopy([&] {
            QLocalSocket socket;
            socket.connectToServer(QString::fromStdString(name_));
            if (!socket.waitForConnected(1000))
                return false;
            socket.write(message);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return true;
        });
    }
    for (int i = 0; i < 20; ++i)
        ProcessMessages();
    EXPECT_TRUE(received.empty());
    // The server still serves a proper hand-over afterwards.
    EXPECT_TRUE(FromOtherCopy([] { return SendCommandLineToFirstInstance("\"/p/v\""); }));
    WaitUntil([&] { return !received.empty(); }, 5000);
    EXPECT_EQ(received, std::vector<std::string>{"\"/p/v\""});
}

} // namespace
} // namespace vx

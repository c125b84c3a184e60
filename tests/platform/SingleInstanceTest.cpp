#include "platform/system/SingleInstance.h"

#include "platform/graphics/EnginePaint.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLockFile>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vx {
namespace {

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
    const std::string path = InstanceSocketPath();
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
            socket.connectToServer(QString::fromStdString(InstanceSocketPath()));
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

// The temporary folder and the runtime folder of the environment, replaced for one test.
class PrivateFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR", "VORNIX_INSTANCE_NAME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("TMPDIR", dir_.Path().c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
        unsetenv("VORNIX_INSTANCE_NAME");
    }
    void TearDown() override {
        DoneSingleInstance();
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    std::string Temp(const std::string& name) const {
        return QDir(QDir::tempPath()).filePath(QString::fromStdString(name)).toStdString();
    }
    // A folder that belongs to someone else: another account's when run as root, else one
    // that anybody may write to.
    static void MakeForeign(const std::string& folder) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0) << folder;
        if (::geteuid() == 0)
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        else
            ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    }
    static int Mode(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

    test::TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    const std::string uid_ = std::to_string(::geteuid());
};

// A listening local socket of an intruder; it must never be spoken to.
class Listener {
public:
    explicit Listener(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::copy(path.begin(), path.end(), address.sun_path);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(fd_, 4) == 0;
    }
    ~Listener() { ::close(fd_); }
    bool Bound() const { return bound_; }
    bool Contacted() const {
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c >= 0)
            ::close(c);
        return c >= 0;
    }

private:
    int fd_ = -1;
    bool bound_ = false;
};

TEST_F(PrivateFolderTest, TheFolderIsTheUsersOwnOrAnotherPrivateOne) {
    // No runtime folder: made in the temporary folder, 0700 whatever the umask.
    const mode_t umask = ::umask(0);
    EXPECT_EQ(InstanceFolder(), Temp("vornix-" + uid_));
    ::umask(umask);
    EXPECT_EQ(Mode(Temp("vornix-" + uid_)), 0700);
    EXPECT_EQ(InstanceSocketPath(), Temp("vornix-" + uid_) + "/vornix-" + uid_);

    // A private runtime folder is used; one that others may write to is not.
    const std::string runtime = Temp("run");
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(InstanceFolder(), runtime);
    ASSERT_EQ(::chmod(runtime.c_str(), 0777), 0);
    EXPECT_EQ(InstanceFolder(), Temp("vornix-" + uid_));
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(PrivateFolderTest, NamesTakenByAnotherAccountArePassedOver) {
    const std::string own = Temp("vornix-" + uid_);
    const std::string target = Temp("elsewhere");
    ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
    const struct {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"a foreign folder", [&] { MakeForeign(own); }},
        {"a link to a private folder",
         [&] { ASSERT_EQ(::symlink(target.c_str(), own.c_str()), 0); }},
        {"a file", [&] { test::WriteFile(own, "x"); }},
    };
    for (const auto& c : cases) {
        c.plant();
        EXPECT_EQ(InstanceFolder(), own + "-1") << c.what;
        EXPECT_EQ(Mode(own + "-1"), 0700) << c.what;
        std::filesystem::remove_all(own);
        EXPECT_EQ(InstanceFolder(), own) << c.what; // the usual one again once it is free
        std::filesystem::remove_all(own);
    }
}

TEST_F(PrivateFolderTest, AnotherAccountsLockAndSocketNeitherDelayNorReceive) {
    const std::string name = "vornix-" + uid_;
    // The other account's folder of our name, with a held lock and a listening socket in it,
    // and the same beside it in the shared folder where the names used to be.
    MakeForeign(Temp(name));
    Listener inside(Temp(name) + "/" + name);
    ASSERT_TRUE(inside.Bound());
    QLockFile insideLock(QString::fromStdString(Temp(name) + "/" + name + ".lock"));
    ASSERT_TRUE(insideLock.tryLock(0));
    Listener beside(Temp(name + "-1"));
    ASSERT_TRUE(beside.Bound());
    QLockFile besideLock(QString::fromStdString(Temp(name + ".lock")));
    ASSERT_TRUE(besideLock.tryLock(0));

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(CheckSingleInstance({"/p/vornix"}, "/"), TInstanceRole::First);
    // The lock waited for up to 10 s when it lay in the shared folder.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(InstanceFolder(), Temp(name + "-2"));
    EXPECT_EQ(SingleInstanceFailures() & sifLockFile, 0);

    std::vector<std::string> received;
    SetCommandLineReceiver([&](const std::string& l) { received.push_back(l); });
    const auto role = FromOtherCopy([] {
        return CheckSingleInstance({"/p/vornix", "/d/Mine.VRX"}, "/");
    });
    EXPECT_EQ(role, TInstanceRole::HandedOver);
    WaitUntil([&] { return !received.empty(); }, 5000);
    EXPECT_EQ(received, std::vector<std::string>{"\"/p/vornix\" \"/d/Mine.VRX\""});
    EXPECT_FALSE(inside.Contacted());
    EXPECT_FALSE(beside.Contacted());
}

} // namespace
} // namespace vx

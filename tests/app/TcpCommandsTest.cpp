#include "app/TcpCommands.h"

#include "support/TcpTestClient.h"

#include "platform/system/Files.h"
#include "platform/system/TcpServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::Client;
using test::FreePort;
using test::FromHex;
using test::HexBytes;

// Base folder B/ with three configuration-folder entries, two tests and a test in a folder
// whose name holds a point.
class TcpCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = dir_.Path();
        for (const char* f : {"Configurazioni", "Prove", "v1.2", "out", "System"})
            QDir().mkpath(QString::fromStdString(base_ + f));
        for (const char* f :
             {"Configurazioni/b.CPF", "Configurazioni/A.cpf", "Configurazioni/c.txt",
              "Prove/Bench_01.txt", "Prove/Bench_02.txt", "v1.2/t"})
            test::WriteFile(base_ + f, "x");
        snapshot_.BasePath = base_;
    }
    TTcpAnswer Ask(std::string_view request) { return HandleTcpRequest(request, snapshot_); }
    std::string Pdf(const std::string& test, const std::string& target, const std::string& config) {
        return "PDF\x02" + test + "\x02" + target + "\x02" + config + "\x02";
    }

    test::TempDir dir_;
    std::string base_;
    TTcpSnapshot snapshot_;
};

const std::string kErr1 = FromHex("45 52 52 02 31 03");

TEST_F(TcpCommandsTest, ConfigurationListingAndUnknownWords) {
    const std::string listing = "CFG\x02" + base_ +
                                "Configurazioni/\x02"
                                "A.cpf\x02"
                                "b.CPF\x02\x03";
    EXPECT_EQ(*Ask("CFG\x02").Reply, listing);
    EXPECT_EQ(*Ask("cfg\x02").Reply, listing);
    for (const char* request : {"XYZ\x02", "", "CFG", "PDFX\x02"})
        EXPECT_EQ(*Ask(request).Reply, kErr1) << request;
    EXPECT_FALSE(Ask("XYZ\x02").Job);

    QFile::remove(QString::fromStdString(base_ + "Configurazioni/b.CPF"));
    QFile::remove(QString::fromStdString(base_ + "Configurazioni/A.cpf"));
    EXPECT_EQ(*Ask("CFG\x02").Reply, "CFG\x02" + base_ + "Configurazioni/\x02\x03");
}

TEST_F(TcpCommandsTest, PdfAndVrxChecksInTheirOrder) {
    const std::string test = base_ + "Prove/Bench_01.txt";
    const std::string config = base_ + "Configurazioni/b.CPF";
    const std::string target = base_ + "out/t1.pdf";
    const struct {
        std::string request;
        std::string reply;
    } cases[] = {
        {Pdf(base_ + "Prove/none.txt", target, config), FromHex("45 52 52 02 32 02 03")},
        {Pdf(test, target, base_ + "none.CPF"), FromHex("45 52 52 02 33 02 03")},
        {Pdf(test, base_ + "out/a?b.pdf", config), FromHex("45 52 52 02 34 02 03")},
        {Pdf(test, ".x.pdf", config), FromHex("45 52 52 02 34 02 03")},
        {Pdf(test, base_ + "out/", config), FromHex("45 52 52 02 34 02 03")},
        {Pdf(test, "", config), FromHex("45 52 52 02 34 02 03")},
        {Pdf(test, base_ + std::string("out/a\0b.pdf", 11), config),
         FromHex("45 52 52 02 34 02 03")},
        {Pdf(std::string(test) + std::string("\0x", 2), target, config),
         FromHex("45 52 52 02 32 02 03")},
        {"PDF\x02" + test + "\x02" + target + "\x02" + config, FromHex("45 52 52 02 33 02 03")},
        {"VRX\x02" + test + "\x02" + config, FromHex("45 52 52 02 33 02 03")},
        {"VRX\x02" + base_ + "nowhere\x02" + config + "\x02", FromHex("45 52 52 02 32 02 03")},
    };
    for (const auto& c : cases) {
        const TTcpAnswer a = Ask(c.request);
        EXPECT_EQ(HexBytes(*a.Reply), HexBytes(c.reply)) << HexBytes(c.request);
        EXPECT_FALSE(a.Job);
    }

    const TTcpAnswer pdf = Ask(Pdf(test, target, config));
    EXPECT_EQ(HexBytes(*pdf.Reply), "50 44 46 02 31 03");
    ASSERT_TRUE(pdf.Job);
    EXPECT_EQ(pdf.Job->Command, TRemoteCommand::Pdf);
    EXPECT_EQ(pdf.Job->TestFile, test);
    EXPECT_EQ(pdf.Job->TargetFile, target);
    EXPECT_EQ(pdf.Job->ConfigFile, config);

    // Found one path component at a time, whatever the case the client wrote.
    const TTcpAnswer vrx = Ask("vrx\x02" + base_ + "prove/BENCH_01.TXT\x02" + config + "\x02");
    EXPECT_EQ(HexBytes(*vrx.Reply), "56 52 58 02 31 03");
    ASSERT_TRUE(vrx.Job);
    EXPECT_EQ(vrx.Job->Command, TRemoteCommand::Vrx);
    EXPECT_EQ(vrx.Job->TestFile, test);
}

TEST_F(TcpCommandsTest, OpnAndPrnAreQueuedWithoutReply) {
    const std::string test = base_ + "Prove/Bench_01.txt";
    const std::string config = base_ + "Configurazioni/b.CPF";
    // A file that is missing or no readable regular file is left out and named in the log.
    const struct {
        std::string request;
        TRemoteCommand command;
        std::string testFile;
        std::string config;
        std::vector<std::string> skipped;
    } cases[] = {
        {"OPN\x02" + test, TRemoteCommand::Opn, test, "", {}},
        {"opn\x02" + base_ + "PROVE/bench_01.TXT", TRemoteCommand::Opn, test, "", {}},
        {"OPN\x02" + test + "\x02", TRemoteCommand::Opn, "", "", {test + "\x02"}}, // STX is path
        {"OPN\x02/dev/zero", TRemoteCommand::Opn, "", "", {"/dev/zero"}},
        {"OPN\x02" + base_ + "Prove", TRemoteCommand::Opn, "", "", {base_ + "Prove"}},
        {"PRN\x02" + test, TRemoteCommand::Prn, test, "", {}},
        {"PRN\x02" + test + "\x02" + config, TRemoteCommand::Prn, test, config, {}},
        {"PRN\x02" + test +
             "\x02"
             "c.CPF",
         TRemoteCommand::Prn,
         test,
         "",
         {"c.CPF"}},
        {"PRN\x02/\x02/dev/null", TRemoteCommand::Prn, "", "", {"/", "/dev/null"}},
        {"prn\x02" + test + "\x02", TRemoteCommand::Prn, test, "", {}},
    };
    for (const auto& c : cases) {
        const TTcpAnswer a = Ask(c.request);
        EXPECT_FALSE(a.Reply) << c.request;
        ASSERT_TRUE(a.Job);
        EXPECT_EQ(a.Job->Command, c.command);
        EXPECT_EQ(a.Job->TestFile, c.testFile) << c.request;
        EXPECT_EQ(a.Job->ConfigFile, c.config) << c.request;
        EXPECT_EQ(a.Skipped, c.skipped) << c.request;
    }
}

// Only regular files that open for reading are tests or configurations; a folder would pass
// a check of existence and fail after "accepted", a FIFO or a device would block or never end.
TEST_F(TcpCommandsTest, TestAndConfigurationMustBeReadableRegularFiles) {
    const std::string test = base_ + "Prove/Bench_01.txt";
    const std::string config = base_ + "Configurazioni/b.CPF";
    const std::string target = base_ + "out/t.pdf";
    const std::string fifo = base_ + "Prove/fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(test.c_str(), (base_ + "Prove/link.txt").c_str()), 0);
    ASSERT_EQ(::symlink((base_ + "Prove").c_str(), (base_ + "link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink((base_ + "gone").c_str(), (base_ + "Prove/dangling.txt").c_str()), 0);
    const std::string err2 = FromHex("45 52 52 02 32 02 03");
    const std::string err3 = FromHex("45 52 52 02 33 02 03");
    const struct {
        std::string request;
        std::string reply;
    } cases[] = {
        {Pdf("/", target, config), err2},
        {Pdf(base_ + "Prove", target, config), err2},
        {Pdf(fifo, target, config), err2},
        {Pdf("/dev/zero", target, config), err2},
        {Pdf(base_ + "link-to-folder", target, config), err2},
        {Pdf(base_ + "Prove/dangling.txt", target, config), err2},
        {Pdf(test, target, base_ + "Configurazioni"), err3},
        {Pdf(test, target, fifo), err3},
        {Pdf(test, target, "/dev/null"), err3},
        {"VRX\x02" + fifo + "\x02" + config + "\x02", err2},
        {"VRX\x02" + test + "\x02/\x02", err3},
        {Pdf(base_ + "Prove/link.txt", target, config), "PDF\x02"
                                                        "1\x03"},
        {Pdf(base_ + "link-to-folder/bench_01.txt", target, config), "PDF\x02"
                                                                     "1\x03"},
    };
    for (const auto& c : cases) {
        const TTcpAnswer a = Ask(c.request);
        ASSERT_TRUE(a.Reply);
        EXPECT_EQ(HexBytes(*a.Reply), HexBytes(c.reply)) << c.request;
        EXPECT_EQ(bool(a.Job), c.reply[0] == 'P') << c.request;
    }
}

// The job writes the target much later: a folder that is missing, not a folder or closed to
// writing is refused now, as an empty name is.
TEST_F(TcpCommandsTest, PdfTargetFolderMustTakeANewFile) {
    const std::string test = base_ + "Prove/Bench_01.txt";
    const std::string config = base_ + "Configurazioni/b.CPF";
    const std::string err4 = FromHex("45 52 52 02 34 02 03");
    std::vector<std::pair<std::string, std::string>> cases = {
        {base_ + "missing/t.pdf", err4},
        {base_ + "Prove/Bench_02.txt/t.pdf", err4},
        {base_ + "OUT/t.pdf", err4}, // the copy names the folder as written
        {base_ + "out/t.pdf", "PDF\x02"
                              "1\x03"},
        {base_ + "out/../out/t.pdf", "PDF\x02"
                                     "1\x03"},
    };
    // A closed folder keeps root out only by its own rules: the case needs an ordinary user.
    ASSERT_TRUE(ForceDirectories(base_ + "closed"));
    ::chmod((base_ + "closed").c_str(), 0500);
    if (::geteuid() != 0)
        cases.emplace_back(base_ + "closed/t.pdf", err4);
    for (const auto& [target, reply] : cases) {
        const TTcpAnswer a = Ask(Pdf(test, target, config));
        EXPECT_EQ(HexBytes(*a.Reply), HexBytes(reply)) << target;
        EXPECT_EQ(bool(a.Job), reply[0] == 'P') << target;
    }
    ::chmod((base_ + "closed").c_str(), 0700);
}

TEST(DecodeTcpField, Utf8IsConvertedAnythingElseIsTakenAsItIs) {
    const std::pair<std::string, std::string> cases[] = {
        {"/data/Pr\xC3\xBC"
         "fung.txt",
         "/data/Pr\xFC"
         "fung.txt"}, // UTF-8
        {"/data/Pr\xFC"
         "fung.txt",
         "/data/Pr\xFC"
         "fung.txt"}, // cp1252 already
        {"plain", "plain"},
        {"\xC3", "\xC3"},         // cut sequence
        {"\xC0\xAF", "\xC0\xAF"}, // overlong form
        {"\xE2\x82\xAC", "\x80"}, // the euro sign
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(HexBytes(DecodeTcpField(in)), HexBytes(out)) << HexBytes(in);
}

TEST(HttpHeadVerdict, AMethodWordAndABlankRefusesCommandWordsPass) {
    const std::pair<std::string_view, THeadVerdict> cases[] = {
        {"POST / HTTP/1.1\r\n", THeadVerdict::Refuse},
        {"GET ", THeadVerdict::Refuse},
        {"OPTIONS * HTTP/1.1", THeadVerdict::Refuse},
        {"HEAD /", THeadVerdict::Refuse},
        {"PUT", THeadVerdict::Undecided}, // the blank may follow
        {"P", THeadVerdict::Undecided},
        {"", THeadVerdict::Undecided},
        {"PDF\x02", THeadVerdict::Accept},
        {"PRN\x02/t\x03", THeadVerdict::Accept},
        {"CFG\x02\x03", THeadVerdict::Accept},
        {"OPN\x02", THeadVerdict::Accept},
        {"get / HTTP/1.1", THeadVerdict::Accept}, // methods are upper case
        {"GETX ", THeadVerdict::Accept},
        {"\x03POST ", THeadVerdict::Accept},
    };
    for (const auto& [head, verdict] : cases)
        EXPECT_EQ(HttpHeadVerdict(head), verdict) << HexBytes(head);
}

// ---- over real loopback sockets ----

class TcpServingTest : public TcpCommandsTest {
protected:
    void SetUp() override {
        TcpCommandsTest::SetUp();
        port_ = FreePort();
        server_.OnExecute = [this](TTcpConnection& c) {
            ServeTcpRequest(c, snapshot_, [this](const TRemoteJob& job) {
                std::lock_guard<std::mutex> lock(mutex_);
                jobs_.push_back(job);
            });
        };
        server_.Activate("127.0.0.1", port_);
    }
    size_t JobCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return jobs_.size();
    }

    int port_ = 0;
    TTcpServer server_;
    std::mutex mutex_;
    std::vector<TRemoteJob> jobs_;
};

TEST_F(TcpServingTest, FramingOverASocket) {
    Client c(port_);
    ASSERT_TRUE(c.Connected());
    c.Send(std::string("XYZ\x02\x03"
                       "CFG\x02\x03",
                       10));
    const std::string listing = "CFG\x02" + base_ +
                                "Configurazioni/\x02"
                                "A.cpf\x02"
                                "b.CPF\x02\x03\r\n";
    EXPECT_EQ(c.Receive(2), kErr1 + "\r\n" + listing);
    c.Send("CF");
    std::this_thread::sleep_for(500ms);
    c.Send("G\x02\x03");
    EXPECT_EQ(c.Receive(2, 1000), listing); // exactly one reply
    c.Send("\x03");
    EXPECT_EQ(c.Receive(), kErr1 + "\r\n");
    EXPECT_EQ(c.Receive(1, 1000), ""); // idle: nothing
    c.Send("OPN\x02" + base_ + "Prove/Bench_01.txt\x03");
    EXPECT_EQ(c.Receive(1, 1000), "");
    EXPECT_EQ(JobCount(), 1u);
}

TEST_F(TcpServingTest, LongestLineIsServedOneLongerClosesTheConnection) {
    Client exact(port_);
    exact.Send("XYZ\x02" + std::string(31996, 'a') + "\x03");
    EXPECT_EQ(exact.Receive(), kErr1 + "\r\n");
    Client over(port_);
    over.Send("XYZ\x02" + std::string(31997, 'a') + "\x03");
    EXPECT_EQ(over.Receive(), "");
    EXPECT_TRUE(over.ClosedByPeer());
    Client next(port_);
    next.Send("XYZ\x02\x03");
    EXPECT_EQ(next.Receive(), kErr1 + "\r\n");
}

// Many clients at once, good and hostile alike, with idle connections held throughout.
TEST_F(TcpServingTest, SoakOfMixedRequestsOverConcurrentConnections) {
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 50; ++i)
        idle.push_back(std::make_unique<Client>(port_));
    const std::string listing = "CFG\x02" + base_ +
                                "Configurazioni/\x02"
                                "A.cpf\x02"
                                "b.CPF\x02\x03\r\n";
    const std::string missing = std::string("ERR\x02"
                                            "2\x02\x03\r\n");
    std::atomic<int> wrong{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 20; ++t) {
        clients.emplace_back([&, t] {
            std::mt19937 random(1234 + t);
            for (int i = 0; i < 50; ++i) {
                Client c(port_);
                switch ((t + i) % 7) {
                case 0:
                    c.Send("CFG\x02\x03");
                    wrong += c.Receive() != listing;
                    break;
                case 1:
                    c.Send("NOPE\x02\x03");
                    wrong += c.Receive() != kErr1 + "\r\n";
                    break;
                case 2:
                    c.Send(Pdf(base_ + "x.txt", "o.pdf", "c.CPF") + "\x03");
                    wrong += c.Receive() != missing;
                    break;
                case 3:
                    c.Send(std::string(32001, 'z'));
                    c.Receive();
                    wrong += !c.ClosedByPeer();
                    break;
                case 4:
                    c.Send("CFG\x02"); // cut off before ETX, then gone
                    break;
                case 5: {
                    std::string noise(1 + random() % 3000, '\0');
                    for (char& ch : noise)
                        ch = char(random());
                    if (random() % 2)
                        noise += '\x03';
                    c.Send(noise);
                    break;
                }
                default:
                    c.Send("CFG\x02\x03"); // closes before reading
                    break;
                }
            }
        });
    }
    for (std::thread& t : clients)
        t.join();
    EXPECT_EQ(wrong, 0);
    auto waitCount = [&](int n) {
        for (int i = 0; i < 500 && server_.ConnectionCount() != n; ++i)
            std::this_thread::sleep_for(10ms);
        return server_.ConnectionCount();
    };
    {
        Client after(port_);
        after.Send("CFG\x02\x03");
        EXPECT_EQ(after.Receive(), listing);
        EXPECT_EQ(waitCount(51), 51); // the idle ones and `after`
    }
    EXPECT_EQ(waitCount(50), 50);
    idle.clear();
    EXPECT_EQ(waitCount(0), 0);
}

} // namespace
} // namespace vx

#include "app/TcpJobs.h"

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/impdlg.h"
#include "data/Databuff.h"
#include "document/Document.h"
#include "document/parambox.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/RadioGroup.h"
#include "report/DocBox.h"
#include "report/WPPage.h"
#include "support/TcpTestClient.h"

#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QRegularExpression>
#include <atomic>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace vx {
namespace {

using test::Client;
using test::FromHex;
using test::HexBytes;

void ProcessMessagesFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= ms; }, ms);
}

// The resident memory of this process.
long ResidentKb() {
    std::ifstream status("/proc/self/statm");
    long pages = 0, resident = 0;
    status >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

const char* const kTest = "2\r\n"
                          "Forza\tCorsa\r\n"
                          "kN\tmm\r\n"
                          "skipped\r\n"
                          "1.5\t10\r\n"
                          "2.5\t20\r\n";

// A main window with the command server installed, on base folder B/ with its tests.
class TcpJobsTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        ForceDirectories(BasePath + "bin");
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        for (const char* f : {"Prove", "v1.2", "out"})
            ForceDirectories(BasePath + f);
        for (const char* f : {"Prove/Bench_01.txt", "Prove/Bench_02.txt", "v1.2/t"})
            test::WriteFile(BasePath + f, kTest);
        ImpostazioniRec.Clear();
        MainExtensions() = {};
        InstallTcpServer(MainExtensions());
        saved_ = TcpIntervals();
        port_ = test::FreePort();
    }
    void TearDown() override {
        delete form;
        form = nullptr;
        MainExtensions() = {};
        TcpIntervals() = saved_;
        ImpostazioniRec.Clear();
        unsetenv("VORNIX_PROGRAM_PATH");
        test::InstallVirtualPrinter();
        AppWindowTest::TearDown();
    }

    // The main window as start-up makes it, with the server switched on at port_.
    TTcpJobs& Start(bool closeAfterPrint = true) {
        ImpostazioniRec.SetTcpServerActive(true);
        ImpostazioniRec.SetTcpPort(port_);
        ImpostazioniRec.SetPdfPrinterName("vornix pdf");
        ImpostazioniRec.SetDriverOutputFile(BasePath + "System/drv.pdf");
        ImpostazioniRec.SetCloseAfterRemotePrint(closeAfterPrint);
        EXPECT_TRUE(SaveSettings());
        form = CreateForm<TMainForm>();
        return TTcpJobs::Of(*form);
    }
    void InstallPdfPrinter() {
        auto pdf = std::make_shared<PdfPrinter>([] { return ImpostazioniRec.DriverOutputFile(); });
        InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
            std::vector<std::shared_ptr<PrinterDevice>>{std::make_shared<VirtualPrinter>(), pdf}));
    }
    static void Shorten() { TcpIntervals() = {10, 10, 10}; }
    // A configuration of graph pages in the given orientations, saved by a document window.
    std::string Configuration(const std::string& name,
                              const std::vector<TPrinterOrientation>& pages) {
        std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
        TStringList files;
        files.Add(BasePath + "Prove/Bench_01.txt");
        doc->NewDocument("", files);
        // Further pages as a user adds them: a graph page through the new-page dialog.
        ui.ModalHook = [](QObject* o) {
            auto* dialog = qobject_cast<Tnewpagedlg*>(o);
            if (!dialog)
                return mrCancel;
            dialog->RadioGroup1->SetItemIndex(0);
            dialog->Edit1->SetText("P");
            return mrOk;
        };
        for (size_t i = 1; i < pages.size(); ++i)
            doc->NewPage();
        ui.ModalHook = nullptr;
        EXPECT_EQ(doc->Pages().size(), pages.size());
        for (size_t i = 0; i < pages.size(); ++i)
            doc->DocBox->GetPage(int(i))->printerorientation = pages[i];
        const std::string path = BasePath + "Configurazioni/" + name;
        doc->SaveProjectToFile(path);
        return path;
    }
    static std::string Pdf(const std::string& test, const std::string& target,
                           const std::string& config) {
        return "PDF\x02" + test + "\x02" + target + "\x02" + config + "\x02\x03";
    }
    std::string Ask(const std::string& request) {
        Client c(port_);
        EXPECT_TRUE(c.Connected());
        c.Send(request);
        return c.Receive();
    }
    std::vector<TDocForm*> Documents() const {
        std::vector<TDocForm*> docs;
        for (QMdiSubWindow* sub : form->ClientArea->subWindowList(QMdiArea::CreationOrder))
            if (auto* doc = qobject_cast<TDocForm*>(sub->widget()))
                docs.push_back(doc);
        return docs;
    }
    std::string LogText() const {
        const std::string name = BasePath + "bin/DEBUG_Path.txt";
        return FileExists(name) ? test::ReadFile(name) : std::string();
    }
    // pdfinfo's lines with runs of blanks collapsed to one.
    static std::string PdfInfo(const std::string& file, std::vector<std::string> args = {}) {
        const std::string tool = test::FindTool("pdfinfo");
        EXPECT_FALSE(tool.empty()) << "pdfinfo is missing";
        args.push_back(file);
        static const QRegularExpression blanks(" +");
        return QString::fromStdString(test::RunTool(tool, args).Output)
            .replace(blanks, " ")
            .toStdString();
    }

    TMainForm* form = nullptr;
    int port_ = 0;
    TTcpIntervals saved_;
};

TEST_F(TcpJobsTest, ServerListensOnLoopbackAndAFailedStartSaysWhy) {
    TTcpJobs& jobs = Start();
    ASSERT_TRUE(jobs.TCPServer1.Active());
    EXPECT_EQ(jobs.TCPServer1.Address(), "127.0.0.1");
    EXPECT_EQ(jobs.TCPServer1.Port(), port_);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(HexBytes(Ask("XYZ\x02\x03")), HexBytes(FromHex("45 52 52 02 31 03 0D 0A")));

    {
        // A port already held by the running server, then one that is no port.
        TTcpJobs other(*form);
        const struct {
            int port;
            const char* why;
        } cases[] = {{port_, "IDS_130"}, {0, "IDS_132"}, {70000, "IDS_132"}};
        for (const auto& c : cases) {
            ui.Messages.clear();
            ImpostazioniRec.SetTcpPort(c.port);
            other.StartTcpServer();
            EXPECT_FALSE(other.TCPServer1.Active());
            const std::string why = Format(form->Text(c.why), {c.port});
            EXPECT_NE(why.find(std::to_string(c.port)), std::string::npos) << why;
            EXPECT_EQ(Messages(), (std::vector<std::string>{"Server is not actived!\n" + why}));
        }
        // In the user's language.
        SetLanguage(2);
        ui.Messages.clear();
        other.StartTcpServer();
        EXPECT_EQ(Messages(), (std::vector<std::string>{
                                  "Server is not active!\nPort 70000 is not valid (1 to 65535)."}));
        SetLanguage(1);
    }
    // The window's end stops the server, with a client still connected.
    Client held(port_);
    ASSERT_TRUE(held.Connected());
    delete form;
    form = nullptr;
    EXPECT_FALSE(Client(port_).Connected());
}

TEST_F(TcpJobsTest, PortHeldElsewhereIsToldAndTheSettingsDialogTriesAgain) {
    // Another program's socket on the port.
    auto blocker = std::make_unique<TTcpServer>();
    blocker->Activate("127.0.0.1", port_);
    TTcpJobs& jobs = Start();
    EXPECT_FALSE(jobs.TCPServer1.Active());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Server is not actived!\n" + Format(form->Text("IDS_130"), {port_}));
    blocker.reset();
    // The dialog shows the switch as stored; its OK starts the server.
    bool shownOn = false;
    ui.ModalHook = [&](QObject* o) {
        if (auto* dialog = qobject_cast<Timpostazioni*>(o))
            shownOn = dialog->CheckBox2->Checked();
        return mrOk;
    };
    form->Impostazioni1Click(nullptr);
    ui.ModalHook = nullptr;
    EXPECT_TRUE(shownOn);
    EXPECT_TRUE(jobs.TCPServer1.Active());
    EXPECT_EQ(Messages().size(), 1u);

    // Ended with a connection just served, which the server's end closes first and so leaves
    // waiting on the port, and started again at once: listening.
    Client c(port_);
    c.Send("CFG\x02\x03");
    EXPECT_EQ(c.Receive().substr(0, 4), "CFG\x02");
    delete form;
    form = CreateForm<TMainForm>();
    EXPECT_TRUE(TTcpJobs::Of(*form).TCPServer1.Active());
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(HexBytes(Ask("XYZ\x02\x03")), HexBytes(FromHex("45 52 52 02 31 03 0D 0A")));
}

TEST_F(TcpJobsTest, VrxRepliesThenWritesTheDocumentBesideTheTest) {
    Start();
    const std::string config = Configuration("one.CPF", {poPortrait});
    const struct {
        std::string test, vrx;
    } cases[] = {
        {BasePath + "Prove/Bench_01.txt", BasePath + "Prove/Bench_01.VRX"},
        {BasePath + "v1.2/t", BasePath + "v1.2/t.VRX"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexBytes(Ask("VRX\x02" + c.test + "\x02" + config + "\x02\x03")),
                  HexBytes(FromHex("56 52 58 02 31 03 0D 0A")));
        EXPECT_TRUE(WaitUntil([&] { return FileExists(c.vrx); }, 20000)) << c.vrx;
    }
    // A test named like its document is never written over.
    test::WriteFile(BasePath + "Prove/self.VRX", kTest);
    Ask("VRX\x02" + BasePath + "Prove/self.VRX\x02" + config + "\x02\x03");
    ProcessMessagesFor(200);
    EXPECT_EQ(test::ReadFile(BasePath + "Prove/self.VRX"), kTest);
    EXPECT_TRUE(Documents().empty()); // the writing window is gone
    form->apri_documento(BasePath + "Prove/Bench_01.VRX");
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(Documents()[0]->Databuffer->FileNames.Count(), 1);
}

TEST_F(TcpJobsTest, OpnOpensTheTestWithoutReplying) {
    Start();
    ui.ModalHook = [](QObject*) { return mrOk; }; // the configuration chooser
    const std::string test = BasePath + "Prove/Bench_01.txt";
    Client trailing(port_), plain(port_);
    trailing.Send("OPN\x02" + test + "\x02\x03");
    plain.Send("OPN\x02" + test + "\x03");
    EXPECT_EQ(trailing.Receive(1, 1000), "");
    EXPECT_EQ(plain.Receive(1, 1000), "");
    EXPECT_TRUE(WaitUntil([&] { return Documents().size() == 1; }, 20000));
    ProcessMessages();
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(Documents()[0]->Databuffer->FileNames.Count(), 1);
    EXPECT_EQ(Documents()[0]->Databuffer->FileNames[0], test);
}

TEST_F(TcpJobsTest, RemotePdfJobsRunInOrderWithoutIdleWaitsAndMakeThePrintedPdf) {
    InstallPdfPrinter();
    Start(/*closeAfterPrint=*/false);
    const std::string config = Configuration("two.CPF", {poPortrait, poLandscape});
    const std::string ok = HexBytes(FromHex("50 44 46 02 31 03 0D 0A"));
    // Two jobs on one connection: queued in this order.
    QElapsedTimer clock;
    clock.start();
    Client c(port_);
    c.Send(Pdf(BasePath + "Prove/Bench_01.txt", BasePath + "out/t1.pdf", config) +
           Pdf(BasePath + "Prove/Bench_02.txt", BasePath + "out/t2.pdf", config));
    EXPECT_EQ(HexBytes(c.Receive(2)), ok + " " + ok);
    ASSERT_TRUE(WaitUntil(
        [&] { return FileExists(BasePath + "out/t1.pdf") && FileExists(BasePath + "out/t2.pdf"); },
        60000));
    // The intervals as shipped: the fixed waits of the past took at least 6 s for each job.
    EXPECT_LT(clock.elapsed(), 6000);
    const std::string log = LogText();
    const size_t first = log.find("Bench_01.txt: copied to " + BasePath + "out/t1.pdf");
    const size_t second = log.find("Bench_02.txt: copied to " + BasePath + "out/t2.pdf");
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_LT(first, second) << log;
    for (const auto& [file, title] :
         {std::pair{"out/t1.pdf", "Bench_01"}, std::pair{"out/t2.pdf", "Bench_02"}}) {
        const std::string info = PdfInfo(BasePath + file, {"-f", "1", "-l", "2"});
        EXPECT_NE(info.find("Pages: 2\n"), std::string::npos) << info;
        EXPECT_NE(info.find("Page 1 size: 595 x 842"), std::string::npos) << info;
        EXPECT_NE(info.find("Page 2 size: 842 x 595"), std::string::npos) << info;
        EXPECT_NE(info.find(std::string("Title: ") + title + "\n"), std::string::npos) << info;
    }
    // The job's window, composed at leisure and printed again, gives the same text.
    ASSERT_TRUE(WaitUntil([&] { return !TTcpJobs::Of(*form).Busy(); }, 10000));
    ASSERT_EQ(Documents().size(), 2u);
    TDocForm* doc = Documents()[0];
    ProcessMessagesFor(500);
    ImpostazioniRec.SetDriverOutputFile(BasePath + "out/again.pdf");
    SetPrinterIndex(1);
    doc->PrintPages(0, 0);
    SetPrinterIndex(0);
    const std::string text = test::FindTool("pdftotext");
    ASSERT_FALSE(text.empty()) << "pdftotext is missing";
    const std::string remote = test::RunTool(text, {BasePath + "out/t1.pdf", "-"}).Output;
    EXPECT_NE(remote.find("100.0"), std::string::npos) << remote; // the axes are drawn
    EXPECT_EQ(remote, test::RunTool(text, {BasePath + "out/again.pdf", "-"}).Output);
}

TEST_F(TcpJobsTest, PdfKeepsAnExistingTargetAndPrintsEachPageInItsOrientation) {
    InstallPdfPrinter();
    Shorten();
    TTcpJobs& jobs = Start(/*closeAfterPrint=*/false);
    const std::string two = Configuration("two.CPF", {poPortrait, poLandscape});
    test::WriteFile(BasePath + "out/kept.pdf", "old bytes");
    const std::string ok = HexBytes(FromHex("50 44 46 02 31 03 0D 0A"));
    EXPECT_EQ(HexBytes(Ask(Pdf(BasePath + "Prove/Bench_01.txt", BasePath + "out/kept.pdf", two))),
              ok);
    EXPECT_EQ(HexBytes(Ask(Pdf(BasePath + "Prove/Bench_01.txt", BasePath + "out/two.pdf", two))),
              ok);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(BasePath + "out/two.pdf"); }, 60000));
    EXPECT_TRUE(WaitUntil([&] { return !jobs.Busy(); }, 10000));
    EXPECT_EQ(test::ReadFile(BasePath + "out/kept.pdf"), "old bytes");
    // Both windows stay open; the printer and the z-order are as before.
    EXPECT_EQ(Documents().size(), 2u);
    EXPECT_EQ(PrinterIndex(), 0);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    const std::string info = PdfInfo(BasePath + "out/two.pdf", {"-f", "1", "-l", "2"});
    EXPECT_NE(info.find("Pages: 2\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 1 size: 595 x 842"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 2 size: 842 x 595"), std::string::npos) << info;
}

TEST_F(TcpJobsTest, AMissingPrinterChecksElevenTimesThenTheNextJobRuns) {
    InstallPdfPrinter();
    Shorten();
    TTcpJobs& jobs = Start();
    ImpostazioniRec.SetPdfPrinterName("No Such Printer");
    const std::string config = Configuration("one.CPF", {poPortrait});
    // A stale driver output from before must not become this job's target.
    test::WriteFile(BasePath + "System/drv.pdf", "stale");
    int checks = 0;
    auto tick = jobs.TCP_Timer->OnTimer;
    jobs.TCP_Timer->OnTimer = [&](TComponent* sender) {
        if (jobs.TCP_Timer->Tag == 2)
            ++checks;
        tick(sender);
    };
    jobs.QueueJob(
        {TRemoteCommand::Pdf, BasePath + "Prove/Bench_01.txt", BasePath + "out/none.pdf", config});
    // A job whose test vanished ends at once, copying nothing.
    jobs.QueueJob(
        {TRemoteCommand::Pdf, BasePath + "Prove/gone.txt", BasePath + "out/g.pdf", config});
    jobs.QueueJob({TRemoteCommand::Prn, BasePath + "Prove/Bench_02.txt", "", config});
    EXPECT_TRUE(WaitUntil([&] { return !jobs.Busy(); }, 30000));
    EXPECT_EQ(checks, 11);
    EXPECT_FALSE(FileExists(BasePath + "out/none.pdf"));
    EXPECT_FALSE(FileExists(BasePath + "out/g.pdf"));
    EXPECT_FALSE(FileExists(BasePath + "System/drv.pdf"));
    const std::string log = LogText();
    const size_t none = log.find("Bench_01.txt: no driver output");
    const size_t gone = log.find("gone.txt: test or configuration missing");
    const size_t printed = log.find("Bench_02.txt: printed");
    EXPECT_NE(none, std::string::npos) << log;
    EXPECT_LT(none, gone) << log;
    EXPECT_LT(gone, printed) << log;
}

TEST_F(TcpJobsTest, PrintJobPrintsOnlyTheWindowItOpened) {
    test::InstallVirtualPrinter();
    Shorten();
    TTcpJobs& jobs = Start();
    auto* printer = dynamic_cast<VirtualPrinter*>(&Printer());
    ASSERT_NE(printer, nullptr);
    const std::string two = Configuration("two.CPF", {poPortrait, poLandscape});
    printer->ClearJobs();
    Client c(port_);
    c.Send("PRN\x02" + BasePath + "Prove/Bench_02.txt\x02" + two + "\x03");
    EXPECT_EQ(c.Receive(1, 300), "");
    ASSERT_TRUE(WaitUntil([&] { return !printer->Batches().empty(); }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return !jobs.Busy(); }, 10000));
    ASSERT_EQ(Documents().size(), 1u); // it stays open
    size_t sheets = 0;
    for (const auto& job : printer->Jobs())
        sheets += job.Pages.size();
    EXPECT_EQ(sheets, 2u);

    // A missing test opens nothing and prints nothing, not even the open window.
    printer->ClearJobs();
    jobs.QueueJob({TRemoteCommand::Prn, BasePath + "Prove/gone.txt", "", two});
    EXPECT_TRUE(WaitUntil([&] { return !jobs.Busy(); }, 10000));
    EXPECT_TRUE(printer->Jobs().empty());
    EXPECT_EQ(Documents().size(), 1u);
}

TEST_F(TcpJobsTest, PipelinedVrxRequestsAreAnsweredQueuedToAHundredAndWrittenInOrder) {
    Start();
    const std::string config = Configuration("one.CPF", {poPortrait});
    ForceDirectories(BasePath + "many");
    constexpr int kRequests = 10000;
    std::string requests;
    for (int i = 0; i < kRequests; ++i) {
        const std::string test = BasePath + "many/" + std::to_string(i) + ".txt";
        test::WriteFile(test, kTest);
        requests += "VRX\x02" + test + "\x02" + config + "\x02\x03";
    }
    const long before = ResidentKb();
    Client c(port_);
    std::string replies;
    std::thread sender([&] { c.Send(requests); });
    std::thread receiver([&] { replies = c.Receive(kRequests, 60000); });
    // The GUI thread runs the jobs meanwhile.
    std::atomic<bool> received{false};
    std::thread watcher([&] {
        receiver.join();
        received = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return received.load(); }, 120000));
    sender.join();
    watcher.join();
    ASSERT_TRUE(WaitUntil([&] { return !TTcpJobs::Of(*form).Busy(); }, 120000));

    const std::string accepted = std::string("VRX\x02") + "1\x03\r\n";
    const std::string refused = std::string("ERR\x02") + "5\x02\x03\r\n";
    std::vector<int> queued;
    size_t at = 0;
    for (int i = 0; i < kRequests; ++i) {
        if (replies.compare(at, accepted.size(), accepted) == 0) {
            queued.push_back(i);
            at += accepted.size();
        } else {
            ASSERT_EQ(replies.compare(at, refused.size(), refused), 0)
                << "reply " << i << ": " << HexBytes(replies.substr(at, 16));
            at += refused.size();
        }
    }
    EXPECT_EQ(at, replies.size());
    // The first hundred always find room; most of the rest find the queue full.
    ASSERT_GE(queued.size(), 100u);
    EXPECT_LT(queued.size(), size_t(kRequests / 2));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(queued[size_t(i)], i);
    // Written one after the other, in the order they were asked for, each exactly once.
    std::vector<int> written;
    const std::string log = LogText();
    const std::string entry = "TCP VRX->\r\nVal->" + BasePath + "many/";
    for (size_t p = 0; (p = log.find(entry, p)) != std::string::npos; p += entry.size())
        written.push_back(std::atoi(log.c_str() + p + entry.size()));
    EXPECT_EQ(written, queued);
    for (int i : {queued.front(), queued.back()})
        EXPECT_TRUE(FileExists(BasePath + "many/" + std::to_string(i) + ".VRX")) << i;
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(ResidentKb() - before, 20 * 1024);
#else
    (void)before; // the sanitizer keeps freed memory in quarantine
#endif
}

TEST_F(TcpJobsTest, AFullQueueDropsOpnAndPrnWithALogLineAndKeepsTheConnection) {
    TTcpJobs& jobs = Start();
    // Places held as connection threads hold them between the reply and the job.
    for (size_t i = 0; i < kMaxWaitingJobs; ++i)
        ASSERT_TRUE(jobs.Reserve({TRemoteCommand::Prn, "/t", "", ""}));
    const std::string test = BasePath + "Prove/Bench_01.txt";
    Client c(port_);
    c.Send("OPN\x02" + test + "\x03PRN\x02" + test +
           "\x03"
           "CFG\x02\x03");
    EXPECT_EQ(c.Receive().substr(0, 4), "CFG\x02");
    ASSERT_TRUE(WaitUntil([&] { return LogText().find("TCP PRN->") != std::string::npos; }, 5000));
    const std::string log = LogText();
    EXPECT_NE(log.find("TCP OPN->\r\nVal->" + test + ": dropped, 100 jobs wait"), std::string::npos)
        << log;
    EXPECT_NE(log.find("TCP PRN->\r\nVal->" + test + ": dropped, 100 jobs wait"), std::string::npos)
        << log;
    EXPECT_FALSE(jobs.Busy());
    EXPECT_TRUE(Documents().empty());
}

TEST_F(TcpJobsTest, AJobWaitingWhileAnotherShowsADialogStartsOnlyAfterIt) {
    Start();
    const std::string config = Configuration("one.CPF", {poPortrait});
    const std::string vrx = BasePath + "Prove/Bench_02.VRX";
    bool vrxDuringChooser = true;
    int choosers = 0;
    ui.ModalHook = [&](QObject*) {
        // The configuration chooser of OPN: events run here, the VRX behind it must wait.
        ++choosers;
        ProcessMessagesFor(300);
        vrxDuringChooser = FileExists(vrx);
        return mrOk;
    };
    Client c(port_);
    c.Send("OPN\x02" + BasePath + "Prove/Bench_01.txt\x03VRX\x02" + BasePath +
           "Prove/Bench_02.txt\x02" + config + "\x02\x03");
    EXPECT_EQ(HexBytes(c.Receive()), HexBytes(FromHex("56 52 58 02 31 03 0D 0A")));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(vrx); }, 20000));
    EXPECT_EQ(choosers, 1);
    EXPECT_FALSE(vrxDuringChooser);
    ui.ModalHook = nullptr;
}

TEST_F(TcpJobsTest, BrowserRequestIsClosedUnreadAndWritesNothing) {
    Start();
    const std::string config = Configuration("one.CPF", {poPortrait});
    const std::string body =
        "\x03VRX\x02" + BasePath + "Prove/Bench_01.txt\x02" + config + "\x02\x03";
    for (const std::string method : {"POST", "PUT", "GET"}) {
        Client c(port_);
        c.Send(method + " / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/plain\r\n" +
               "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        EXPECT_EQ(c.Receive(1, 3000), "") << method;
        EXPECT_TRUE(c.ClosedByPeer()) << method;
    }
    ProcessMessagesFor(300);
    EXPECT_FALSE(FileExists(BasePath + "Prove/Bench_01.VRX"));
    // A command word that merely starts like a method is served.
    EXPECT_EQ(HexBytes(Ask("PDF\x02\x02\x02\x02\x03")),
              HexBytes(FromHex("45 52 52 02 32 02 03 0D 0A")));
}

TEST_F(TcpJobsTest, HundredIdleConnectionsLeaveRoomAndTimeOut) {
    TTcpJobs& jobs = Start();
    jobs.TCPServer1.IdleTimeoutMs = 1500;
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 100; ++i)
        idle.push_back(std::make_unique<Client>(port_));
    ASSERT_TRUE(WaitUntil([&] { return jobs.TCPServer1.ConnectionCount() == 100; }, 10000));
    const std::string cfg = Ask("CFG\x02\x03");
    EXPECT_EQ(cfg.substr(0, 4), "CFG\x02");
    // The first one, the longest silent, made room.
    idle.front()->Receive(1, 2000);
    EXPECT_TRUE(idle.front()->ClosedByPeer());
    // The rest are closed once silent for the time-out.
    idle.back()->Receive(1, 5000);
    EXPECT_TRUE(idle.back()->ClosedByPeer());
    EXPECT_TRUE(WaitUntil([&] { return jobs.TCPServer1.ConnectionCount() == 0; }, 5000));
}

} // namespace
} // namespace vx

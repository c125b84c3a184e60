#include "app/TcpJobs.h"

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/Databuff.h"
#include "document/Document.h"
#include "document/parambox.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/Edit.h"
#include "platform/ui/RadioGroup.h"
#include "report/DocBox.h"
#include "report/WPPage.h"
#include "support/TcpTestClient.h"

#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>

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
    static void Shorten() { TcpIntervals() = {10, 10, 10, 10}; }
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

TEST_F(TcpJobsTest, ServerListensOnLoopbackAndAFailedStartIsTold) {
    TTcpJobs& jobs = Start();
    ASSERT_TRUE(jobs.TCPServer1.Active());
    EXPECT_EQ(jobs.TCPServer1.Address(), "127.0.0.1");
    EXPECT_EQ(jobs.TCPServer1.Port(), port_);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(HexBytes(Ask("XYZ\x02\x03")), HexBytes(FromHex("45 52 52 02 31 03 0D 0A")));

    {
        // A port already held by the running server, then port 0.
        TTcpJobs other(*form);
        ImpostazioniRec.SetTcpPort(port_);
        other.StartTcpServer();
        EXPECT_FALSE(other.TCPServer1.Active());
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Server is not actived!"}));
        ImpostazioniRec.SetTcpPort(0);
        other.StartTcpServer();
        EXPECT_FALSE(other.TCPServer1.Active());
        EXPECT_EQ(Messages().size(), 2u);
    }
    // The window's end stops the server, with a client still connected.
    Client held(port_);
    ASSERT_TRUE(held.Connected());
    delete form;
    form = nullptr;
    EXPECT_FALSE(Client(port_).Connected());
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

TEST_F(TcpJobsTest, RemotePdfJobsRunOneAfterTheOtherWithTheirOwnTitles) {
    InstallPdfPrinter();
    Start();
    const std::string config = Configuration("one.CPF", {poPortrait});
    const std::string ok = HexBytes(FromHex("50 44 46 02 31 03 0D 0A"));
    Client first(port_), second(port_);
    first.Send(Pdf(BasePath + "Prove/Bench_01.txt", BasePath + "out/t1.pdf", config));
    second.Send(Pdf(BasePath + "Prove/Bench_02.txt", BasePath + "out/t2.pdf", config));
    EXPECT_EQ(HexBytes(first.Receive()), ok);
    EXPECT_EQ(HexBytes(second.Receive()), ok);
    // The intervals as shipped: 1 s ticks, 2 s composing, 2 s settling, for each job.
    // Either may be queued first; both arrive.
    ASSERT_TRUE(WaitUntil(
        [&] { return FileExists(BasePath + "out/t1.pdf") && FileExists(BasePath + "out/t2.pdf"); },
        60000));
    for (const auto& [file, title] :
         {std::pair{"out/t1.pdf", "Bench_01"}, std::pair{"out/t2.pdf", "Bench_02"}}) {
        const std::string info = PdfInfo(BasePath + file);
        EXPECT_NE(info.find("Pages: 1\n"), std::string::npos) << info;
        EXPECT_NE(info.find("Page size: 595 x 842 pts (A4)"), std::string::npos) << info;
        EXPECT_NE(info.find(std::string("Title: ") + title + "\n"), std::string::npos) << info;
    }
    EXPECT_TRUE(Documents().empty()); // closed after the remote print
    const std::string log = LogText();
    EXPECT_NE(log.find("Bench_01.txt: copied to " + BasePath + "out/t1.pdf"), std::string::npos);
    EXPECT_NE(log.find("Bench_02.txt: copied to " + BasePath + "out/t2.pdf"), std::string::npos);
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

} // namespace
} // namespace vx

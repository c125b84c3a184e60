#include "app/TcpJobs.h"

#include "app/Main.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/Document.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/Timer.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/Form.h"
#include "report/DocBox.h"
#include "report/WPPage.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <cerrno>
#include <cstring>

namespace vx {

namespace {

// A timer's shortest interval (0 would stop it): its tick comes on the next turn of the loop.
constexpr uint32_t kNextTurnMs = 1;

// Checked again when the job runs: what was a test file when it was asked for may since have
// become a folder or a FIFO, which would fail late or hold the window's thread.
bool Readable(const std::string& path) {
    return !path.empty() && !TPathLookup().FindReadableFile(path).empty();
}

// Every page of the document composed: none busy and none waiting for its paint.
bool PagesComposed(const TDocForm* doc) {
    if (!doc || !doc->DocBox)
        return true;
    for (int i = 0; i < doc->DocBox->PageCount(); ++i) {
        const TWPPage* page = doc->DocBox->GetPage(i);
        if (page && (page->Busy() || PaintPending(*page)))
            return false;
    }
    return true;
}

} // namespace

TTcpIntervals& TcpIntervals() {
    static TTcpIntervals intervals;
    return intervals;
}

TTcpJobs::TTcpJobs(TMainForm& main)
    : QObject(&main), TCP_Timer(std::make_unique<TTimer>()),
      Print_Timer(std::make_unique<TTimer>()), main_(main) {
    setObjectName("TcpJobs");
    for (TTimer* timer : {TCP_Timer.get(), Print_Timer.get()}) {
        timer->SetEnabled(false);
        timer->SetInterval(static_cast<uint32_t>(TcpIntervals().TimerMs));
    }
    TCP_Timer->OnTimer = [this](TComponent*) { TCP_TimerTimer(); };
    Print_Timer->OnTimer = [this](TComponent*) { Print_TimerTimer(); };
}

TTcpJobs::~TTcpJobs() {
    // The threads must be gone before the object their jobs are queued to.
    TCPServer1.Deactivate();
}

TTcpJobs& TTcpJobs::Of(TMainForm& main) {
    if (auto* jobs = main.findChild<TTcpJobs*>("TcpJobs", Qt::FindDirectChildrenOnly))
        return *jobs;
    return *new TTcpJobs(main);
}

void TTcpJobs::StartTcpServer() {
    TCPServer1.Deactivate();
    // The connection threads read only this copy, never the live settings.
    auto snapshot = std::make_shared<const TTcpSnapshot>(TTcpSnapshot{BasePath});
    QPointer<TTcpJobs> self(this);
    // The object outlives every connection thread: its end deactivates the server first.
    TCPServer1.OnExecute = [snapshot, this](TTcpConnection& connection) {
        ServeTcpRequest(
            connection, *snapshot, [this](const TRemoteJob& job) { QueueJob(job); },
            [this](const TRemoteJob& job) { return Reserve(job); });
    };
    TCPServer1.OnHead = HttpHeadVerdict;
    const int port = ImpostazioniRec.TcpPort();
    try {
        // Loopback only: the commands write files and know no authentication.
        TCPServer1.Activate("127.0.0.1", port);
    } catch (const ESocketError& e) {
        TMainForm::DebugLog("TCP->", e.what());
        std::string why;
        switch (e.Error) {
        case 0:
            why = Format(main_.Text("IDS_132"), {port});
            break;
        case EADDRINUSE:
            why = Format(main_.Text("IDS_130"), {port});
            break;
        case EACCES:
        case EPERM:
            why = Format(main_.Text("IDS_131"), {port});
            break;
        default:
            why = Format(main_.Text("IDS_133"), {port, std::string(std::strerror(e.Error))});
            break;
        }
        Ui().ShowMessage(main_.Text("IDS_103") + "\n" + why);
    }
}

void TTcpJobs::StopTcpServer() {
    TCPServer1.Deactivate();
}

bool TTcpJobs::Reserve(const TRemoteJob& job) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (queue_.size() + reserved_ < kMaxWaitingJobs) {
            ++reserved_;
            return true;
        }
    }
    if (job.Command == TRemoteCommand::Opn || job.Command == TRemoteCommand::Prn) {
        // The log is written on the GUI thread only.
        QMetaObject::invokeMethod(
            this,
            [job] {
                TMainForm::DebugLog(job.Command == TRemoteCommand::Opn ? "TCP OPN->" : "TCP PRN->",
                                    job.TestFile + ": dropped, " + std::to_string(kMaxWaitingJobs) +
                                        " jobs wait");
            },
            Qt::QueuedConnection);
    }
    return false;
}

void TTcpJobs::QueueJob(const TRemoteJob& job) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (reserved_ > 0)
            --reserved_;
        queue_.push_back(job);
    }
    ScheduleNext();
}

bool TTcpJobs::Busy() const {
    std::lock_guard<std::mutex> lock(queueMutex_);
    return current_.has_value() || !queue_.empty();
}

void TTcpJobs::ScheduleNext() {
    // Never inside the caller: a job starts from the event loop, after its reply went out.
    QMetaObject::invokeMethod(this, &TTcpJobs::StartNext, Qt::QueuedConnection);
}

void TTcpJobs::StartNext() {
    TRemoteJob job;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (current_ || queue_.empty())
            return;
        current_ = std::move(queue_.front());
        queue_.pop_front();
        job = *current_;
    }
    switch (job.Command) {
    case TRemoteCommand::Vrx:
        CreateVrxFromTest(job.TestFile, job.ConfigFile);
        EndJob("");
        return;
    case TRemoteCommand::Opn:
        OpenRemoteTest(job.TestFile);
        EndJob("");
        return;
    case TRemoteCommand::Pdf:
        TCP_Timer->Tag = 1;
        TCP_Timer->SetInterval(kNextTurnMs);
        TCP_Timer->SetEnabled(true);
        return;
    case TRemoteCommand::Prn:
        Print_Timer->SetInterval(static_cast<uint32_t>(TcpIntervals().TimerMs));
        Print_Timer->SetEnabled(true);
        return;
    }
}

void TTcpJobs::EndJob(const std::string& how) {
    if (current_ && !how.empty())
        TMainForm::DebugLog(current_->Command == TRemoteCommand::Pdf ? "TCP PDF->" : "TCP PRN->",
                            current_->TestFile + ": " + how);
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        current_.reset();
    }
    ScheduleNext();
}

void TTcpJobs::CreateVrxFromTest(const std::string& testFile, const std::string& configFile) {
    if (!Readable(testFile) || !Readable(configFile))
        return;
    const std::string target = ReplaceExtension(testFile, "VRX");
    if (SameText(target, testFile))
        return; // never write the document over its own test
    std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
    TStringList files;
    files.Add(testFile);
    try {
        doc->NewDocument(configFile, files);
        doc->SaveDocumentToFile(target);
        TMainForm::DebugLog("TCP VRX->", target);
    } catch (const std::exception& e) {
        TMainForm::DebugLog("TCP VRX->", target + ": " + e.what());
    }
}

void TTcpJobs::OpenRemoteTest(const std::string& testFile) {
    main_.raise();
    ForceForeground(&main_);
    if (!Readable(testFile))
        return;
    try {
        main_.OpenTestsWithConfiguration({testFile}, "");
    } catch (const std::exception& e) {
        TMainForm::DebugLog("TCP OPN->", testFile + ": " + e.what());
    }
}

void TTcpJobs::PrintToPdfPrinter() {
    const TRemoteJob& job = *current_;
    const std::string output = ImpostazioniRec.DriverOutputFile();
    if (!output.empty() && FileExists(output))
        DeleteFile(output);
    const std::string name = ImpostazioniRec.PdfPrinterName();
    int index = -1;
    for (size_t i = 0; i < Printers().size(); ++i)
        if (SameText(Printers()[i]->Name(), name)) {
            index = static_cast<int>(i);
            break;
        }
    if (index < 0)
        return;
    // The built-in printer puts its file in place whole when the print batch commits.
    builtInOutput_ = dynamic_cast<PdfPrinter*>(Printers()[size_t(index)].get()) != nullptr;
    if (main_.isMinimized())
        main_.showNormal();
    SetTopMost(true);
    const int previous = PrinterIndex();
    SetPrinterIndex(index);
    // A window of the main window like any other, shown so that its pages compose.
    QPointer<TDocForm> doc(CreateForm<TDocForm>());
    QPointer<QMdiSubWindow> sub(main_.AddDocumentWindow(doc));
    sub->show();
    doc->Show();
    bool failed = false;
    try {
        TStringList files;
        files.Add(job.TestFile);
        doc->NewDocument(job.ConfigFile, files);
        WaitUntil([&] { return !doc || PagesComposed(doc); }, TcpIntervals().ComposeMs);
        if (doc)
            doc->PrintPages(0, 0);
    } catch (const std::exception& e) {
        TMainForm::DebugLog("TCP PDF->", job.TestFile + ": " + e.what());
        failed = true; // no window with half a document
    }
    if (sub && (failed || ImpostazioniRec.CloseAfterRemotePrint()))
        delete sub.data();
    if (previous >= 0 && previous < static_cast<int>(Printers().size()))
        SetPrinterIndex(previous);
    SetTopMost(false);
}

void TTcpJobs::TCP_TimerTimer() {
    TCP_Timer->SetEnabled(false);
    if (!current_ || current_->Command != TRemoteCommand::Pdf)
        return;
    if (TCP_Timer->Tag == 1) {
        RetryCounter = 0;
        builtInOutput_ = false;
        // Without its files nothing is printed, and an earlier job's output must not be
        // copied to this target.
        if (!Readable(current_->TestFile) || !Readable(current_->ConfigFile)) {
            EndJob("test or configuration missing");
            return;
        }
        PrintToPdfPrinter();
        // The first check on the next turn: the built-in printer's file is there already.
        TCP_Timer->Tag = 2;
        TCP_Timer->SetInterval(kNextTurnMs);
        TCP_Timer->SetEnabled(true);
        return;
    }
    const std::string output = ImpostazioniRec.DriverOutputFile();
    if (!output.empty() && FileExists(output) && (builtInOutput_ || !IsFileInUse(output))) {
        // An existing target stays as it is.
        const bool copied = CopyFile(output, current_->TargetFile, true);
        EndJob(copied ? "copied to " + current_->TargetFile
                      : "not copied to " + current_->TargetFile);
        return;
    }
    if (RetryCounter < TcpIntervals().Retries) {
        ++RetryCounter;
        TCP_Timer->SetInterval(static_cast<uint32_t>(TcpIntervals().TimerMs));
        TCP_Timer->SetEnabled(true);
        return;
    }
    EndJob("no driver output");
}

void TTcpJobs::Print_TimerTimer() {
    Print_Timer->SetEnabled(false);
    if (!current_ || current_->Command != TRemoteCommand::Prn)
        return;
    main_.showMaximized();
    main_.raise();
    ForceForeground(&main_);
    TDocForm* before = main_.ActiveDocForm();
    TDocForm* opened = nullptr;
    if (Readable(current_->TestFile)) {
        try {
            main_.OpenTestsWithConfiguration({current_->TestFile}, current_->ConfigFile);
        } catch (const std::exception& e) {
            TMainForm::DebugLog("TCP PRN->", current_->TestFile + ": " + e.what());
        }
        opened = main_.ActiveDocForm();
    }
    ForceForeground(&main_);
    // Only the window this job opened: a cancelled chooser leaves some other one active.
    if (opened && opened != before) {
        try {
            opened->PrintPages(1, static_cast<int>(opened->Pages().size()));
        } catch (const std::exception& e) {
            TMainForm::DebugLog("TCP PRN->", current_->TestFile + ": " + e.what());
        }
        EndJob("printed");
    } else {
        EndJob("nothing opened");
    }
}

bool TTcpJobs::ForceForeground(QWidget* window) {
    if (!window)
        return false;
    window->raise();
    window->activateWindow();
    return window->isActiveWindow();
}

void TTcpJobs::SetTopMost(bool on) {
    if (main_.testAttribute(Qt::WA_WState_Created) &&
        bool(main_.windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const QRect geometry = main_.geometry();
    const bool visible = main_.isVisible();
    main_.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    main_.setGeometry(geometry);
    if (visible)
        main_.show();
}

void InstallTcpServer(TMainExtensions& extensions) {
    extensions.StartTcpServer = [](TMainForm& main) { TTcpJobs::Of(main).StartTcpServer(); };
    // Stopping a server never started makes nothing, least of all while the window goes.
    extensions.StopTcpServer = [](TMainForm& main) {
        if (auto* jobs = main.findChild<TTcpJobs*>("TcpJobs", Qt::FindDirectChildrenOnly))
            jobs->StopTcpServer();
    };
}

} // namespace vx

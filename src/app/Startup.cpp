#include "app/Startup.h"

#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/ModCaric.h"
#include "app/Normalizza.h"
#include "app/ProgramHooks.h"
#include "app/Splash.h"
#include "app/TcpJobs.h"
#include "app/convertivrx.h"
#include "app/editor32.h"
#include "data/GlobalText.h"
#include "data/Settings.h"
#include "document/FileDialogs.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Meta.h"
#include "platform/system/FileTypeRegistration.h"
#include "platform/system/SingleInstance.h"
#include "platform/ui/Guard.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace vx {

int TStderrMessages::MessageDlg(const std::string& text, TMsgDlgType, unsigned buttons) {
    const std::string line = Cp1252ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return FirstButton(buttons);
}

bool ForceForegroundWindow(QWidget* window) {
    if (!window)
        return false;
    if (window->isMinimized())
        window->showNormal();
    if (window->isActiveWindow())
        return true;
    window->raise();
    window->activateWindow();
    return window->isActiveWindow();
}

void ReceiveCommandLine(const std::string& commandLine) {
    TMainForm* main = MainForm;
    if (!main)
        return;
    if (main->isMinimized())
        main->showNormal();
    ForceForegroundWindow(main);
    main->QueueCommandLine(commandLine);
}

void InstallProgramUnits() {
    // Named here so that the linker keeps their units, whose registration runs with them.
    RegisterClasses({&TWPPage::StaticClassInfo(), &TWPGraph::StaticClassInfo(),
                     &TAsse::StaticClassInfo(), &TIntestazione::StaticClassInfo(),
                     &TCella::StaticClassInfo(), &TWPReport::StaticClassInfo(),
                     &TWPReportPRO::StaticClassInfo(), &Tdefcanale::StaticClassInfo(),
                     &Tdefgruppo::StaticClassInfo()});
    SetEditorHooks(&ProgramEditorHooks());
    SetGuardMessageText(ErrorMessageText);
}

void InstallMainExtensions() {
    TMainExtensions& ext = MainExtensions();
    ext.RegisterDocumentType = [](const std::string& program) { RegisterDocumentType(program); };
    ext.RegisterFileType = [](bool force) { RegisterFileType(force); };
    InstallTcpServer(ext);
    InstallConverter(ext);
    InstallNormaliser(ext);
    InstallLoadModelEditor(ext);
    InstallTestEditor(ext);
}

namespace {

int QuitAfterMs() {
    const char* text = std::getenv("VORNIX_QUIT_AFTER_MS");
    if (!text || !*text)
        return -1;
    char* end = nullptr;
    const long ms = std::strtol(text, &end, 10);
    return (*end || ms < 0 || ms > 24L * 3600 * 1000) ? -1 : static_cast<int>(ms);
}

// Ctrl+C and a polite kill end the program as its menu does, minus the questions nobody at a
// terminal could answer: the recent list is saved and the temporary copies go. The handler only
// writes to a pipe; the event loop does the rest.
class TStopSignals {
public:
    explicit TStopSignals(TMainForm* main) {
        if (::pipe(fds_) != 0)
            return;
        for (int fd : fds_) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
        writeFd_ = fds_[1];
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QPointer<TMainForm> alive(main);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, alive] {
            char byte = 0;
            while (::read(fds_[0], &byte, 1) == 1) {
            }
            // A signal may come while a document loads in a nested loop: a deferred delete
            // runs only once that loop has ended, so the close waits for it.
            auto* later = new QObject;
            QObject::connect(later, &QObject::destroyed, [alive] {
                if (!alive)
                    return;
                alive->OnCloseQuery = nullptr;
                alive->close();
            });
            later->deleteLater();
        });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(writeFd_, &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 2; ++i)
            ::sigaction(kSignals[i], &action, &previous_[i]);
    }
    ~TStopSignals() {
        if (!notifier_)
            return;
        for (int i = 0; i < 2; ++i)
            ::sigaction(kSignals[i], &previous_[i], nullptr);
        writeFd_ = -1;
        notifier_.reset();
        for (int fd : fds_)
            ::close(fd);
    }
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

private:
    static constexpr int kSignals[2] = {SIGINT, SIGTERM};
    static inline volatile sig_atomic_t writeFd_ = -1;
    int fds_[2] = {-1, -1};
    struct sigaction previous_[2]{};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

int RunStartup(const std::vector<std::string>& args, const std::string& currentDir) {
    InstallProgramUnits();
    std::vector<std::string> commandLine = args;
    const std::string program = Application().ExeName();
    if (commandLine.empty())
        commandLine.push_back(program);
    else
        commandLine[0] = program;
    // A copy that handed its command line over ends here: it must not show a window, write
    // the file type or compete for the command server's port.
    if (InitSingleInstance(commandLine, currentDir) == TInstanceRole::HandedOver)
        return 0;

    Application().Title = "Vornix";
    QApplication::setApplicationName(QStringLiteral("Vornix"));
    CreateSTRGlobData();
    InitBasePath(program);
    LoadSettings();
    TmlLangDispatcher& dispatcher = *STRGlobData->mlLangDispatcher1;
    if (ImpostazioniRec.Language() < 1 || ImpostazioniRec.Language() > dispatcher.NumOfLanguages())
        ImpostazioniRec.SetLanguage(1);
    dispatcher.SetActiveLanguage(ImpostazioniRec.Language());

    if (Printers().empty()) {
        Ui().ShowMessage(GlobalText("IDS_3") + "\r\n" + GlobalText("IDS_4"));
        DoneSingleInstance();
        return 1;
    }

    {
        std::unique_ptr<Tsplashform> splash(CreateForm<Tsplashform>());
        Ui().ShowModal(splash.get());
    }

    InstallMainExtensions();
    TMainForm* main = CreateForm<TMainForm>();
    MainForm = main;
    QPointer<TMainForm> alive(main);
    main->show();
    ForceForegroundWindow(main);
    SetCommandLineReceiver(ReceiveCommandLine);
    if (const int ms = QuitAfterMs(); ms >= 0)
        QTimer::singleShot(ms, main, [main] { main->close(); });
    TStopSignals stopSignals(main);

    if (alive && alive->isVisible()) {
        QEventLoop loop;
        QObject::connect(main, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    delete alive.data();
    SetCommandLineReceiver(nullptr);
    DoneSingleInstance();
    return 0;
}

} // namespace vx

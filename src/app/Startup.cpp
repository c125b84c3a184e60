#include "app/Startup.h"

#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/ProgramHooks.h"
#include "app/Splash.h"
#include "app/TcpJobs.h"
#include "data/GlobalText.h"
#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Meta.h"
#include "platform/system/FileTypeRegistration.h"
#include "platform/system/SingleInstance.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>

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
}

void InstallMainExtensions() {
    TMainExtensions& ext = MainExtensions();
    ext.RegisterDocumentType = [](const std::string& program) { RegisterDocumentType(program); };
    ext.RegisterFileType = [](bool force) { RegisterFileType(force); };
    InstallTcpServer(ext);
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

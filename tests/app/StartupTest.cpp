#include "app/Startup.h"

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/Splash.h"
#include "data/Settings.h"
#include "document/Document.h"
#include "document/defasse.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/system/Files.h"
#include "platform/system/SingleInstance.h"
#include "platform/ui/ListBox.h"
#include "report/EditorHooks.h"
#include "report/view/Tfrom_infodlg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

const std::string kWrongFolder = "L'applicazione non risiede nella directory corretta";

// What the program had done when its main window first stood on the screen.
struct Seen {
    int Splashes = 0;
    size_t MessagesAtSplash = 0;
    bool MainShown = false;
    size_t MessagesAtMain = 0;
    int Language = 0;
    int RecordLanguage = 0;
};

class StartupTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        BasePath.clear();
        ImpostazioniRec.Clear();
        MainExtensions() = {};
        root = dir.Path();
        instance = "vornix-startup-test-" + std::to_string(getpid());
        setenv("VORNIX_INSTANCE_NAME", instance.c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "xdg/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "xdg/config").c_str(), 1);
        test::InstallVirtualPrinter();
    }
    void TearDown() override {
        for (const char* name : {"VORNIX_INSTANCE_NAME", "VORNIX_PROGRAM_PATH", "XDG_DATA_HOME",
                                 "XDG_CONFIG_HOME", "VORNIX_QUIT_AFTER_MS"})
            unsetenv(name);
        delete MainForm;
        MainExtensions() = {};
        SetEditorHooks(nullptr);
        DoneSingleInstance();
        SetLanguage(1);
        ImpostazioniRec.Clear();
        test::InstallVirtualPrinter();
        AppWindowTest::TearDown();
    }

    void WriteLanguage(const std::string& base, uint8_t language) {
        ForceDirectories(base + "System");
        std::string bytes(TImpostazioniRec::kSize, '\0');
        bytes[368] = static_cast<char>(language);
        test::WriteFile(base + "System/impostazioni.set", bytes);
    }

    // Runs the start-up with the program at `program`; `whileRunning` acts once the main
    // window shows (default: closes it).
    int Start(const std::string& program, std::vector<std::string> args = {},
              std::function<void()> whileRunning = {}) {
        setenv("VORNIX_PROGRAM_PATH", program.c_str(), 1);
        args.insert(args.begin(), program);
        ui.ModalHook = [this](QObject* f) {
            if (qobject_cast<Tsplashform*>(f)) {
                ++seen.Splashes;
                seen.MessagesAtSplash = ui.Messages.size();
            }
            return mrOk;
        };
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!MainForm || !MainForm->isVisible())
                return;
            watch.stop();
            seen.MainShown = true;
            seen.MessagesAtMain = ui.Messages.size();
            seen.Language = STRGlobData->mlLangDispatcher1->ActiveLanguage();
            seen.RecordLanguage = ImpostazioniRec.Language();
            if (whileRunning)
                whileRunning();
            else
                MainForm->close();
        });
        watch.start(10);
        return RunStartup(args, root);
    }

    std::string root;
    std::string instance;
    Seen seen;
};

TEST_F(StartupTest, ProgramInBinMakesTheParentTheBaseWithItsFolders) {
    ForceDirectories(root + "X/bin");
    EXPECT_EQ(Start(root + "X/bin/vornix"), 0);
    EXPECT_EQ(BasePath, root + "X/");
    EXPECT_TRUE(DirectoryExists(root + "X/System"));
    EXPECT_TRUE(DirectoryExists(root + "X/Configurazioni"));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(seen.Splashes, 1);
    EXPECT_TRUE(seen.MainShown);
    EXPECT_EQ(MainForm, nullptr) << "the main window is freed when it closes";
    EXPECT_EQ(Application().Title, "Vornix");
    // The report's wait goes to the program's own window from now on.
    EditorHooks().ShowReportWait();
    EXPECT_NE(ReportWaitWindow(), nullptr);
    EditorHooks().CloseReportWait();
    EXPECT_EQ(ReportWaitWindow(), nullptr);
}

TEST_F(StartupTest, TheInstalledHooksOpenTheAxisDialog) {
    InstallProgramUnits();
    QString opened;
    ui.ModalHook = [&](QObject* f) {
        if (auto* box = qobject_cast<Tboxdefasse*>(f))
            opened = box->Listag->Items().join(",");
        return mrCancel;
    };
    TAxisExchange x;
    x.AxisChannelNames = {"Forza"};
    x.AxisChannels = {1};
    x.ModalResult = mrOk;
    EditorHooks().EditAxis(x);
    EXPECT_EQ(opened, "Forza");
    EXPECT_EQ(x.ModalResult, mrCancel);
}

TEST_F(StartupTest, ProgramOutsideBinWarnsBeforeAndAfterTheSplashInItalian) {
    ForceDirectories(root + "X/tools");
    WriteLanguage(root + "X/tools/", 3);
    EXPECT_EQ(Start(root + "X/tools/vornix"), 0);
    EXPECT_EQ(BasePath, root + "X/tools/");
    EXPECT_FALSE(DirectoryExists(root + "X/Configurazioni"));
    EXPECT_FALSE(DirectoryExists(root + "X/tools/Configurazioni"));
    EXPECT_FALSE(DirectoryExists(root + "X/System"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kWrongFolder, kWrongFolder}));
    EXPECT_EQ(seen.Splashes, 1);
    EXPECT_EQ(seen.MessagesAtSplash, 1u);
    EXPECT_EQ(seen.MessagesAtMain, 2u);
    EXPECT_EQ(seen.Language, 3) << "the windows follow the byte; the global texts do not";
}

TEST_F(StartupTest, LanguageByteOutsideTheTableBecomesTheFirst) {
    const struct {
        uint8_t stored;
        int expected;
    } cases[] = {{0, 1}, {7, 1}, {2, 2}, {3, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.stored));
        const std::string base = root + "L" + std::to_string(c.stored) + "/";
        ForceDirectories(base + "bin");
        WriteLanguage(base, c.stored);
        seen = {};
        EXPECT_EQ(Start(base + "bin/vornix"), 0);
        EXPECT_TRUE(seen.MainShown);
        EXPECT_EQ(seen.Language, c.expected);
        EXPECT_EQ(seen.RecordLanguage, c.expected);
        DoneSingleInstance();
        SetLanguage(1);
    }
}

TEST_F(StartupTest, NoPrinterEndsWithOneMessageAndStatusOne) {
    InstallPrinterProvider(
        std::make_shared<FixedPrinterProvider>(std::vector<std::shared_ptr<PrinterDevice>>{}));
    ForceDirectories(root + "X/bin");
    EXPECT_EQ(Start(root + "X/bin/vornix"), 1);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Attenzione il sistema \xE8 sprovvisto di dispositivi di "
                                       "stampa.\r\nPrima di utilizzare il programma \xE8 "
                                       "necessario installare almeno un driver!"});
    EXPECT_EQ(seen.Splashes, 0);
    EXPECT_FALSE(seen.MainShown);
    EXPECT_EQ(MainForm, nullptr);
}

TEST_F(StartupTest, QuitAfterClosesTheMainWindowByItself) {
    ForceDirectories(root + "X/bin");
    setenv("VORNIX_QUIT_AFTER_MS", "50", 1);
    // The main window is left open: only the program's own timer ends the loop.
    EXPECT_EQ(Start(root + "X/bin/vornix", {}, [] {}), 0);
    EXPECT_TRUE(seen.MainShown);
    EXPECT_EQ(MainForm, nullptr);
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> FolderContents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files[entry.path().string()] =
            entry.is_regular_file() ? test::ReadFile(entry.path().string()) : "<folder>";
    return files;
}

TEST_F(StartupTest, AnInstalledProgramKeepsEachUsersFilesInTheUsersDataFolder) {
    const std::string installed = root + "ro/";
    ForceDirectories(installed + "bin");
    test::WriteFile(installed + "bin/vornix", "the program");
    ForceDirectories(installed + "share/vornix");
    std::filesystem::copy(VX_SHARE_DIR, installed + "share/vornix",
                          std::filesystem::copy_options::recursive);
    const auto before = FolderContents(installed);
    const std::string user = root + "xdg/data/Vornix/";
    {
        test::ReadOnlyFolder readOnly(installed);
        if (!readOnly.Active())
            GTEST_SKIP() << readOnly.Error();
        EXPECT_EQ(Start(installed + "bin/vornix", {},
                        [] {
                            TMainForm::DebugLog("OK->", "x");
                            MainForm->close();
                        }),
                  0);
        EXPECT_EQ(BasePath, user);
        EXPECT_TRUE(Messages().empty());
        EXPECT_TRUE(DirectoryExists(user + "Configurazioni"));
        EXPECT_EQ(test::ReadFile(user + "System/defcfg.set"),
                  test::ReadFile(installed + "share/vornix/System/defcfg.set"));
        EXPECT_TRUE(FileExists(user + "Configurazioni/Demo.CPF"));
        EXPECT_TRUE(FileExists(user + "Prove/Bench_01.txt"));
        EXPECT_FALSE(FileExists(user + "System/impostazioni.set"));
        EXPECT_TRUE(FileExists(user + "DEBUG_Path.txt"));
        ImpostazioniRec.SetLanguage(2);
        EXPECT_TRUE(SaveSettings());
        EXPECT_EQ(test::ReadFile(user + "System/impostazioni.set")[368], 2);

        // The user's own default project stays, and what the user removed stays removed.
        test::WriteFile(user + "System/defcfg.set", "mine");
        DeleteFile(user + "Configurazioni/Demo.CPF");
        EXPECT_EQ(Start(installed + "bin/vornix"), 0);
        EXPECT_EQ(BasePath, user);
        EXPECT_EQ(seen.RecordLanguage, 2);
        EXPECT_EQ(test::ReadFile(user + "System/defcfg.set"), "mine");
        EXPECT_FALSE(FileExists(user + "Configurazioni/Demo.CPF"));
    }
    EXPECT_EQ(FolderContents(installed), before);
}

TEST_F(StartupTest, AFirstStartNeverCopiesOverAFileTheUserHas) {
    // A user who had a base folder of the same name ignoring case before this version.
    const std::string installed = root + "ro/";
    ForceDirectories(installed + "bin");
    ForceDirectories(installed + "share/vornix");
    std::filesystem::copy(VX_SHARE_DIR, installed + "share/vornix",
                          std::filesystem::copy_options::recursive);
    const std::string user = root + "xdg/data/Vornix/";
    ForceDirectories(user + "configurazioni");
    test::WriteFile(user + "configurazioni/demo.cpf", "mine");
    test::ReadOnlyFolder readOnly(installed);
    if (!readOnly.Active())
        GTEST_SKIP() << readOnly.Error();
    EXPECT_EQ(Start(installed + "bin/vornix"), 0);
    EXPECT_EQ(test::ReadFile(user + "configurazioni/demo.cpf"), "mine");
    EXPECT_FALSE(DirectoryExists(user + "Configurazioni"));
    EXPECT_TRUE(FileExists(user + "System/defcfg.set"));
}

// ---- the desktop's view after a start ----

QProcessEnvironment ChildEnvironment(const std::string& root) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QString::fromStdString(root + "xdg/data"));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(root + "xdg/config"));
    env.insert("HOME", QString::fromStdString(root + "home"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VORNIX_MESSAGES", "stderr");
    env.remove("VORNIX_PROGRAM_PATH");
    env.remove("VORNIX_QUIT_AFTER_MS");
    return env;
}

// Type and comment lines of the MIME database as a new program on those folders sees it.
std::string MimeQuery(const std::string& root, const std::vector<QString>& setLocale) {
    QProcess query;
    QProcessEnvironment env = ChildEnvironment(root);
    for (size_t i = 0; i + 1 < setLocale.size(); i += 2)
        env.insert(setLocale[i], setLocale[i + 1]);
    query.setProcessEnvironment(env);
    query.start(VX_MIME_QUERY_FILE, {"a.VRX", "b.vrx"});
    EXPECT_TRUE(query.waitForFinished(20000));
    return query.readAllStandardOutput().toStdString();
}

TEST_F(StartupTest, AStartRegistersTheDocumentTypeWithTheDesktop) {
    ForceDirectories(root + "X/bin");
    ASSERT_EQ(Start(root + "X/bin/vornix"), 0);
    const std::string entry = root + "xdg/data/applications/vornix.desktop";
    ASSERT_TRUE(FileExists(entry));
    if (const std::string validate = test::FindTool("desktop-file-validate"); !validate.empty()) {
        const test::ToolResult r = test::RunTool(validate, {entry});
        EXPECT_EQ(r.ExitCode, 0);
        EXPECT_EQ(r.Output, "");
    }
    EXPECT_NE(test::ReadFile(entry).find("Exec=\"" + root + "X/bin/vornix\" %f"),
              std::string::npos);
    EXPECT_NE(test::ReadFile(root + "xdg/config/mimeapps.list")
                  .find("application/x-vornix-document=vornix.desktop"),
              std::string::npos);
    // The program rebuilt the type cache in the background.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return FileExists(root + "xdg/data/mime/mime.cache"); }, 20000));
    EXPECT_EQ(MimeQuery(root, {"LANG", "C", "LANGUAGE", ""}),
              "application/x-vornix-document\tVornix document file\n"
              "application/x-vornix-document\tVornix document file\n");
    EXPECT_EQ(MimeQuery(root, {"LANG", "C", "LANGUAGE", "de"}),
              "application/x-vornix-document\tVornix-Dokumentdatei\n"
              "application/x-vornix-document\tVornix-Dokumentdatei\n");
}

TEST_F(StartupTest, AnotherDefaultStaysUntilTheUserAssociatesTheFiles) {
    const std::string list = root + "xdg/config/mimeapps.list";
    const std::string before = "# mine\r\n[Default Applications]\r\n"
                               "text/plain=editor.desktop\r\n"
                               "application/x-vornix-document=other.desktop\r\n"
                               "[Added Associations]\r\nimage/png=viewer.desktop\r\n";
    ForceDirectories(root + "xdg/config");
    test::WriteFile(list, before);
    ForceDirectories(root + "X/bin");
    ASSERT_EQ(Start(root + "X/bin/vornix"), 0);
    EXPECT_EQ(test::ReadFile(list), before);

    DoneSingleInstance();
    // What the settings dialog does with "Associa file VRX" ticked.
    const auto associate = [] {
        MainExtensions().RegisterFileType(true);
        MainForm->close();
    };
    ASSERT_EQ(Start(root + "X/bin/vornix", {}, associate), 0);
    std::string after = before;
    after.replace(after.find("other.desktop"), 13, "vornix.desktop");
    EXPECT_EQ(test::ReadFile(list), after);
}

// ---- copies of the program as the desktop starts them ----

// A demo base folder with the real program in its "bin", as run.sh lays it out; the command
// server stays off so that copies never compete for its port.
class HandOverTest : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        base = root + "demo/";
        const std::string bin = ExtractFilePath(VX_PROGRAM_FILE);
        const test::ToolResult r =
            test::RunTool(VX_SOURCE_DIR "/tools/demo.sh", {bin, root + "demo"});
        ASSERT_EQ(r.ExitCode, 0) << r.Output;
        std::string settings = test::ReadFile(base + "System/impostazioni.set");
        settings[10] = 0;
        test::WriteFile(base + "System/impostazioni.set", settings);
        program = base + "bin/vornix";
        ForceDirectories(root + "home");
        ForceDirectories(root + "run");
        chmod((root + "run").c_str(), 0700);
        // The first copy runs in this process: it must look for hand-overs where the copies do.
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
            savedRuntime = runtime;
        setenv("XDG_RUNTIME_DIR", (root + "run").c_str(), 1);
    }
    void TearDown() override {
        if (savedRuntime)
            setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        for (auto& p : children)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        children.clear();
        StartupTest::TearDown();
    }

    QProcess& Child(const QStringList& args, const std::string& folder = {}, int quitAfterMs = -1) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = ChildEnvironment(root);
        env.insert("VORNIX_INSTANCE_NAME", QString::fromStdString(instance));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root + "run"));
        if (quitAfterMs >= 0)
            env.insert("VORNIX_QUIT_AFTER_MS", QString::number(quitAfterMs));
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QString::fromStdString(folder.empty() ? base : folder));
        p->start(QString::fromStdString(program), args);
        EXPECT_TRUE(p->waitForStarted(5000));
        children.push_back(std::move(p));
        return *children.back();
    }
    // Waits with the event loop running, so that an in-process first copy keeps serving.
    static bool Ends(QProcess& p, int ms) {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, ms);
    }
    std::string Log() const {
        const std::string name = base + "bin/DEBUG_Path.txt";
        return FileExists(name) ? test::ReadFile(name) : std::string();
    }
    static std::vector<std::string> Documents() {
        std::vector<std::string> titles;
        if (MainForm)
            for (QMdiSubWindow* sub : MainForm->ClientArea->subWindowList())
                if (auto* doc = qobject_cast<TDocForm*>(sub->widget()))
                    titles.push_back(FromQString(doc->windowTitle()));
        return titles;
    }
    // The first copy in this process; `script` runs once its main window shows.
    int StartFirst(const std::function<void()>& script) {
        return Start(program, {}, [script] {
            script();
            if (MainForm)
                MainForm->close();
        });
    }
    // Hands `args` to the in-process first copy; the second copy must end at once, silently.
    void HandOver(const QStringList& args, const std::string& folder = {}) {
        QProcess& b = Child(args, folder);
        ASSERT_TRUE(Ends(b, 5000)) << "the second copy kept running";
        EXPECT_EQ(b.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(b.exitCode(), 0);
        EXPECT_EQ(b.readAllStandardError().toStdString(), "");
        EXPECT_EQ(b.readAllStandardOutput().toStdString(), "");
    }
    bool Opened(const std::string& path) {
        return QTest::qWaitFor(
            [&] {
                return Log().find("Exists->\r\nVal->" + path + "\r\n") != std::string::npos &&
                       Log().find("Open->\r\nVal->Doc_Version_0.82") != std::string::npos &&
                       !Documents().empty();
            },
            10000);
    }

    std::string base;
    std::string program;
    std::vector<std::unique_ptr<QProcess>> children;
    std::optional<std::string> savedRuntime;
};

TEST_F(HandOverTest, SecondCopyHandsTheDocumentToTheFirstAndEnds) {
    const std::string doc = base + "Prove/Demo.VRX";
    const auto script = [&] {
        MainForm->showMinimized();
        HandOver({QString::fromStdString(doc)});
        EXPECT_FALSE(MainForm->isMinimized()) << "the first copy stayed minimised";
        QElapsedTimer clock;
        clock.start();
        EXPECT_NE(Log().find("OK->\r\nVal->\"" + program + "\" \"" + doc + "\"\r\n"),
                  std::string::npos)
            << Log();
        EXPECT_EQ(Log().find("Open->"), std::string::npos) << "opened before its delay";
        ASSERT_TRUE(Opened(doc)) << Log();
        EXPECT_GE(clock.elapsed(), 1500);
        EXPECT_EQ(Documents(), std::vector<std::string>{"Demo.VRX"});
    };
    EXPECT_EQ(StartFirst(script), 0);
    EXPECT_EQ(Log().find("Except->"), std::string::npos);
}

TEST_F(HandOverTest, RelativeAndLongPathsArriveWhole) {
    const std::string other = root + "D/";
    ForceDirectories(other);
    ASSERT_TRUE(CopyFile(base + "Prove/Demo.VRX", other + "x.VRX", false));
    std::string deep = root + "L";
    while (deep.size() < 300)
        deep += "/" + std::string(40, 'p');
    ForceDirectories(deep);
    const std::string longPath = deep + "/lungo.VRX";
    ASSERT_GT(longPath.size(), 300u);
    ASSERT_TRUE(CopyFile(base + "Prove/Demo.VRX", longPath, false));
    const auto script = [&] {
        HandOver({"x.VRX"}, other);
        ASSERT_TRUE(Opened(other + "x.VRX")) << Log();
        HandOver({QString::fromStdString(longPath)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return Documents().size() == 2; }, 10000)) << Log();
        EXPECT_NE(Log().find("Exists->\r\nVal->" + longPath + "\r\n"), std::string::npos);
    };
    EXPECT_EQ(StartFirst(script), 0);
}

TEST_F(HandOverTest, ACopyLeftByAKilledFirstIsTakenOver) {
    QProcess& a = Child({"Prove/Demo.VRX"}, {}, 60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Log().find("OK->") != std::string::npos; }, 20000));
    a.kill(); // SIGKILL: the socket stays behind
    ASSERT_TRUE(Ends(a, 5000));
    QProcess& c = Child({}, {}, 3000);
    EXPECT_FALSE(Ends(c, 1500)) << "the next copy handed over to a dead one";
    EXPECT_TRUE(Ends(c, 30000));
    EXPECT_EQ(c.exitCode(), 0);
}

TEST_F(HandOverTest, OfTwoCopiesStartedTogetherOneRuns) {
    QProcess& b = Child({}, {}, 6000);
    QProcess& c = Child({}, {}, 6000);
    // One hands over and ends at once; the other runs until its window closes.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return b.state() == QProcess::NotRunning || c.state() == QProcess::NotRunning; },
        5000));
    EXPECT_NE(b.state() == QProcess::NotRunning, c.state() == QProcess::NotRunning);
    EXPECT_TRUE(Ends(b, 30000));
    EXPECT_TRUE(Ends(c, 30000));
    EXPECT_EQ(b.exitCode(), 0);
    EXPECT_EQ(c.exitCode(), 0);
}

TEST_F(HandOverTest, MultipleInstancesRunSideBySide) {
    test::WriteFile(base + "bin/sig_gen.ini", "[Options]\r\nMultipleInstance=1\r\n");
    QProcess& a = Child({"Prove/Demo.VRX"}, {}, 8000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Log().find("OK->") != std::string::npos; }, 20000));
    QProcess& b = Child({}, {}, 3000);
    QProcess& c = Child({}, {}, 3000);
    EXPECT_FALSE(Ends(b, 2000)) << "B did not run on its own";
    EXPECT_NE(c.state(), QProcess::NotRunning) << "C did not run on its own";
    for (QProcess* p : {&a, &b, &c}) {
        EXPECT_TRUE(Ends(*p, 30000));
        EXPECT_EQ(p->exitCode(), 0);
    }
}

TEST_F(HandOverTest, MessagesGoToStandardErrorAsUtf8Lines) {
    ForceDirectories(base + "tools");
    ASSERT_TRUE(CopyFile(program, base + "tools/vornix", false));
    chmod((base + "tools/vornix").c_str(), 0755);
    program = base + "tools/vornix";
    QProcess& p = Child({}, {}, 100);
    ASSERT_TRUE(Ends(p, 30000));
    EXPECT_EQ(p.exitCode(), 0);
    const std::string line = kWrongFolder + "\n";
    std::string lines;
    for (const QByteArray& l : p.readAllStandardError().split('\n'))
        if (l.startsWith("L'"))
            lines += l.toStdString() + "\n";
    EXPECT_EQ(lines, line + line);
}

} // namespace
} // namespace vx

#include "app/Main.h"

#include "AppTestSupport.h"
#include "app/About.h"
#include "app/GetProve.h"
#include "app/MainExtensions.h"
#include "app/ProgramHooks.h"
#include "app/config_document_dlg.h"
#include "app/impdlg.h"
#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "data/WPComp.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/Valuebox.h"
#include "document/defreprt.h"
#include "document/infocursor.h"
#include "document/parambox.h"
#include "document/parametrigenerali.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/QtUiServices.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"
#include "report/DocBox.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "support/FormTestSupport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace vx {
namespace {

class MainFormTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        SetUiServices(&rui);
        ForceDirectories(BasePath + "bin");
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        ImpostazioniRec.Clear();
        MainExtensions() = {};
        MainExtensions().RegisterDocumentType = [this](const std::string& p) {
            calls.push_back("RegisterDocumentType " + p);
        };
        MainExtensions().RegisterFileType = [this](bool force) {
            calls.push_back(force ? "RegisterFileType true" : "RegisterFileType false");
        };
        MainExtensions().StartTcpServer = [this](TMainForm&) { calls.push_back("Start"); };
        MainExtensions().StopTcpServer = [this](TMainForm&) { calls.push_back("Stop"); };
        DeleteFilesByMask(TempFolderPath(), "*.~tm");
    }
    void TearDown() override {
        delete form;
        MainExtensions() = {};
        SetLanguage(1);
        ImpostazioniRec.Clear();
        unsetenv("VORNIX_PROGRAM_PATH");
        SetUiServices(&scoped.ui);
        AppWindowTest::TearDown();
    }

    TMainForm* Create() {
        form = CreateForm<TMainForm>();
        return form;
    }
    static std::string TempFolderPath() {
        return GetSpecialFolderPath(CSIDL_LOCAL_APPDATA) + "/Vornix/Temp/";
    }
    std::string LogText() const {
        const std::string name = BasePath + "bin/DEBUG_Path.txt";
        return FileExists(name) ? test::ReadFile(name) : std::string();
    }
    void WriteSettings(size_t at, uint8_t value) {
        std::string bytes(TImpostazioniRec::kSize, '\0');
        if (FileExists(BasePath + "System/impostazioni.set"))
            bytes = test::ReadFile(BasePath + "System/impostazioni.set");
        bytes[at] = static_cast<char>(value);
        test::WriteFile(BasePath + "System/impostazioni.set", bytes);
    }
    std::vector<QString> BarCaptions() const {
        std::vector<QString> captions;
        for (QAction* a : form->MenuBar->actions())
            captions.push_back(a->text());
        return captions;
    }
    // A stored document with two tests and one graph page, saved by a document window.
    std::string MakeDocument(const std::string& name) {
        const std::string path = BasePath + name;
        ForceDirectories(ExtractFilePath(path));
        test::WriteFile(BasePath + "m1.txt", "a\tb\r\n1\t2\r\n");
        test::WriteFile(BasePath + "m2.txt", "a\tb\r\n3\t4\r\n");
        TStringList files;
        files.Add(BasePath + "m1.txt");
        files.Add(BasePath + "m2.txt");
        std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
        doc->LoadTestsAndProject("", "", files);
        doc->SaveDocumentToFile(path);
        return path;
    }
    // The texts of the messages the answering services were shown.
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& m : rui.Messages)
            texts.push_back(m.Text);
        return texts;
    }
    std::vector<TDocForm*> Documents() const {
        std::vector<TDocForm*> docs;
        for (QMdiSubWindow* sub : form->ClientArea->subWindowList(QMdiArea::CreationOrder))
            if (auto* doc = qobject_cast<TDocForm*>(sub->widget()))
                docs.push_back(doc);
        return docs;
    }
    // Opens a menu of the bar as a user would, then closes it again.
    void OpenMenu(TMenuItem* item) {
        form->show();
        QTest::mouseClick(form->MenuBar, Qt::LeftButton, {},
                          form->MenuBar->actionGeometry(item).center());
        QMenu* menu = item->menu();
        ASSERT_TRUE(menu && menu->isVisible());
        menu->hide();
    }

    ScriptedUiServices rui;
    TMainForm* form = nullptr;
    std::vector<std::string> calls;
};

TEST_F(MainFormTest, TheDebugLogIsPrivateAndKeepsOneOldCopyPastAMegabyte) {
    const std::string log = BasePath + "bin/DEBUG_Path.txt";
    const std::string old = BasePath + "bin/DEBUG_Path.old.txt";
    const auto mode = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : ~0u;
    };
    const std::string lineA = "OK->\r\nVal->a\r\n-------------\r\n";
    const std::string full(TMainForm::kDebugLogLimit, 'x');
    ASSERT_EQ(TMainForm::DebugLogFileName(), log);

    // A log an earlier version left readable by all becomes the user's alone.
    test::WriteFile(log, "earlier\r\n");
    ::chmod(log.c_str(), 0644);
    TMainForm::DebugLog("OK->", "a");
    EXPECT_EQ(test::ReadFile(log), "earlier\r\n" + lineA);
    EXPECT_EQ(mode(log), 0600u);

    // Up to the limit it grows; past it, it moves aside before the next line.
    test::WriteFile(log, full.substr(lineA.size()));
    TMainForm::DebugLog("OK->", "a");
    EXPECT_FALSE(FileExists(old));
    TMainForm::DebugLog("OK->", "b");
    EXPECT_FALSE(FileExists(old)) << "exactly the limit is not past it";
    EXPECT_EQ(test::ReadFile(log).size(), full.size() + lineA.size());
    TMainForm::DebugLog("OK->", "c");
    EXPECT_EQ(test::ReadFile(old).size(), full.size() + lineA.size());
    EXPECT_EQ(test::ReadFile(log), "OK->\r\nVal->c\r\n-------------\r\n");
    EXPECT_EQ(mode(log), 0600u);
    EXPECT_EQ(mode(old), 0600u);

    // One old copy: the next move replaces it.
    test::WriteFile(log, full + "second");
    TMainForm::DebugLog("OK->", "d");
    EXPECT_EQ(test::ReadFile(old), full + "second");
    EXPECT_EQ(ListFolder(BasePath + "bin", false),
              (std::vector<std::string>{"DEBUG_Path.old.txt", "DEBUG_Path.txt"}));
}

TEST_F(MainFormTest, CreationWithoutSettingsFile) {
    Create();
    for (size_t i = 0; i < TImpostazioniRec::kSize; ++i)
        ASSERT_EQ(ImpostazioniRec.Bytes[i], i == 368 ? 1 : 0) << i;
    EXPECT_EQ(calls, (std::vector<std::string>{"RegisterDocumentType " + BasePath + "bin/vornix",
                                               "RegisterFileType false"}));
    EXPECT_EQ(FromQString(form->Caption()), "VORNIX 1.5.711");
    EXPECT_EQ(form->Timer1->Interval(), 2000u);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_FALSE(form->Creafiledimappatura1->Visible());
    EXPECT_FALSE(form->StampaPDF1->Visible());
    EXPECT_FALSE(form->Modellodicaricamento1->Visible());
    EXPECT_FALSE(form->Ricercaprove1->Visible());
    EXPECT_TRUE(form->FirstActivation);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(BasePath, dir.Path());
}

TEST_F(MainFormTest, CreationReadsTheSettingsFile) {
    struct Case {
        size_t at;
        uint8_t value;
        bool server;
    };
    WriteSettings(368, 7);
    WriteSettings(8, 1);
    WriteSettings(9, 1);
    Create();
    EXPECT_EQ(ImpostazioniRec.Language(), 1);
    EXPECT_EQ(ImpostazioniRec.Bytes[8], 1);
    EXPECT_EQ(ImpostazioniRec.Bytes[9], 1);
    EXPECT_EQ(calls.size(), 2u);
    delete form;
    form = nullptr;

    calls.clear();
    WriteSettings(10, 1);
    WriteSettings(368, 2);
    Create();
    EXPECT_EQ(calls, (std::vector<std::string>{"RegisterDocumentType " + BasePath + "bin/vornix",
                                               "RegisterFileType false", "Start"}));
    EXPECT_EQ(STRGlobData->mlLangDispatcher1->ActiveLanguage(), 2);
    EXPECT_EQ(form->File1->Caption(), "&File");
    EXPECT_EQ(form->Window1->Caption(), "&Windows");
}

TEST_F(MainFormTest, AFailingRegistrationIsLoggedAndCreationGoesOn) {
    MainExtensions().RegisterDocumentType = [](const std::string&) {
        throw EFOpenError("Cannot create file \"/ro/vornix.desktop\"");
    };
    Create();
    EXPECT_EQ(LogText(), "Except->\r\nVal->Cannot create file \"/ro/vornix.desktop\"\r\n"
                         "-------------\r\n");
    EXPECT_EQ(FromQString(form->Caption()), "VORNIX 1.5.711");
    EXPECT_EQ(ImpostazioniRec.Language(), 1);
}

TEST_F(MainFormTest, MenuBarMergesTheDocumentMenuAndFollowsTheLanguage) {
    Create();
    form->show();
    EXPECT_EQ(BarCaptions(), (std::vector<QString>{"&File", "&Strumenti", "&Finestre", "&?"}));

    auto* doc = CreateForm<TDocForm>();
    // The document's own menu, as the document window carries it.
    auto* docMenu = doc->findChild<TMainMenu*>("MainMenu1");
    if (!docMenu) {
        docMenu = new TMainMenu(doc, "MainMenu1");
        docMenu->Add("Pagina1", "&Pagina", 1);
    }
    QMdiSubWindow* sub = form->ClientArea->addSubWindow(doc);
    sub->show();
    form->ClientArea->setActiveSubWindow(sub);
    std::vector<QString> merged = BarCaptions();
    ASSERT_GE(merged.size(), 5u);
    EXPECT_EQ(merged.front(), "&File");
    EXPECT_EQ(merged[1], "&Strumenti");
    EXPECT_EQ(merged[merged.size() - 2], "&Finestre");
    EXPECT_EQ(merged.back(), "&?");
    delete sub;
    EXPECT_EQ(BarCaptions().size(), 4u);

    SetLanguage(2);
    EXPECT_EQ(form->Window1->Caption(), "&Windows");
    EXPECT_EQ(form->ApriProgetto1->Caption(), "Open &document...");
    EXPECT_EQ(FromQString(form->Caption()), "VORNIX 1.5.711");
    SetLanguage(3);
    EXPECT_EQ(form->File1->Caption(), "&Datei");
    SetLanguage(1);
    EXPECT_EQ(form->Window1->Caption(), "&Finestre");
    EXPECT_EQ(form->ApriProgetto1->Caption(), "Apri &Documento...");
}

TEST_F(MainFormTest, KeysOfTheMenu) {
    Create();
    const std::vector<std::pair<TMenuItem*, QKeySequence>> keys = {
        {form->ApriProgetto1, QKeySequence(Qt::Key_F2)},
        {form->Apri1, QKeySequence(Qt::Key_F4)},
        {form->Editprova1, QKeySequence(Qt::Key_F3)},
        {form->Stampa1, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {form->StampaDocumento1, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {form->Esci1, QKeySequence(Qt::CTRL | Qt::Key_F10)},
    };
    for (const auto& [item, key] : keys)
        EXPECT_EQ(item->ShortCut(), key) << FromQString(item->objectName());
}

TEST_F(MainFormTest, RecentListKeepsTenNewestFirstWithoutMovingKnownOnes) {
    Create();
    for (int i = 1; i <= 11; ++i)
        form->AddRecentFile("/t/f" + IntToStr(i));
    form->AddRecentFile("/T/F5");
    ASSERT_EQ(form->RecentFiles.Count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(form->RecentFiles[i], "/t/f" + IntToStr(11 - i));

    OpenMenu(form->File1);
    const QList<QAction*> entries = form->Recenti1->menu()->actions();
    ASSERT_EQ(entries.size(), 10);
    for (int i = 0; i < 10; ++i) {
        auto* item = qobject_cast<TMenuItem*>(entries[i]);
        ASSERT_TRUE(item);
        EXPECT_EQ(FromQString(item->objectName()), "R" + IntToStr(i));
        EXPECT_EQ(item->Tag, i);
        EXPECT_EQ(FromQString(item->Caption()), IntToStr(i + 1) + " /t/f" + IntToStr(11 - i));
    }
    EXPECT_FALSE(form->Stampa1->Enabled());
    EXPECT_FALSE(form->StampaDocumento1->Enabled());

    QMdiSubWindow* sub = form->ClientArea->addSubWindow(CreateForm<TDocForm>());
    sub->show();
    form->ClientArea->setActiveSubWindow(sub);
    OpenMenu(form->File1);
    EXPECT_TRUE(form->Stampa1->Enabled());
    EXPECT_TRUE(form->StampaDocumento1->Enabled());
    // Opening again rebuilds rather than adds.
    EXPECT_EQ(form->Recenti1->menu()->actions().size(), 10);
}

TEST_F(MainFormTest, RecentFileGoldenBytes) {
    Create();
    form->AddRecentFile("/t/a.txt");
    form->AddRecentFile("/t/b.vrx");
    form->close();
    form = nullptr;
    const std::string golden = test::FromHex(
        "02 00 00 00 08 00 00 00 2F 74 2F 62 2E 76 72 78 08 00 00 00 2F 74 2F 61 2E 74 78 74");
    EXPECT_EQ(test::ReadFile(BasePath + "System/recenti.set"), golden);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Create();
    ASSERT_EQ(form->RecentFiles.Count(), 2);
    EXPECT_EQ(form->RecentFiles[0], "/t/b.vrx");
    EXPECT_EQ(form->RecentFiles[1], "/t/a.txt");
}

TEST_F(MainFormTest, RecentFileReadWhileWholeEntriesRemain) {
    const std::string two = test::FromHex("08 00 00 00 2F 74 2F 62 2E 76 72 78 "
                                          "08 00 00 00 2F 74 2F 61 2E 74 78 74");
    struct Case {
        std::string bytes;
        std::vector<std::string> expected;
    };
    std::string many = test::FromHex("0C 00 00 00");
    for (int i = 0; i < 12; ++i)
        many += test::FromHex("02 00 00 00") + "/" + static_cast<char>('a' + i);
    const std::vector<Case> cases = {
        {test::FromHex("40 42 0F 00") + two, {"/t/b.vrx", "/t/a.txt"}},
        {test::FromHex("02 00 00 00") + two.substr(0, two.size() - 1), {"/t/b.vrx"}},
        {test::FromHex("02 00 00 00") + two.substr(0, 14), {"/t/b.vrx"}},
        {test::FromHex("02 00 00 00 08 00 00 00 2F 74 2F 62 2E 76 72 78 "
                       "08 00 00 00 2F 54 2F 42 2E 56 52 58"),
         {"/t/b.vrx"}},
        {test::FromHex("02 00 00 00 FF FF FF FF") + two, {}},
        {test::FromHex("02 00"), {}},
        {many, {"/a", "/b", "/c", "/d", "/e", "/f", "/g", "/h", "/i", "/j"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseRecentFiles(c.bytes), c.expected) << c.bytes.size();

    test::WriteFile(BasePath + "System/recenti.set", cases[0].bytes);
    Create();
    EXPECT_EQ(form->RecentFiles.Count(), 2);
}

TEST_F(MainFormTest, FirstActivationQueuesTheProcessCommandLine) {
    Create();
    form->FormActivate(form);
    const std::string log = LogText();
    // The test process names no file of its own.
    EXPECT_EQ(log.rfind("ERR->\r\nVal->\"" + Application().ExeName() + "\"", 0), 0u) << log;
    EXPECT_EQ(log, "ERR->\r\nVal->" + TMainForm::ProcessCommandLine() + "\r\n-------------\r\n");
    EXPECT_FALSE(form->FirstActivation);
    DeleteFile(form->DebugLogFileName());
    form->FormActivate(form);
    EXPECT_EQ(LogText(), "");
}

TEST_F(MainFormTest, QueuedDocumentOpensAtTheTimer) {
    Create();
    const std::string d = MakeDocument("d.vrx");
    form->QueueCommandLine("\"P\" \"" + d + "\"");
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_TRUE(Documents().empty());
    form->Timer1->OnTimer(form->Timer1.get());
    EXPECT_EQ(LogText(), "OK->\r\nVal->\"P\" \"" + d +
                             "\"\r\n-------------\r\n"
                             "LOAD->\r\nVal->" +
                             d +
                             "\r\n-------------\r\n"
                             "Exists->\r\nVal->" +
                             d +
                             "\r\n-------------\r\n"
                             "Open->\r\nVal->Doc_Version_0.82\r\n-------------\r\n");
    EXPECT_FALSE(form->Timer1->Enabled());
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "d.vrx");
    ASSERT_TRUE(Documents()[0]->DocBox);
    EXPECT_EQ(Documents()[0]->DocBox->PageCount(), 1);
}

TEST_F(MainFormTest, MissingCommandLinePathIsOnlyLogged) {
    Create();
    for (const std::string& line :
         {"\"P\" \"" + BasePath + "none.vrx\"", std::string("\"P\""), std::string()}) {
        DeleteFile(form->DebugLogFileName());
        form->QueueCommandLine(line);
        EXPECT_EQ(LogText(), "ERR->\r\nVal->" + line + "\r\n-------------\r\n");
        EXPECT_FALSE(form->Timer1->Enabled());
        EXPECT_TRUE(form->OpenQueue.empty());
    }
}

TEST_F(MainFormTest, OneQueuedDocumentPerTick) {
    Create();
    const std::string a = MakeDocument("a.vrx");
    const std::string b = MakeDocument("b.vrx");
    const std::string c = MakeDocument("c.vrx");
    for (const std::string& p : {a, b, c})
        form->QueueCommandLine("\"P\" \"" + p + "\"");
    DeleteFile(c);
    form->Timer1Timer();
    EXPECT_EQ(Documents().size(), 1u);
    EXPECT_TRUE(form->Timer1->Enabled());
    form->Timer1Timer();
    EXPECT_EQ(Documents().size(), 2u);
    EXPECT_TRUE(form->Timer1->Enabled());
    DeleteFile(form->DebugLogFileName());
    form->Timer1Timer();
    EXPECT_EQ(Documents().size(), 2u);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(LogText(), "LOAD->\r\nVal->" + c +
                             "\r\n-------------\r\n"
                             "No Exists->\r\nVal->" +
                             c + "\r\n-------------\r\n");
}

TEST_F(MainFormTest, RelativeCommandLinePathResolvesAgainstTheCurrentFolder) {
    Create();
    const std::string d = MakeDocument("d.vrx");
    ForceDirectories(BasePath + "sub");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(BasePath + "sub"));
    form->QueueCommandLine("\"P\" \"../d.vrx\"");
    QDir::setCurrent(saved);
    ASSERT_EQ(form->OpenQueue.size(), 1u);
    EXPECT_EQ(FindExistingPath(form->OpenQueue.front()), FindExistingPath(d));
    EXPECT_EQ(form->OpenQueue.front().find(".."), std::string::npos);
}

TEST_F(MainFormTest, EachOpeningReadsItsOwnTemporaryCopy) {
    Create();
    const std::string d = MakeDocument("x.vrx");
    const std::string bytes = test::ReadFile(d);
    form->apri_documento(d);
    form->apri_documento(d);
    // Nothing holds the document itself.
    EXPECT_TRUE(DeleteFile(d));
    ASSERT_EQ(Documents().size(), 2u);
    for (TDocForm* doc : Documents())
        EXPECT_EQ(FromQString(doc->Caption()), "x.vrx");
    const std::vector<std::string> copies = ListFolder(TempFolderPath(), false);
    ASSERT_EQ(copies.size(), 2u);
    for (const std::string& name : copies) {
        EXPECT_TRUE(QRegularExpression("^[0-9A-E]{9}\\.~tm$")
                        .match(QString::fromStdString(name))
                        .hasMatch())
            << name;
        EXPECT_EQ(test::ReadFile(TempFolderPath() + name), bytes);
    }
    for (QMdiSubWindow* sub : form->ClientArea->subWindowList())
        sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(ListFolder(TempFolderPath(), false).size(), 2u);
    delete form;
    form = nullptr;
    EXPECT_TRUE(ListFolder(TempFolderPath(), false).empty());
}

TEST_F(MainFormTest, EveryStoredVersionFromEightyOpens) {
    Create();
    const std::string path = BasePath + "v82.vrx";
    {
        std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
        doc->LoadTestsAndProject("", "", {});
        doc->SaveDocumentToFile(path);
    }
    // Tag, separator, tests, 160 bytes of test styles, pages: older versions lack the styles,
    // the oldest also the separator.
    TMemoryStream tests;
    TDatabuffer().SaveToStream(tests);
    const std::string bytes = test::ReadFile(path);
    const size_t pagesAt = 1 + 16 + 1 + tests.Bytes().size() + TAttributiProve::kSize;
    ASSERT_LT(pagesAt, bytes.size());
    const std::string pages = bytes.substr(pagesAt);
    const std::vector<std::pair<std::string, std::string>> versions = {
        {"v80.vrx", "\x10"
                    "Doc_Version_0.80" +
                        tests.Bytes() + pages},
        {"v81.vrx", "\x10"
                    "Doc_Version_0.81"
                    "," +
                        tests.Bytes() + pages},
        {"v82.vrx", bytes},
    };
    for (const auto& [name, content] : versions) {
        test::WriteFile(BasePath + name, content);
        form->apri_documento(BasePath + name);
    }
    ASSERT_EQ(Documents().size(), 3u) << LogText();
    for (size_t i = 0; i < versions.size(); ++i) {
        EXPECT_EQ(FromQString(Documents()[i]->Caption()), versions[i].first);
        ASSERT_TRUE(Documents()[i]->DocBox);
        EXPECT_EQ(Documents()[i]->DocBox->PageCount(), 1);
    }
    EXPECT_EQ(DocDecimalSeparator.load(), FormatSettings().DecimalSeparator);
}

TEST_F(MainFormTest, UnknownVersionsOpenNothingAndTheQueueOnlyLogsThem) {
    Create();
    for (const std::string tag : {"Doc_Version_0.79", "Doc"}) {
        TMemoryStream stream;
        stream.WriteShortString(tag);
        stream.WriteU8(',');
        const std::string path = BasePath + "old.vrx";
        test::WriteFile(path, stream.Bytes());
        DeleteFile(form->DebugLogFileName());
        form->apri_documento(path);
        EXPECT_TRUE(Documents().empty()) << tag;
        EXPECT_TRUE(rui.Messages.empty()) << tag;
        EXPECT_EQ(LogText().rfind("Open->\r\nVal->" + tag + "\r\n-------------\r\nExcept->", 0), 0u)
            << LogText();
    }
}

TEST_F(MainFormTest, ADamagedDocumentLeavesNoHalfReadWindow) {
    Create();
    const std::string d = MakeDocument("bad.vrx");
    std::string bytes = test::ReadFile(d);
    test::WriteFile(d, bytes.substr(0, bytes.size() / 2));
    form->apri_documento(d);
    EXPECT_TRUE(Documents().empty());
    EXPECT_NE(LogText().find("Except->\r\nVal->"), std::string::npos);
    EXPECT_TRUE(rui.Messages.empty());

    // Chosen by the user, it is also told, with the byte where reading stopped.
    form->apri_documento(d, true);
    EXPECT_TRUE(Documents().empty());
    ASSERT_EQ(rui.Messages.size(), 1u);
    const std::string head =
        "Impossibile aprire il documento: " + d + "\r\nLettura interrotta al byte ";
    ASSERT_EQ(rui.Messages[0].Text.rfind(head, 0), 0u) << rui.Messages[0].Text;
    const std::string place = rui.Messages[0].Text.substr(head.size());
    EXPECT_LE(std::stoll(place), static_cast<long long>(bytes.size() / 2)) << place;
    EXPECT_NE(place.find(": "), std::string::npos) << place;

    // Cut inside its tag: the tag's characters at byte 1 are missing.
    test::WriteFile(d, bytes.substr(0, 5));
    rui.Messages.clear();
    form->apri_documento(d, true);
    EXPECT_TRUE(Documents().empty());
    ASSERT_EQ(rui.Messages.size(), 1u);
    EXPECT_EQ(rui.Messages[0].Text, "Impossibile aprire il documento: " + d +
                                        "\r\nLettura interrotta al byte 1: Stream read error");
    EXPECT_NE(LogText().find("Val->The file is damaged or incomplete: " + d +
                             " (byte 1: Stream read error)\r\n"),
              std::string::npos)
        << LogText();
}

// A document that cannot be read at all is named in the user's language, with the system's
// reason, not with the reader's own English words.
TEST_F(MainFormTest, ADocumentThatCannotBeReadIsToldInTheUsersLanguage) {
    Create();
    const std::string folder = BasePath + "folder.vrx";
    ForceDirectories(folder);
    const struct {
        int Language;
        std::string Head;
    } cases[] = {
        {1, "Impossibile aprire il documento: " + folder + "\r\nImpossibile aprire il file \"" +
                folder + "\":"},
        {2, "Cannot open the document: " + folder + "\r\nCannot open the file \"" + folder + "\":"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Language);
        SetLanguage(c.Language);
        rui.Messages.clear();
        form->apri_documento(folder, true);
        EXPECT_TRUE(Documents().empty());
        ASSERT_EQ(rui.Messages.size(), 1u);
        EXPECT_EQ(rui.Messages[0].Text.rfind(c.Head, 0), 0u) << rui.Messages[0].Text;
    }
    SetLanguage(1);
}

TEST_F(MainFormTest, RecentEntriesOpenByTheirKind) {
    Create();
    const std::string vrx = MakeDocument("x.vrx");
    const std::string txt = BasePath + "x.txt";
    test::WriteFile(txt, "a\tb\r\n1\t2\r\n");
    const std::string gone = BasePath + "gone.vrx";
    form->AddRecentFile(gone);
    form->AddRecentFile(txt);
    form->AddRecentFile(vrx);
    OpenMenu(form->File1);
    const QList<QAction*> entries = form->Recenti1->menu()->actions();
    ASSERT_EQ(entries.size(), 3);

    entries[2]->trigger();
    ASSERT_EQ(rui.Messages.size(), 1u);
    EXPECT_EQ(rui.Messages[0].Text, "Impossibile trovare il file: " + gone);
    EXPECT_EQ(form->RecentFiles.Count(), 3);
    EXPECT_TRUE(Documents().empty());

    entries[0]->trigger();
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "x.vrx");
    ASSERT_TRUE(Documents()[0]->DocBox);
    EXPECT_EQ(Documents()[0]->DocBox->PageCount(), 1);
    entries[1]->trigger();
    ASSERT_EQ(Documents().size(), 2u);
    EXPECT_EQ(FromQString(Documents()[1]->Caption()), "x.txt");
}

class OpenTestsTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        t1 = BasePath + "t1.txt";
        t2 = BasePath + "t2.txt";
        test::WriteFile(t1, "a\tb\r\n1\t2\r\n");
        test::WriteFile(t2, "a\tb\r\n3\t4\r\n");
        Create();
    }
    void MakeConfigurations() {
        test::WriteFile(BasePath + "Configurazioni/a.CPF", "");
        test::WriteFile(BasePath + "Configurazioni/b.CPF", "");
    }
    std::string t1, t2;
    int chooserShown = 0;
    QStringList listed;
};

TEST_F(OpenTestsTest, ChosenConfiguration) {
    MakeConfigurations();
    form->AddRecentFile("/old");
    rui.ModalHook = [this](QObject* f) {
        auto* dlg = qobject_cast<Tconfig_document_dlg*>(f);
        if (!dlg)
            return mrCancel;
        ++chooserShown;
        listed = dlg->ListBox1->Items();
        dlg->ListBox1->SetItemIndex(1);
        return mrOk;
    };
    form->OpenTestsWithConfiguration({t1, t2}, "");
    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(listed, (QStringList{"a.CPF", "b.CPF"}));
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "t1.txtt2.txt");
    // The document is named after the configuration it was made with.
    EXPECT_EQ(Documents()[0]->DocumentName, "b.CPF");
    ASSERT_EQ(form->RecentFiles.Count(), 3);
    EXPECT_EQ(form->RecentFiles[0], t2);
    EXPECT_EQ(form->RecentFiles[1], t1);
    EXPECT_EQ(form->RecentFiles[2], "/old");
}

TEST_F(OpenTestsTest, NewOrCancel) {
    MakeConfigurations();
    rui.ModalHook = [](QObject* f) {
        auto* dlg = qobject_cast<Tconfig_document_dlg*>(f);
        // "Nuova": OK without a choice.
        dlg->SpeedButton1->click();
        return dlg->ModalResult();
    };
    form->OpenTestsWithConfiguration({t1}, "");
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(Documents()[0]->DocumentName, "");

    rui.ModalHook = [](QObject*) { return mrCancel; };
    form->OpenTestsWithConfiguration({t2}, "");
    EXPECT_EQ(Documents().size(), 1u);
    EXPECT_EQ(form->RecentFiles.Count(), 1);
    EXPECT_EQ(form->RecentFiles[0], t1);
}

TEST_F(OpenTestsTest, NoChooserWithoutProjectsOrWithAnExistingOne) {
    rui.ModalHook = [this](QObject*) {
        ++chooserShown;
        return mrCancel;
    };
    form->OpenTestsWithConfiguration({t1}, "");
    MakeConfigurations();
    form->OpenTestsWithConfiguration({t2}, BasePath + "Configurazioni/a.CPF");
    EXPECT_EQ(chooserShown, 0);
    ASSERT_EQ(Documents().size(), 2u);
    EXPECT_EQ(Documents()[0]->DocumentName, "");
    EXPECT_EQ(Documents()[1]->DocumentName, "a.CPF");
    // A configuration that does not exist is chosen again.
    form->OpenTestsWithConfiguration({t2}, BasePath + "Configurazioni/none.CPF");
    EXPECT_EQ(chooserShown, 1);
}

TEST_F(OpenTestsTest, EveryDocumentWindowGetsTheProgramDialogs) {
    form->OpenTestsWithConfiguration({t1}, "");
    const std::string stored = MakeDocument("d.vrx");
    form->apri_documento(stored);
    ASSERT_EQ(Documents().size(), 2u);
    for (TDocForm* doc : Documents())
        EXPECT_EQ(doc->Dialogs, &ProgramDocumentDialogs());

    // Until the dialogs exist, their commands answer Cancel and leave the document as it was.
    TDocForm* doc = Documents()[0];
    doc->SaveDocumentToFile(BasePath + "before.vrx");
    for (const char* command : {"Grafico2", "ProprietReport1", "Preferenze1"})
        doc->MenuItem(command)->Click();
    doc->SaveDocumentToFile(BasePath + "after.vrx");
    EXPECT_EQ(test::ReadFile(BasePath + "after.vrx"), test::ReadFile(BasePath + "before.vrx"));
    EXPECT_TRUE(rui.Messages.empty());
}

TEST_F(OpenTestsTest, TheProgramHooksOpenTheRealValueWindowsAndParameters) {
    form->OpenTestsWithConfiguration({t1, t2}, "");
    ASSERT_EQ(Documents().size(), 1u);
    TDocForm* doc = Documents()[0];
    test::ModalScripts scripts(rui);
    int opened = 0;
    scripts.On<Tdlgparametrigenerali>([&](Tdlgparametrigenerali* d) {
        ++opened;
        EXPECT_EQ(d->Data, doc->Databuffer.get());
        d->BitBtn2->Click();
    });
    doc->MenuItem("Preferenze1")->Click();
    scripts.On<TformValuebox>([&](TformValuebox* box) {
        ++opened;
        EXPECT_EQ(box->TabSet1->Tabs(), (QStringList{"t1.txt", "t2.txt"}));
        box->Close();
    });
    TDatabuffer data;
    for (const char* name : {"/run/t1.txt", "/run/t2.txt"}) {
        TdataProva& test = data.AddProva(2);
        test.FileName = name;
        test.ChannelNames.Add("a");
        test.Units.Add("s");
        test.GetChannel(0).AddText("1");
    }
    ProgramEditorHooks().ShowValueBox(&data);
    EXPECT_EQ(opened, 2);

    TWPGraph* graph = doc->DocBox->GetCurrentPage()->Graph();
    ASSERT_NE(graph, nullptr);
    std::unique_ptr<TCursorValuesWindow> values(ProgramEditorHooks().OpenCursorValues(
        &data, graph->XAxis(), graph->RightSide(), graph->LeftSide()));
    auto* window = dynamic_cast<Tfrm_infocursor*>(values.get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->x(), window->screen()->availableGeometry().left());
    EXPECT_EQ(window->Grid1->ColCount(), 3);
    values->MarkClosing();
}

TEST_F(OpenTestsTest, ReportPropertiesOpenTheReportDefinitionOnTheDocumentsTests) {
    form->OpenTestsWithConfiguration({std::string(VX_SOURCE_DIR) + "/samples/Prove/Bench_01.txt"},
                                     "");
    ASSERT_EQ(Documents().size(), 1u);
    TDocForm* doc = Documents()[0];
    QStringList tabs;
    rui.ModalHook = [&](QObject* f) {
        if (auto* page = qobject_cast<Tnewpagedlg*>(f)) {
            page->RadioGroup1->SetItemIndex(1);
            page->Edit1->SetText("R");
            return mrOk;
        }
        if (auto* definition = qobject_cast<Tcfg_report*>(f))
            tabs = definition->TabSet1->Tabs();
        return mrCancel;
    };
    doc->NewPage();
    doc->MenuItem("ProprietReport1")->Click();
    rui.ModalHook = nullptr;
    EXPECT_EQ(tabs, QStringList{"1:Bench_01.txt"});
}

TEST_F(OpenTestsTest, TestsThatCannotBeReadAreNamedWhenTheUserChoseThem) {
    const std::string empty = BasePath + "vuota.txt";
    test::WriteFile(empty, "");
    const std::string bench = std::string(VX_SOURCE_DIR) + "/samples/Prove/Bench_01.txt";
    form->OpenTestsWithConfiguration({bench, empty}, "");
    EXPECT_TRUE(rui.Messages.empty()) << "a remote job's tests are only logged";
    form->OpenTestsWithConfiguration({empty, bench}, "", true);
    ASSERT_EQ(rui.Messages.size(), 1u);
    EXPECT_EQ(rui.Messages[0].Text, "Impossibile leggere la prova: " + empty);
    ASSERT_EQ(Documents().size(), 2u);
    EXPECT_EQ(Documents()[1]->Databuffer->ProvaCount(), 1);
}

TEST_F(OpenTestsTest, TestChooserFeedsTheNewDocument) {
    rui.ModalHook = [this](QObject* f) {
        if (auto* chooser = qobject_cast<TOpenListFile*>(f)) {
            chooser->AddTest(t1);
            chooser->AddTest(t2);
            return mrOk;
        }
        return mrCancel;
    };
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
    QTest::keyClick(form, Qt::Key_F4);
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "t1.txtt2.txt");
}

TEST_F(MainFormTest, SettingsDialogStopsAndRestartsTheServer) {
    WriteSettings(10, 1);
    Create();
    calls.clear();
    rui.ModalHook = [](QObject* f) {
        auto* dlg = qobject_cast<Timpostazioni*>(f);
        dlg->ComboBox2->SetItemIndex(2);
        dlg->CheckBox3->SetChecked(true);
        return mrOk;
    };
    form->Impostazioni1->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"Stop", "RegisterFileType true", "Start"}));
    EXPECT_EQ(ImpostazioniRec.Language(), 3);
    EXPECT_EQ(STRGlobData->mlLangDispatcher1->ActiveLanguage(), 3);
    EXPECT_EQ(form->File1->Caption(), "&Datei");
    const std::string saved = test::ReadFile(BasePath + "System/impostazioni.set");
    ASSERT_EQ(saved.size(), 1288u);
    EXPECT_EQ(saved[368], 3);

    calls.clear();
    rui.ModalHook = [](QObject*) { return mrCancel; };
    form->Impostazioni1->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"Stop", "Start"}));

    // Without the server switch nothing stops or starts.
    ImpostazioniRec.SetTcpServerActive(false);
    calls.clear();
    form->Impostazioni1->trigger();
    EXPECT_TRUE(calls.empty());
}

// The settings dialog and About as a user meets them: dialogs of the main window, centred on it,
// Escape for Cancel and Enter for OK.
TEST_F(MainFormTest, DialogsOfTheFrameAreCentredAndAnswerEnterAndEscape) {
    Create();
    form->showNormal();
    form->setGeometry(60, 40, 900, 700);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    const QPoint centre = form->mapToGlobal(form->rect().center());
    struct Case {
        TMenuItem* Item;
        Qt::Key Key;
        int Result;
    };
    for (const Case& c :
         {Case{form->Impostazioni1, Qt::Key_Escape, mrCancel},
          Case{form->Impostazioni1, Qt::Key_Enter, mrOk},
          Case{form->Show1, Qt::Key_Escape, mrCancel}, Case{form->Show1, Qt::Key_Return, mrOk}}) {
        int result = mrNone;
        QString opened;
        rui.ModalHook = [&](QObject* o) {
            auto* d = qobject_cast<TForm*>(o);
            opened = d->metaObject()->className();
            QTimer::singleShot(0, d, [&, d] {
                EXPECT_EQ(d->parentWidget(), form);
                EXPECT_FALSE(d->windowFlags() & Qt::WindowMinMaxButtonsHint);
                const QPoint shown = QRect(d->pos(), d->size()).center();
                EXPECT_LE((shown - centre).manhattanLength(), 4);
                QTest::keyClick(d, c.Key);
            });
            result = d->ExecModal();
            return result;
        };
        c.Item->trigger();
        EXPECT_EQ(result, c.Result) << opened.toStdString() << " " << c.Key;
    }
}

// Qt's own dialogs speak the language of the program; a document keeps its name.
TEST_F(MainFormTest, LanguageSwitchReachesQtsTextsAndKeepsDocumentNames) {
    Create();
    form->show();
    form->apri_documento(MakeDocument("Demo.VRX"));
    ASSERT_EQ(Documents().size(), 1u);
    auto cancelTexts = [] {
        QMessageBox box;
        box.addButton(QMessageBox::Cancel);
        const PrintDialogRequest request;
        std::unique_ptr<QDialog> print(MakePrintDialog(request));
        auto* buttons = print->findChild<QDialogButtonBox*>();
        return std::make_pair(box.button(QMessageBox::Cancel)->text(),
                              buttons->button(QDialogButtonBox::Cancel)->text());
    };
    SetLanguage(2);
    EXPECT_EQ(cancelTexts(), std::make_pair(QString("Cancel"), QString("Cancel")));
    SetLanguage(3);
    EXPECT_EQ(cancelTexts(), std::make_pair(QString("Abbrechen"), QString("Abbrechen")));
    // Our print dialogs take Qt's words.
    {
        std::unique_ptr<QDialog> setup(MakePrinterSetupDialog());
        EXPECT_EQ(setup->findChild<QCheckBox*>("Landscape")->text(), "Querformat");
        const PrintDialogRequest request;
        std::unique_ptr<QDialog> print(MakePrintDialog(request));
        EXPECT_EQ(print->findChild<QRadioButton*>("RangeAll")->text(), "Alles drucken");
    }
    SetLanguage(1);
    EXPECT_EQ(cancelTexts(), std::make_pair(QString("Annulla"), QString("Annulla")));
    SetLanguage(3);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "Demo.VRX");
    OpenMenu(form->Window1);
    const QList<QAction*> entries = form->Documenti1->menu()->actions();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0]->text(), "1>Demo.VRX");
    // The two commands that the German words once shared have names of their own.
    EXPECT_EQ(form->Impostazioni1->Caption(), "&Einstellungen...");
    EXPECT_EQ(Documents()[0]->MenuItem("Preferenze1")->Caption(), "Dokumenteinstellungen...");
}

TEST_F(MainFormTest, ArrangedAndRestoredWindowsKeepAUsefulSize) {
    Create();
    form->showNormal();
    form->resize(1000, 760);
    for (const char* name : {"a.vrx", "b.vrx", "c.vrx"})
        form->apri_documento(MakeDocument(name));
    ASSERT_EQ(Documents().size(), 3u);
    auto sizes = [&] {
        std::vector<QSize> all;
        for (QMdiSubWindow* sub : form->ClientArea->subWindowList())
            all.push_back(sub->size());
        return all;
    };
    const QSize area = form->ClientArea->viewport()->size();
    // Closing the maximised window leaves the others at their own size.
    form->ClientArea->activeSubWindow()->close();
    QCoreApplication::processEvents();
    for (const QSize& size : sizes())
        EXPECT_TRUE(size.width() >= 400 && size.height() >= 300)
            << size.width() << "x" << size.height();
    form->Sovrapponi1->trigger();
    for (QMdiSubWindow* sub : form->ClientArea->subWindowList()) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_GE(sub->width(), 400);
        EXPECT_GE(sub->height(), 300);
        EXPECT_LE(sub->geometry().right(), area.width());
    }
    form->Affianca1->trigger();
    // Two windows side by side, each half the area.
    const QList<QMdiSubWindow*> tiled = form->ClientArea->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(tiled.size(), 2);
    for (QMdiSubWindow* sub : tiled)
        EXPECT_EQ(sub->size(), QSize(area.width() / 2, area.height()));
    EXPECT_FALSE(tiled[0]->geometry().intersects(tiled[1]->geometry()));
}

TEST_F(MainFormTest, AFailedSettingsSaveIsTold) {
    Create();
    // A folder in the file's place cannot be replaced by the file.
    ForceDirectories(BasePath + "System/impostazioni.set/x");
    rui.ModalHook = [](QObject*) { return mrOk; };
    form->Impostazioni1->trigger();
    ASSERT_EQ(rui.Messages.size(), 1u);
    EXPECT_EQ(rui.Messages[0].Text.rfind("Impossibile salvare le impostazioni: ", 0), 0u);
    EXPECT_NE(rui.Messages[0].Text.find("impostazioni.set\r\n\xE8 una cartella"), std::string::npos)
        << rui.Messages[0].Text;
}

TEST_F(MainFormTest, ToolsWithoutExtensionsAreGreyAndSayWhy) {
    Create();
    for (TMenuItem* item : {form->Editprova1, form->Normalizzaprova2, form->Convertiprove1}) {
        EXPECT_FALSE(item->Enabled()) << FromQString(item->objectName());
        EXPECT_TRUE(item->Visible());
        EXPECT_EQ(FromQString(item->Hint()), "Non ancora disponibile");
        EXPECT_EQ(FromQString(item->toolTip()), "Non ancora disponibile");
    }
    SetLanguage(2);
    EXPECT_EQ(FromQString(form->Editprova1->Hint()), "Not available yet");
    EXPECT_EQ(form->Editprova1->ShortCut(), QKeySequence(Qt::Key_F3));
}

TEST_F(MainFormTest, ToolsAskForTheirFileAndKeepTheFolder) {
    std::vector<std::string> got;
    auto record = [&](const char* tool) {
        return [&got, tool](TMainForm&, const std::string& path) {
            got.push_back(std::string(tool) + " " + path);
        };
    };
    MainExtensions().EditTestFile = record("edit");
    MainExtensions().NormaliseTest = record("normalise");
    MainExtensions().EditLoadModel = record("model");
    MainExtensions().ConvertTests = [&](TMainForm&) { got.push_back("convert"); };
    Create();
    ForceDirectories(BasePath + "Prove");
    struct Case {
        TMenuItem* item;
        std::string key;
        std::string filter;
        std::string tool;
    };
    const std::string all = "Tutti i files (*.*)|*.*|Text files (*.txt)|*.TXT";
    const std::vector<Case> cases = {
        {form->Editprova1, " Last edit path", all, "edit"},
        {form->Normalizzaprova2, " Last normal path", all, "normalise"},
        {form->Modellodicaricamento1, "Path Prove Default", "Tutti i files (*.*)|*.*", "model"},
    };
    for (const Case& c : cases) {
        // The load-model item is hidden, hence never enabled as an action; its handler is.
        if (c.item->Visible()) {
            EXPECT_TRUE(c.item->Enabled());
        }
        EXPECT_TRUE(c.item->Hint().isEmpty());
        got.clear();
        rui.FileRequests.clear();
        const std::string chosen = BasePath + "Prove/t.txt";
        rui.OpenAnswers.push_back({chosen});
        c.item->Click();
        rui.OpenAnswers.push_back({});
        c.item->Click();
        ASSERT_EQ(rui.FileRequests.size(), 2u) << c.key;
        EXPECT_EQ(rui.FileRequests[0].Request.InitialDir, BasePath) << c.key;
        EXPECT_EQ(rui.FileRequests[0].Request.Filter, c.filter) << c.key;
        EXPECT_EQ(rui.FileRequests[1].Request.InitialDir, BasePath + "Prove/") << c.key;
        std::string stored;
        EXPECT_TRUE(ReadKolmVar(BasePath, "Kolm Path", c.key, stored));
        EXPECT_EQ(stored, BasePath + "Prove/");
        EXPECT_EQ(got, (std::vector<std::string>{c.tool + " " + chosen}));
    }

    // F3 as the user presses it.
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
    got.clear();
    rui.OpenAnswers.push_back({BasePath + "Prove/k.txt"});
    QTest::keyClick(form, Qt::Key_F3);
    EXPECT_EQ(got, (std::vector<std::string>{"edit " + BasePath + "Prove/k.txt"}));

    got.clear();
    form->Convertiprove1->trigger();
    EXPECT_EQ(got, (std::vector<std::string>{"convert"}));
}

TEST_F(MainFormTest, OpenDocumentFromTheMenu) {
    Create();
    const std::string d = MakeDocument("Docs/x.vrx");
    rui.OpenAnswers.push_back({d});
    form->ApriProgetto1->trigger();
    ASSERT_EQ(rui.FileRequests.size(), 1u);
    EXPECT_EQ(rui.FileRequests[0].Request.Filter, "File Documento (*.VRX)|*.VRX");
    EXPECT_EQ(rui.FileRequests[0].Request.InitialDir, BasePath);
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(FromQString(Documents()[0]->Caption()), "x.vrx");
    ASSERT_EQ(form->RecentFiles.Count(), 1);
    EXPECT_EQ(form->RecentFiles[0], d);
    std::string stored;
    ReadKolmVar(BasePath, "Kolm Path", "Last doc path", stored);
    EXPECT_EQ(stored, BasePath + "Docs/");

    form->ApriProgetto1->trigger();
    EXPECT_EQ(rui.FileRequests.back().Request.InitialDir, BasePath + "Docs/");
    EXPECT_EQ(Documents().size(), 1u);
}

TEST_F(MainFormTest, DocumentsMenuActivatesInCreationOrder) {
    Create();
    form->show();
    form->apri_documento(MakeDocument("x.vrx"));
    const std::string t1 = BasePath + "t1.txt";
    const std::string t2 = BasePath + "t2.txt";
    test::WriteFile(t1, "a\tb\r\n1\t2\r\n");
    test::WriteFile(t2, "a\tb\r\n1\t2\r\n");
    form->OpenTestsWithConfiguration({t1, t2}, "");
    ASSERT_EQ(Documents().size(), 2u);
    form->ClientArea->setActiveSubWindow(form->ClientArea->subWindowList()[1]);

    OpenMenu(form->Window1);
    const QList<QAction*> entries = form->Documenti1->menu()->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), "1>x.vrx");
    EXPECT_EQ(entries[1]->text(), "2>t1.txtt2.txt");
    TDocForm* first = Documents()[0];
    first->FitPending = false;
    // The activation itself consumes the flag: look at it as the window activates.
    bool fitAtActivation = false;
    auto activate = first->OnActivate;
    first->OnActivate = [&, activate](QObject* s) {
        fitAtActivation = first->FitPending;
        if (activate)
            activate(s);
    };
    entries[0]->trigger();
    EXPECT_EQ(form->ActiveDocForm(), first);
    EXPECT_TRUE(fitAtActivation);
    OpenMenu(form->Window1);
    EXPECT_EQ(form->Documenti1->menu()->actions().size(), 2);
}

TEST_F(MainFormTest, PrinterSetupTurnsTheActivePage) {
    test::InstallVirtualPrinter();
    Create();
    auto* doc = CreateForm<TDocForm>();
    doc->LoadTestsAndProject("", "", {});
    QMdiSubWindow* sub = form->ClientArea->addSubWindow(doc);
    sub->show();
    form->ClientArea->setActiveSubWindow(sub);
    ASSERT_TRUE(doc->DocBox && doc->DocBox->GetCurrentPage());
    rui.PrinterSetupHook = [] {
        Printer().SetOrientation(poLandscape);
        return true;
    };
    form->ImpostaStampante1->trigger();
    EXPECT_EQ(doc->DocBox->GetCurrentPage()->printerorientation, poLandscape);
    Printer().SetOrientation(poPortrait);
}

TEST_F(MainFormTest, PrintKeysGoToTheActiveDocument) {
    test::InstallVirtualPrinter();
    Create();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
    // Nothing to print yet: the keys do nothing.
    form->Stampa1Click(form);
    form->StampaDocumento1Click(form);
    EXPECT_TRUE(rui.PrintRequests.empty());

    auto* doc = CreateForm<TDocForm>();
    doc->LoadTestsAndProject("", "", {});
    QMdiSubWindow* sub = form->ClientArea->addSubWindow(doc);
    sub->show();
    form->ClientArea->setActiveSubWindow(sub);
    OpenMenu(form->File1);
    // The print dialogs are answered with Cancel: only the requests count here.
    QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(rui.PrintRequests.size(), 1u);
    QTest::keyClick(form, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(rui.PrintRequests.size(), 2u);
}

TEST_F(MainFormTest, HelpOpensTheManualWhenThereIsOne) {
    Create();
    form->Guidainlinea1->trigger();
    EXPECT_TRUE(rui.OpenedWithDesktop.empty());
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"Manuale mancante: " + BasePath + "Manuale/vornix.pdf"}));
    rui.Messages.clear();
    ForceDirectories(BasePath + "Manuale");
    test::WriteFile(BasePath + "Manuale/vornix.pdf", "%PDF-1.4\n");
    form->Guidainlinea1->trigger();
    EXPECT_EQ(rui.OpenedWithDesktop, (std::vector<std::string>{BasePath + "Manuale/vornix.pdf"}));
    EXPECT_TRUE(Shown().empty());
}

// ---- the user's work ----

class SaveQuestionTest : public MainFormTest {
protected:
    // Renames the first page through the rename dialog, as a right click on its tab does.
    void RenameFirstPage(TDocForm* doc, const std::string& name) {
        rui.ModalHook = [name](QObject* o) {
            auto* dialog = qobject_cast<Tnewpagedlg*>(o);
            if (!dialog)
                return mrCancel;
            dialog->Edit1->SetText(ToQString(name));
            return mrOk;
        };
        doc->RenamePage(0);
        rui.ModalHook = nullptr;
    }
    static QMdiSubWindow* FrameOf(TDocForm* doc) {
        return qobject_cast<QMdiSubWindow*>(doc->parentWidget());
    }
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    std::string FirstTab(TDocForm* doc) const {
        return FromQString(doc->elencopagine->Tabs().value(0));
    }
};

TEST_F(SaveQuestionTest, ClosingAChangedDocumentAsksYesNoCancel) {
    struct Case {
        int answer;
        bool stillOpen;
        bool fileChanged;
    };
    const Case cases[] = {{mrNo, false, false}, {mrCancel, true, false}, {mrYes, false, true}};
    Create();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::string path = MakeDocument("Prove/Doc.VRX");
        const std::string before = test::ReadFile(path);
        form->apri_documento(path, true);
        ASSERT_EQ(Documents().size(), 1u);
        TDocForm* doc = Documents()[0];
        EXPECT_FALSE(doc->Modified());
        RenameFirstPage(doc, "Nuovo nome");
        EXPECT_TRUE(doc->Modified());
        rui.Messages.clear();
        rui.MessageAnswers = {c.answer};
        // The frame's close button.
        FrameOf(doc)->close();
        Settle();
        ASSERT_EQ(rui.Messages.size(), 1u);
        EXPECT_EQ(rui.Messages[0].Text, "Salvare le modifiche a Doc.VRX?");
        EXPECT_EQ(rui.Messages[0].Buttons, unsigned(mbYes | mbNo | mbCancel));
        EXPECT_EQ(Documents().size(), c.stillOpen ? 1u : 0u);
        EXPECT_EQ(test::ReadFile(path) != before, c.fileChanged);
        if (c.stillOpen) {
            EXPECT_TRUE(doc->Modified());
            EXPECT_EQ(FirstTab(doc), "Nuovo nome");
            TMainForm::FreeDocumentWindow(FrameOf(doc));
        }
        if (c.fileChanged) {
            form->apri_documento(path, true);
            ASSERT_EQ(Documents().size(), 1u);
            EXPECT_EQ(FirstTab(Documents()[0]), "Nuovo nome");
            EXPECT_EQ(Documents()[0]->DocumentFile, path);
            TMainForm::FreeDocumentWindow(FrameOf(Documents()[0]));
        }
        Settle();
    }
}

TEST_F(SaveQuestionTest, ADocumentFromTestsNeverChangedClosesWithoutAQuestion) {
    Create();
    test::WriteFile(BasePath + "t1.txt", "a\tb\r\n1\t2\r\n");
    form->OpenTestsWithConfiguration({BasePath + "t1.txt"}, "");
    ASSERT_EQ(Documents().size(), 1u);
    FrameOf(Documents()[0])->close();
    Settle();
    EXPECT_TRUE(Documents().empty());
    EXPECT_TRUE(rui.Messages.empty());
}

TEST_F(SaveQuestionTest, YesOnANewDocumentAsksForItsName) {
    struct Case {
        const char* name; // the save dialog's answer; empty: cancelled
        bool stillOpen;
        bool error; // a failed save says why
    };
    const Case cases[] = {
        {"Nuovo.VRX", false, false}, {"", true, false}, {"missing/Nuovo.VRX", true, true}};
    Create();
    test::WriteFile(BasePath + "t1.txt", "a\tb\r\n1\t2\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->OpenTestsWithConfiguration({BasePath + "t1.txt"}, "");
        ASSERT_EQ(Documents().size(), 1u);
        TDocForm* doc = Documents()[0];
        RenameFirstPage(doc, "Forza");
        rui.Messages.clear();
        rui.FileRequests.clear();
        rui.MessageAnswers = {mrYes};
        if (*c.name)
            rui.SaveAnswers = {BasePath + c.name};
        FrameOf(doc)->close();
        Settle();
        ASSERT_EQ(rui.FileRequests.size(), 1u);
        EXPECT_EQ(rui.FileRequests[0].Kind, TFileRequestKind::Save);
        EXPECT_EQ(rui.FileRequests[0].Request.DefaultExt, "VRX");
        EXPECT_EQ(Documents().size(), c.stillOpen ? 1u : 0u);
        ASSERT_EQ(rui.Messages.size(), c.error ? 2u : 1u);
        EXPECT_EQ(rui.Messages[0].Text, "Salvare le modifiche a t1.txt?");
        if (c.error) {
            EXPECT_EQ(rui.Messages[1].Text.rfind("Impossibile salvare il file: ", 0), 0u)
                << rui.Messages[1].Text;
        }
        if (!c.stillOpen) {
            EXPECT_TRUE(FileExists(BasePath + c.name));
            continue;
        }
        EXPECT_TRUE(Documents()[0]->Modified());
        TMainForm::FreeDocumentWindow(FrameOf(Documents()[0]));
        Settle();
    }
}

TEST_F(SaveQuestionTest, QuittingAsksEveryChangedDocumentAndCancelKeepsTheProgram) {
    Create();
    const std::string first = MakeDocument("Prove/Uno.VRX");
    const std::string second = MakeDocument("Prove/Due.VRX");
    const std::string firstBefore = test::ReadFile(first);
    const std::string secondBefore = test::ReadFile(second);
    form->apri_documento(first, true);
    form->apri_documento(second, true);
    ASSERT_EQ(Documents().size(), 2u);
    for (TDocForm* doc : Documents())
        RenameFirstPage(doc, "Cambiata");
    QPointer<TMainForm> alive(form);

    rui.MessageAnswers = {mrNo, mrCancel};
    form->Esci1->trigger();
    Settle();
    ASSERT_TRUE(alive);
    ASSERT_EQ(Documents().size(), 2u);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Salvare le modifiche a Uno.VRX?",
                                                 "Salvare le modifiche a Due.VRX?"}));
    for (TDocForm* doc : Documents())
        EXPECT_TRUE(doc->Modified());

    rui.Messages.clear();
    rui.MessageAnswers = {mrYes, mrNo};
    form->Esci1->trigger();
    Settle();
    EXPECT_FALSE(alive);
    form = nullptr;
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Salvare le modifiche a Uno.VRX?",
                                                 "Salvare le modifiche a Due.VRX?"}));
    EXPECT_NE(test::ReadFile(first), firstBefore);
    EXPECT_EQ(test::ReadFile(second), secondBefore);
}

TEST_F(SaveQuestionTest, SavingTheDocumentClearsTheMarkAndSavingAProjectDoesNot) {
    Create();
    const std::string path = MakeDocument("Prove/Doc.VRX");
    form->apri_documento(path, true);
    TDocForm* doc = Documents().at(0);
    RenameFirstPage(doc, "Cambiata");
    rui.SaveAnswers = {BasePath + "Configurazioni/P.CPF"};
    doc->SalvaConfigurazione1Click(doc);
    EXPECT_TRUE(FileExists(BasePath + "Configurazioni/P.CPF"));
    EXPECT_TRUE(doc->Modified());
    rui.SaveAnswers = {BasePath + "Prove/Altro.VRX"};
    doc->SalvaDocumento1Click(doc);
    EXPECT_FALSE(doc->Modified());
    EXPECT_EQ(doc->DocumentFile, BasePath + "Prove/Altro.VRX");
    // Loading a project is a change of its own.
    rui.OpenAnswers = {{BasePath + "Configurazioni/P.CPF"}};
    doc->CaricaConfigurazione1Click(doc);
    EXPECT_TRUE(doc->Modified());
}

TEST_F(SaveQuestionTest, AnOpenedDocumentIsActiveAndInFrontAndStaysSoAfterPrinting) {
    test::InstallVirtualPrinter();
    Create();
    form->show();
    const std::string first = MakeDocument("Prove/Uno.VRX");
    const std::string second = MakeDocument("Prove/Due.VRX");
    form->apri_documento(first, true);
    form->apri_documento(second, true);
    ASSERT_EQ(Documents().size(), 2u);
    TDocForm* one = Documents()[0];
    TDocForm* two = Documents()[1];
    auto front = [this] {
        return form->ClientArea->subWindowList(QMdiArea::StackingOrder).last()->widget();
    };
    EXPECT_EQ(form->ActiveDocForm(), two);
    EXPECT_EQ(front(), two);

    // The dialog takes the user elsewhere on its way; the print returns to the window.
    rui.PrintHook = [&](PrintDialogRequest&) {
        form->ClientArea->setActiveSubWindow(FrameOf(one));
        return true;
    };
    form->StampaDocumento1Click(form);
    EXPECT_EQ(rui.PrintRequests.size(), 1u);
    EXPECT_EQ(form->ActiveDocForm(), two);
    EXPECT_EQ(front(), two);

    // A document opened while another is active comes to the front.
    form->ClientArea->setActiveSubWindow(FrameOf(one));
    form->apri_documento(second, true);
    ASSERT_EQ(Documents().size(), 3u);
    EXPECT_EQ(form->ActiveDocForm(), Documents()[2]);
    EXPECT_EQ(front(), Documents()[2]);
}

TEST_F(SaveQuestionTest, AFileThatIsNotADocumentOpensNothingAndSaysWhy) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* secondLine;
    };
    const Case cases[] = {
        {"a text file", "Tempo\tForza\r\n0\t1\r\n",
         "Lettura interrotta al byte 1: Stream read error"},
        {"a longer text file",
         "Tempo\tForza\tCorsa\r\n" + std::string(20, '1') + "\r\n" + std::string(80, '2'),
         "Lettura interrotta al byte 0: no document tag at the start of the file"},
        {"a project", std::string("\x10") + "Cfg_Version_0.83" + std::string(40, '\0'),
         "Lettura interrotta al byte 0: no document tag at the start of the file"},
        {"an old document", std::string("\x10") + "Doc_Version_0.79" + std::string(40, '\0'),
         "Lettura interrotta al byte 0: the document's version 79 is older than 80"},
    };
    Create();
    form->show();
    form->apri_documento(MakeDocument("Prove/Doc.VRX"), true);
    ASSERT_EQ(Documents().size(), 1u);
    QMdiSubWindow* other = FrameOf(Documents()[0]);
    other->showNormal();
    other->setGeometry(10, 20, 300, 200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = BasePath + "x.VRX";
        test::WriteFile(path, c.bytes);
        rui.Messages.clear();
        form->apri_documento(path, true);
        Settle();
        EXPECT_EQ(Documents().size(), 1u);
        ASSERT_EQ(rui.Messages.size(), 1u);
        const std::string& text = rui.Messages[0].Text;
        EXPECT_EQ(text.rfind("Impossibile aprire il documento: " + path + "\r\n", 0), 0u) << text;
        EXPECT_NE(text.find(c.secondLine), std::string::npos) << text;
        EXPECT_EQ(other->geometry(), QRect(10, 20, 300, 200));
        EXPECT_FALSE(other->isMaximized());
    }
}

} // namespace
} // namespace vx

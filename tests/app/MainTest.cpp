#include "app/Main.h"

#include "AppTestSupport.h"
#include "app/MainExtensions.h"
#include "data/Databuff.h"
#include "data/WPComp.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/MenuItem.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <cstdlib>
#include <memory>

namespace vx {
namespace {

// Scripted answers that also keep every file dialog's request.
class RecordingUi : public ScriptedUiServices {
public:
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) override {
        OpenRequests.push_back(request);
        return ScriptedUiServices::OpenFileDialog(request);
    }
    std::vector<FileDialogRequest> OpenRequests;
};

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
    // A stored document with two tests, written by the document's own writer.
    std::string MakeDocument(const std::string& name) {
        TDatabuffer buffer;
        buffer.AddProva(2);
        buffer.AddProva(2);
        buffer.FileNames.Add("t1.txt");
        buffer.FileNames.Add("t2.txt");
        const std::string path = BasePath + name;
        SaveDocumentFile(path, buffer, {});
        return path;
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

    RecordingUi rui;
    TMainForm* form = nullptr;
    std::vector<std::string> calls;
};

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

} // namespace
} // namespace vx

#include "app/convertivrx.h"

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "data/WPComp.h"
#include "document/Docmaster.h"
#include "document/Document.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "support/FormTestSupport.h"

#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;
using test::ReadFile;
using test::RunModal;
using test::WriteFile;

// A test as the reader takes it: two channels, decimal comma.
const char* const kTest = "2\r\nForza\tCorsa\r\nkN\tmm\r\n-\r\n1,5\t10\r\n2,5\t20\r\n";

class ConvertiVrxTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        FormatSettings().DecimalSeparator = ',';
        PublishFormatSettings();
        ImpostazioniRec.Clear();
    }
    void TearDown() override {
        ImpostazioniRec.Clear();
        AppWindowTest::TearDown();
    }

    static std::unique_ptr<TFConverti_Vrx> Converter() {
        return std::unique_ptr<TFConverti_Vrx>(CreateForm<TFConverti_Vrx>());
    }
    // Closes the window as its user does, so that it keeps its state.
    static void CloseByUser(TFConverti_Vrx* form) {
        RunModal(form, [form] { form->Close(); });
    }
    std::string StateFile() const { return BasePath + "System/ConvVrx.set"; }
    // A folder below the base folder, with its trailing separator.
    std::string Folder(const std::string& name) {
        const std::string folder = BasePath + name + "/";
        ForceDirectories(folder);
        return folder;
    }
    // A project of one graph page, saved by a document window.
    std::string Configuration(const std::string& name) {
        const std::string test = Folder("cfg") + "seed.txt";
        WriteFile(test, kTest);
        std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
        TStringList files;
        files.Add(test);
        doc->NewDocument("", files);
        const std::string path = BasePath + "Configurazioni/" + name;
        doc->SaveProjectToFile(path);
        return path;
    }
    void Add(TFConverti_Vrx* form, const std::vector<std::string>& entries) {
        for (const std::string& entry : entries)
            form->ListBox1->Add(ToQString(entry));
    }

    test::ScopedFormatSettings format;
};

// ---- the window ----

TEST_F(ConvertiVrxTest, OpensWithTheConfigurationsAndEnablesByPageAndPathChoice) {
    for (const char* name : {"b.cpf", "A.CPF", "x.txt"})
        WriteFile(BasePath + "Configurazioni/" + name, "");
    auto form = Converter();
    form->show();
    EXPECT_EQ(form->ComboBox1->Items(), (QStringList{"A.CPF", "b.cpf"}));
    EXPECT_EQ(form->ComboBox1->ItemIndex(), -1);
    EXPECT_TRUE(form->CheckBox3->Checked());
    EXPECT_FALSE(form->CheckBox1->Checked());
    EXPECT_FALSE(form->CheckBox2->Checked());
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
    EXPECT_TRUE(form->Label1->Caption().isEmpty());
    EXPECT_EQ(form->windowTitle(), "Converti prove");

    const auto enabled = [&] {
        return std::vector<bool>{form->CheckBox2->isEnabled(), form->RadioGroup1->isEnabled(),
                                 form->CheckBox3->isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false}));
    QTabBar* tabs = form->PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, true}));

    EXPECT_FALSE(form->Panel1->isEnabled());
    const auto click = [](QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    };
    click(form->RadioGroup1->Button(1));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    EXPECT_TRUE(form->Panel1->isEnabled());
    click(form->RadioGroup1->Button(0));
    EXPECT_FALSE(form->Panel1->isEnabled());
}

TEST_F(ConvertiVrxTest, AFreshWindowKeepsItsDefaults) {
    auto form = Converter();
    CloseByUser(form.get());
    EXPECT_EQ(HexBytes(ReadFile(StateFile())),
              HexBytes(FromHex("00000000 00000000 00000000 00000000 00000000 00000000 01000000 "
                               "00000000 00000000 00000000 01")));
}

TEST_F(ConvertiVrxTest, TheStateIsKeptAndRestored) {
    WriteFile(BasePath + "Configurazioni/Std.CPF", "");
    {
        auto form = Converter();
        Add(form.get(), {"/t/a.txt", "/t/Pr\xFC"
                                     "f"});
        form->CheckBox1->SetChecked(true);
        form->ListBox2->Add("*.TXT");
        form->ComboBox1->SetItemIndex(0);
        form->PageControl1->SetActivePageIndex(1);
        form->SpinEdit1->SetValue(5);
        form->ListBox3->Add("h1");
        form->ListBox3->Add("h2");
        form->RadioGroup1->SetItemIndex(1);
        form->Edit1->SetText("/out");
        CloseByUser(form.get());
    }
    EXPECT_EQ(HexBytes(ReadFile(StateFile())),
              HexBytes(FromHex("02000000 08000000 2F742F612E747874 07000000 2F742F5072FC66 "
                               "01000000 01000000 05000000 2A2E545854 07000000 5374642E435046 "
                               "00000000 01000000 05000000 02000000 02000000 6831 02000000 "
                               "6832 01000000 04000000 2F6F7574 01")));

    auto form = Converter();
    EXPECT_EQ(form->ListBox1->Items(), (QStringList{"/t/a.txt", QString::fromUtf8("/t/Prüf")}));
    EXPECT_TRUE(form->CheckBox1->Checked());
    EXPECT_EQ(form->ListBox2->Items(), QStringList{"*.TXT"});
    EXPECT_EQ(form->ComboBox1->Text(), "Std.CPF");
    EXPECT_FALSE(form->CheckBox2->Checked());
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(form->SpinEdit1->Value(), 5);
    EXPECT_EQ(form->ListBox3->Items(), (QStringList{"h1", "h2"}));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    EXPECT_TRUE(form->Panel1->isEnabled());
    EXPECT_EQ(form->Edit1->Text(), "/out");
    EXPECT_TRUE(form->CheckBox3->Checked());
    EXPECT_TRUE(form->RadioGroup1->isEnabled());
}

// A damaged state file sets what it holds whole, in order, and stops at the first field it
// cannot read; nothing is allocated from a count.
TEST_F(ConvertiVrxTest, ADamagedStateSetsWhatItHoldsWhole) {
    struct Case {
        const char* hex;
        QStringList tests;
        bool subfolders;
        int page;
        int choice;
    };
    const Case cases[] = {
        // a count far beyond the bytes: the one whole entry is added
        {"FFFFFF7F 01000000 61", {"a"}, false, 0, 0},
        // a length beyond the bytes
        {"01000000 FFFFFF7F 61", {}, false, 0, 0},
        // a negative count
        {"FFFFFFFF", {}, false, 0, 0},
        // a page and a path choice outside 0..1 leave their controls
        {"00000000 01000000 00000000 00000000 00000000 05000000 01000000 00000000 07000000",
         {},
         true,
         0,
         0},
        // a file cut inside the row
        {"00000000 01000000 00000000 00000000 00000000 01000000 0300", {}, true, 1, 0},
    };
    for (const Case& c : cases) {
        WriteFile(StateFile(), FromHex(c.hex));
        auto form = Converter();
        EXPECT_EQ(form->ListBox1->Items(), c.tests) << c.hex;
        EXPECT_EQ(form->CheckBox1->Checked(), c.subfolders) << c.hex;
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), c.page) << c.hex;
        EXPECT_EQ(form->RadioGroup1->ItemIndex(), c.choice) << c.hex;
        EXPECT_EQ(form->SpinEdit1->Value(), 1) << c.hex;
        EXPECT_TRUE(form->CheckBox3->Checked()) << c.hex;
    }
}

TEST_F(ConvertiVrxTest, TheConfigurationIsTheExactNameElseTheSingleMatchIgnoringCase) {
    struct Case {
        std::vector<std::string> files;
        std::string stored;
        QString chosen;
    };
    const Case cases[] = {
        {{"Std.CPF"}, "std.cpf", "Std.CPF"},
        {{"A.CPF", "a.CPF"}, "a.CPF", "a.CPF"},
        {{"A.CPF", "a.CPF"}, "a.cpf", ""},
        {{"Std.CPF"}, "gone.CPF", ""},
    };
    for (const Case& c : cases) {
        DeleteFilesByMask(BasePath + "Configurazioni/x", "*");
        for (const std::string& name : c.files)
            WriteFile(BasePath + "Configurazioni/" + name, "");
        std::string state = FromHex("00000000 00000000 00000000");
        state +=
            std::string(1, static_cast<char>(c.stored.size())) + std::string(3, '\0') + c.stored;
        WriteFile(StateFile(), state);
        auto form = Converter();
        EXPECT_EQ(form->ComboBox1->ItemIndex() >= 0 ? form->ComboBox1->Text() : QString(), c.chosen)
            << c.stored;
    }
}

TEST_F(ConvertiVrxTest, ListsAskBeforeRemovingAndTakeNoDuplicates) {
    auto form = Converter();
    form->show();
    ui.OpenAnswers = {{"/t/a.txt"}, {"/T/A.TXT"}};
    ui.FolderAnswers = {"/t/sub"};
    form->Button1->click();
    form->Button1->click();
    form->Button2->click();
    EXPECT_EQ(form->ListBox1->Items(), (QStringList{"/t/a.txt", "/t/sub"}));
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(ui.FileRequests[0].Request.Filter, "Tutti i files (*.*)|*.*");

    // Nothing chosen, and an empty list, ask nothing.
    form->Button3->click();
    form->Button7->click();
    EXPECT_TRUE(ui.Messages.empty());

    form->ListBox1->SetItemIndex(0);
    ui.MessageAnswers = {mrNo, mrYes};
    form->Button3->click();
    EXPECT_EQ(form->ListBox1->Count(), 2);
    form->Button3->click();
    EXPECT_EQ(form->ListBox1->Items(), QStringList{"/t/sub"});
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Text, "Elimino la prova selezionato dalla lista?");
    EXPECT_EQ(ui.Messages[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));

    ui.InputAnswers = {std::string("*.DAT"), std::string(""), std::nullopt};
    for (int i = 0; i < 3; ++i)
        form->Button5->click();
    EXPECT_EQ(form->ListBox2->Items(), QStringList{"*.DAT"});
    const auto& asked = ui.FileRequests.back();
    EXPECT_EQ(asked.Kind, TFileRequestKind::Input);
    EXPECT_EQ(asked.Request.Title, "Inserisci tipo file");
    EXPECT_EQ(asked.Prompt, "Maschera (es. *.TXT):");

    ui.Messages.clear();
    ui.MessageAnswers = {mrYes, mrYes};
    form->Button4->click();
    form->Button7->click();
    EXPECT_EQ(form->ListBox1->Count(), 0);
    EXPECT_EQ(form->ListBox2->Count(), 0);
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Text, "Cancello tutte le prove della lista?");
    EXPECT_EQ(ui.Messages[1].Text, "Cancello tutti i filtri dalla lista?");

    // The lines to insert: added through their own box, cleared without a question.
    ui.Messages.clear();
    ui.InputAnswers = {std::string("Data\t1"), std::string("x")};
    form->Button8->click();
    form->Button8->click();
    EXPECT_EQ(ui.FileRequests.back().Request.Title, "Aggiungi riga");
    EXPECT_EQ(ui.FileRequests.back().Prompt, "Testo della riga:");
    form->ListBox3->SetItemIndex(1);
    ui.MessageAnswers = {mrYes};
    form->Button9->click();
    EXPECT_EQ(form->ListBox3->Items(), QStringList{"Data\t1"});
    form->Button10->click();
    EXPECT_EQ(form->ListBox3->Count(), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Elimino la riga selezionata dalla lista?"});
}

TEST_F(ConvertiVrxTest, EmptyInputsAreToldAndChangeNothing) {
    const std::string test = Folder("T") + "a.txt";
    WriteFile(test, kTest);
    WriteFile(BasePath + "Configurazioni/Std.CPF", "");
    auto form = Converter();
    form->show();
    form->SpeedButton4->click();
    Add(form.get(), {test});
    form->SpeedButton4->click();
    form->PageControl1->SetActivePageIndex(1);
    form->SpeedButton4->click();
    form->ListBox3->Add("x");
    form->RadioGroup1->SetItemIndex(1);
    form->SpeedButton4->click();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Attenzione non \xE8 stato scelto alcun file da convertire!",
                  "Attenzione non \xE8 stato scelto alcun modello di configurazione!",
                  "Non \xE8 stata aggiunta alcuna riga!", "Indicare il nuovo percorso!"}));
    EXPECT_EQ(ReadFile(test), kTest);
    EXPECT_FALSE(FileExists(Folder("T") + "a.VRX"));
}

// ---- collecting ----

class CollectTest : public ConvertiVrxTest {
protected:
    void SetUp() override {
        ConvertiVrxTest::SetUp();
        root = Folder("T");
        for (const char* name : {"a.txt", "B.DAT", "c.csv", ".h.txt", "sub/d.txt"}) {
            ForceDirectories(ExtractFilePath(root + name));
            WriteFile(root + name, "1\r\n");
        }
        ASSERT_EQ(::mkfifo((root + "p.txt").c_str(), 0644), 0);
        form = Converter();
    }
    std::vector<std::string> Collect(const std::vector<std::string>& entries,
                                     const QStringList& masks, bool subfolders) {
        form->ListBox1->Clear();
        Add(form.get(), entries);
        form->ListBox2->SetItems(masks);
        form->CheckBox1->SetChecked(subfolders);
        return form->CollectFiles();
    }

    std::string root;
    std::unique_ptr<TFConverti_Vrx> form;
};

TEST_F(CollectTest, FoldersAreSearchedByMaskAndNamedFilesTakenAsTheyAre) {
    const std::string T = root.substr(0, root.size() - 1);
    EXPECT_EQ(Collect({T}, {"*.TXT", "*.DAT"}, false),
              (std::vector<std::string>{root + ".h.txt", root + "B.DAT", root + "a.txt"}));
    EXPECT_EQ(Collect({T}, {"*.TXT", "*.DAT"}, true),
              (std::vector<std::string>{root + ".h.txt", root + "B.DAT", root + "a.txt",
                                        root + "sub/d.txt"}));
    EXPECT_EQ(Collect({root + "c.csv", T, "/gone", root + "p.txt"}, {"*.TXT"}, false),
              (std::vector<std::string>{root + "c.csv", root + ".h.txt", root + "a.txt"}));
    EXPECT_EQ(Collect({T}, {}, false), (std::vector<std::string>{root + ".h.txt", root + "B.DAT",
                                                                 root + "a.txt", root + "c.csv"}));
}

TEST_F(CollectTest, ALinkBackUpTheTreeGivesEachFileOnce) {
    ASSERT_EQ(::symlink(root.c_str(), (root + "sub/up").c_str()), 0);
    EXPECT_EQ(Collect({root}, {"*.txt"}, true),
              (std::vector<std::string>{root + ".h.txt", root + "a.txt", root + "sub/d.txt"}));
}

// ---- documents ----

class VrxTest : public ConvertiVrxTest {
protected:
    void SetUp() override {
        ConvertiVrxTest::SetUp();
        config = Configuration("Std.CPF");
        folder = Folder("Prove");
        form = Converter();
        form->show();
        form->ComboBox1->SetItemIndex(form->ComboBox1->Items().indexOf("Std.CPF"));
    }
    // What the window-less document writes for the test, by itself.
    std::string Reference(const std::string& test) {
        TDocmaster doc;
        TStringList files;
        files.Add(test);
        doc.LoadProject(config, files);
        const std::string path = Folder("ref") + "r.VRX";
        doc.SaveDocument(path);
        return ReadFile(path);
    }

    std::string config;
    std::string folder;
    std::unique_ptr<TFConverti_Vrx> form;
};

TEST_F(VrxTest, EachTestBecomesItsOwnDocument) {
    const std::vector<std::string> tests = {folder + "run.txt", folder + "b.txt", folder + "c.txt"};
    for (size_t i = 0; i < tests.size(); ++i)
        WriteFile(tests[i], std::string(kTest) + std::to_string(i + 7) + "\t1\r\n");
    WriteFile(folder + "run.VRX", "old");
    Add(form.get(), tests);

    std::vector<std::pair<int, bool>> progress;
    QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged, form.get(), [&](int value) {
        progress.push_back({value, ui.Busy});
    });
    form->SpeedButton4->click();

    EXPECT_EQ(progress, (std::vector<std::pair<int, bool>>{{33, true}, {66, true}, {100, true}}));
    EXPECT_FALSE(ui.Busy);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(FromQString(form->Label1->Caption()), "Prova: " + tests.back());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Processo terminato!"});
    for (const std::string& test : tests) {
        const std::string vrx = ReadFile(ChangeFileExt(test, ".VRX"));
        EXPECT_EQ(vrx.substr(0, 18), "\x10"
                                     "Doc_Version_0.82,");
        EXPECT_EQ(vrx, Reference(test)) << test;
        for (const std::string& other : tests)
            EXPECT_EQ(vrx.find(other) != std::string::npos, other == test) << test;
    }
}

// Closing the window while it converts waits for the end of the run.
TEST_F(VrxTest, ACloseRequestDuringARunWaitsForItsEnd) {
    form->hide();
    const std::vector<std::string> tests = {folder + "a.txt", folder + "b.txt"};
    for (const std::string& test : tests)
        WriteFile(test, kTest);
    Add(form.get(), tests);
    std::vector<bool> openDuringRun;
    QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged, form.get(), [&](int) {
        form->Close();
        openDuringRun.push_back(form->IsModal() && !form->isEnabled());
    });
    const int result = RunModal(form.get(), [&] { form->SpeedButton4->click(); });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(openDuringRun, (std::vector<bool>{true, true}));
    EXPECT_TRUE(FileExists(folder + "b.VRX"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Processo terminato!"});
    EXPECT_TRUE(FileExists(StateFile()));
}

TEST_F(VrxTest, TheOldExtensionCanStayInTheName) {
    WriteFile(folder + "run.txt", kTest);
    Add(form.get(), {folder + "run.txt"});
    form->CheckBox2->SetChecked(true);
    form->SpeedButton4->click();
    EXPECT_TRUE(FileExists(folder + "runtxt.VRX"));
    EXPECT_FALSE(FileExists(folder + "run.VRX"));
}

TEST_F(VrxTest, ADocumentIsNeverWrittenOverItsTestNorWithoutOne) {
    WriteFile(folder + "x.VRX", kTest);
    WriteFile(folder + "e.txt", "");
    WriteFile(folder + "e.VRX", "keep");
    WriteFile(folder + "ok.txt", kTest);
    Add(form.get(), {folder + "x.VRX", folder + "e.txt", folder + "ok.txt"});
    form->SpeedButton4->click();
    EXPECT_EQ(ReadFile(folder + "x.VRX"), kTest);
    EXPECT_EQ(ReadFile(folder + "e.VRX"), "keep");
    EXPECT_TRUE(FileExists(folder + "ok.VRX"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Processo terminato!\r\nFile non convertiti: "
                                                   "2\r\n" +
                                                   folder + "x.VRX\r\n" + folder + "e.txt"});
}

TEST_F(VrxTest, AFailedSaveEndsTheRunAndGivesTheWindowBack) {
    WriteFile(folder + "a.txt", kTest);
    ForceDirectories(folder + "a.VRX/inside");
    Add(form.get(), {folder + "a.txt"});
    form->SpeedButton4->click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("Conversione interrotta al file: " + folder + "a.txt\r\n", 0), 0u)
        << Messages()[0];
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(ui.Busy);
}

// ---- inserting lines ----

TEST_F(ConvertiVrxTest, LinesAreInsertedAtTheRow) {
    struct Case {
        std::string test;
        int row;
        std::vector<std::string> lines;
        bool increment;
        std::string result;
    };
    const Case cases[] = {
        {"4\tx\r\nb\r\nc\r\nd\r\ne\r\n",
         5,
         {"P", "Q"},
         true,
         "6\tx\r\nb\r\nc\r\nd\r\nP\r\nQ\r\ne\r\n"},
        {"4\tx\r\nb\r\nc\r\nd\r\ne\r\n",
         5,
         {"P", "Q"},
         false,
         "4\tx\r\nb\r\nc\r\nd\r\nP\r\nQ\r\ne\r\n"},
        {"4\tx\nb\nc", 2, {"P"}, true, "5\tx\r\nP\r\nb\r\nc\r\n"},
        {"a\r\nb", 5, {"X"}, true, "a\r\nb\r\n\r\n\r\nX\r\n"},
        // the lines go first at row 1, and line 1 stays as it was
        {"4\tx\r\ny\r\n", 1, {"P"}, true, "P\r\n4\tx\r\ny\r\n"},
        // CR alone ends a line too; a line 1 without a TAB is the number
        {"7\rb\r", 2, {"P"}, true, "8\r\nP\r\nb\r\n"},
        // a sum beyond 32 bits leaves line 1 as it was
        {"2147483647\tx\r\n", 2, {"P"}, true, "2147483647\tx\r\nP\r\n"},
        {"", 1, {"P"}, true, "P\r\n"},
    };
    const std::string test = Folder("T") + "t.txt";
    for (const Case& c : cases) {
        WriteFile(test, c.test);
        TInsertChoices choices;
        choices.IncrementFirstLine = c.increment;
        EXPECT_EQ(InsertHeaderLines(test, c.row, c.lines, choices), test);
        EXPECT_EQ(ReadFile(test), c.result) << c.test;
    }
}

class InsertTest : public ConvertiVrxTest {
protected:
    void SetUp() override {
        ConvertiVrxTest::SetUp();
        folder = Folder("T");
        test = folder + "real.txt";
        WriteFile(test, kBench);
        form = Converter();
        form->show();
        form->PageControl1->SetActivePageIndex(1);
        form->SpinEdit1->SetValue(2);
        form->ListBox3->SetItems({"Data\t2026-12-10", "Turno\tB"});
    }
    void Run(const std::vector<std::string>& entries) {
        Add(form.get(), entries);
        form->SpeedButton4->click();
    }
    std::vector<std::string> FolderNames() const { return ListFolder(folder, false); }

    static constexpr const char* kBench = "3\tBanco 7\r\nOperatore\tRossi\r\nForza\tCorsa\r\n"
                                          "kN\tmm\r\n-\r\n1,5\t2\r\n3\t4\r\n";
    static constexpr const char* kInserted =
        "5\tBanco 7\r\nData\t2026-12-10\r\nTurno\tB\r\nOperatore\tRossi\r\nForza\tCorsa\r\n"
        "kN\tmm\r\n-\r\n1,5\t2\r\n3\t4\r\n";
    std::string folder;
    std::string test;
    std::unique_ptr<TFConverti_Vrx> form;
};

TEST_F(InsertTest, ARewrittenTestStillReadsWithItsNewHeader) {
    ASSERT_EQ(std::string(kBench).size(), 63u);
    ::chmod(test.c_str(), 0640);
    Run({test, folder + "REAL.txt", folder});
    EXPECT_EQ(ReadFile(test), kInserted);
    EXPECT_EQ(ReadFile(test).size(), 89u);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Processo terminato!"});
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"real.txt"});
    EXPECT_FALSE(FileExists(BasePath + "workfiletrans.tmp"));
    struct stat st {};
    ASSERT_EQ(::stat(test.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ImpostazioniRec.SetLoadType(1);
    TDatabuffer buffer;
    LoadProvaText(buffer, test);
    ASSERT_EQ(buffer.ProvaCount(), 1);
    const TdataProva& read = buffer.GetProva(0);
    EXPECT_EQ(read.GetChannelLabel(0), "Forza[kN]");
    EXPECT_EQ(read.GetChannelLabel(1), "Corsa[mm]");
    EXPECT_EQ(read.GetText(0, 0), "1,5");
    EXPECT_EQ(read.GetText(1, 0), "2");
    EXPECT_EQ(read.GetText(0, 1), "3");
    EXPECT_EQ(read.GetText(1, 1), "4");
    ASSERT_GE(read.HeaderCells.Count(), 3);
    EXPECT_EQ(read.HeaderCells[0], "1,1#5");
    EXPECT_EQ(read.HeaderCells[1], "2,1#Banco 7");
    EXPECT_EQ(read.HeaderCells[2], "1,2#Data");
}

TEST_F(InsertTest, ATestNamedThroughALinkIsRewrittenWhereTheLinkPoints) {
    ASSERT_EQ(::symlink("real.txt", (folder + "l.txt").c_str()), 0);
    Run({folder + "l.txt"});
    EXPECT_EQ(ReadFile(test), kInserted);
    struct stat st {};
    ASSERT_EQ(::lstat((folder + "l.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(InsertTest, AFailureLeavesTheTestAsItWasAndGivesTheWindowBack) {
    const std::string blocker = folder + "file";
    WriteFile(blocker, "x");
    struct Case {
        const char* what;
        std::function<bool()> prepare;
    };
    std::unique_ptr<test::ReadOnlyFolder> readOnly;
    const Case cases[] = {
        {"a new root below a regular file",
         [&] {
             form->RadioGroup1->SetItemIndex(1);
             form->Edit1->SetText(ToQString(blocker + "/out"));
             return true;
         }},
        {"a test in a folder nobody may write",
         [&] {
             form->RadioGroup1->SetItemIndex(0);
             readOnly = std::make_unique<test::ReadOnlyFolder>(folder);
             return readOnly->Active();
         }},
    };
    for (const Case& c : cases) {
        if (!c.prepare()) {
            ADD_FAILURE() << c.what << ": " << readOnly->Error();
            continue;
        }
        ui.Messages.clear();
        form->ListBox1->Clear();
        Run({test});
        EXPECT_EQ(ReadFile(test), kBench) << c.what;
        ASSERT_EQ(Messages().size(), 1u) << c.what;
        EXPECT_EQ(Messages()[0].rfind("Conversione interrotta al file: " + test + "\r\n", 0), 0u)
            << Messages()[0];
        EXPECT_TRUE(form->isEnabled());
        EXPECT_FALSE(ui.Busy);
    }
    readOnly.reset();
    EXPECT_EQ((std::vector<std::string>{"file", "real.txt"}), FolderNames());
}

TEST_F(InsertTest, ANewPathRepeatsTheFoldersBelowTheNewRoot) {
    for (const char* root : {"out", "out/"}) {
        const std::string newRoot = BasePath + root;
        form->RadioGroup1->SetItemIndex(1);
        form->Edit1->SetText(ToQString(newRoot));
        form->ListBox1->Clear();
        Run({test});
        const std::string copy = BasePath + "out" + test;
        EXPECT_EQ(ReadFile(copy), kInserted) << root;
        EXPECT_EQ(ReadFile(test), kBench);
        DeleteFile(copy);
    }
    TInsertChoices choices;
    choices.NewPath = true;
    choices.NewRoot = "/out";
    EXPECT_EQ(InsertOutputPath("/data/in/a.txt", choices), "/out/data/in/a.txt");
    choices.NewRoot = "/out/";
    EXPECT_EQ(InsertOutputPath("/data/in/a.txt", choices), "/out/data/in/a.txt");
    // The root "/" puts the output onto the test itself, which is then rewritten whole.
    choices.NewRoot = "/";
    choices.IncrementFirstLine = true;
    EXPECT_EQ(InsertHeaderLines(test, 2, {"Data\t2026-12-10", "Turno\tB"}, choices), test);
    EXPECT_EQ(ReadFile(test), kInserted);
}

// ---- the main window ----

TEST_F(ConvertiVrxTest, TheMainWindowOpensTheConverterModally) {
    MainExtensions() = {};
    InstallConverter(MainExtensions());
    std::unique_ptr<TMainForm> main(CreateForm<TMainForm>());
    EXPECT_TRUE(main->Convertiprove1->Enabled());
    EXPECT_TRUE(main->Convertiprove1->Hint().isEmpty());
    test::ModalScripts scripts(ui);
    QPointer<TFConverti_Vrx> shown;
    int count = 0;
    scripts.On<TFConverti_Vrx>([&](TFConverti_Vrx* form) {
        shown = form;
        ++count;
        EXPECT_TRUE(form->IsModal());
        form->Close();
    });
    main->Convertiprove1->trigger();
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(shown.isNull());
    EXPECT_TRUE(FileExists(StateFile()));
    MainExtensions() = {};
}

} // namespace
} // namespace vx

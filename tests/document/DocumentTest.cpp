#include "DocumentFixture.h"

#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/Docmaster.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/system/Files.h"
#include "platform/ui/TabSet.h"
#include "report/DocBox.h"
#include "report/wpreport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace vx::test {

namespace {

const char* const kValidTest = "2\r\n"
                               "Forza\tCorsa\r\n"
                               "kN\tmm\r\n"
                               "skipped\r\n"
                               "1.5\t10\r\n"
                               "2.5\t20\r\n";
// The names and units rows, and no data row.
const char* const kTestWithoutRows = "2\r\nForza\tCorsa\r\nkN\tmm\r\nskipped\r\n";

// Scripted answers for the scope of a test; Requests() are the file dialogs asked for.
class RecordingUi : public ScriptedUiServices {
public:
    RecordingUi() : previous_(&Ui()) { SetUiServices(this); }
    ~RecordingUi() override { SetUiServices(previous_); }
    std::vector<FileDialogRequest> Requests() const {
        std::vector<FileDialogRequest> requests;
        for (const FileRequest& r : FileRequests)
            requests.push_back(r.Request);
        return requests;
    }

private:
    UiServices* previous_;
};

class DocumentTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        savedBase_ = BasePath;
        BasePath = base_.Path();
        ForceDirectories(BasePath + "System");
        ForceDirectories(BasePath + "Configurazioni");
        ImpostazioniRec.Clear();
        ImpostazioniRec.SetLoadType(1);
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        ForceDirectories(BasePath + "bin");
    }
    void TearDown() override {
        unsetenv("VORNIX_PROGRAM_PATH");
        ImpostazioniRec = savedRecord_;
        BasePath = savedBase_;
        DocumentFixture::TearDown();
    }

    // A window as a new document leaves it: the page container made, the document read.
    std::unique_ptr<TDocForm> NewDocument(const std::string& configuration,
                                          const std::vector<std::string>& files) {
        auto form = std::make_unique<TDocForm>();
        form->DocBox = std::make_unique<TDocBox>();
        TStringList list;
        for (const std::string& f : files)
            list.Add(f);
        form->LoadTestsAndProject("", configuration, list);
        return form;
    }

    std::string TestFile(const std::string& name, const char* bytes = kValidTest) {
        const std::string path = base_.File(name);
        WriteFile(path, bytes);
        return path;
    }

    // A project of a graph page "Forze" and a report page "Tabella", saved by a window.
    std::string SampleProject(const std::string& name = "Configurazioni/p.CPF") {
        auto form = NewDocument("", {TestFile("A1.txt")});
        TDocBox& box = *form->DocBox;
        box.GetPage(0)->pagename = "Forze";
        TWPPage* report = box.AddPage();
        report->DataBuffer = form->Databuffer.get();
        report->SetPageKind(PK_REPORT);
        report->pagename = "Tabella";
        form->MappingList.Add("a.MAP");
        form->Databuffer->LabelTable.Add("Forza\xA7kN");
        form->Databuffer->LabelTable.Add("Corsa\xA7mm");
        form->SaveProjectToFile(base_.File(name));
        return base_.File(name);
    }

    static std::vector<std::string> PageNames(const TDocForm& form) {
        std::vector<std::string> names;
        for (TWPPage* p : form.Pages())
            names.push_back(p->pagename);
        return names;
    }
    static std::vector<std::string> Tabs(const TDocForm& form) {
        std::vector<std::string> tabs;
        for (const QString& t : form.elencopagine->Tabs())
            tabs.push_back(FromQString(t));
        return tabs;
    }

    TempDir base_;
    RecordingUi ui_;

private:
    std::string savedBase_;
    TImpostazioniRec savedRecord_ = ImpostazioniRec;
};

} // namespace

TEST_F(DocumentTest, NewDocumentFallsBackToTheDefaultProjectThenToOneGraphPage) {
    const std::vector<std::string> files = {TestFile("A1.txt"),
                                            TestFile("bad.txt", kTestWithoutRows)};
    {
        auto form = NewDocument(base_.File("Configurazioni/missing.CPF"), files);
        ASSERT_EQ(form->Databuffer->ProvaCount(), 1);
        EXPECT_EQ(form->Databuffer->GetProva(0).FileName, files[0]);
        EXPECT_EQ(form->Databuffer->FileNames.Count(), 2);
        EXPECT_EQ(FromQString(form->Caption()), " A1.txt bad.txt");
        ASSERT_EQ(form->DocBox->PageCount(), 1);
        EXPECT_EQ(form->DocBox->GetPage(0)->PAGEKIND(), PK_GRAPHIC);
        EXPECT_EQ(form->DocBox->GetPage(0)->DataBuffer, form->Databuffer.get());
        EXPECT_EQ(Tabs(*form), std::vector<std::string>{"Documento 1"});
        EXPECT_EQ(form->elencopagine->TabIndex(), 0);
        EXPECT_FALSE(form->Loading);
        EXPECT_FALSE(ui_.Busy);
    }

    const std::string project = SampleProject();
    ASSERT_TRUE(RenameFile(project, BasePath + "System/DEFCFG.SET"));
    auto form = NewDocument("", files);
    EXPECT_EQ(Tabs(*form), (std::vector<std::string>{"Forze", "Tabella"}));
    EXPECT_EQ(PageNames(*form), Tabs(*form));
    EXPECT_EQ(form->DocBox->ShownPage(), form->DocBox->GetPage(0));
    EXPECT_EQ(form->MappingList.Count(), 1);

    // A default project that is no project counts as missing.
    WriteFile(BasePath + "System/DEFCFG.SET", "\x05Nulla");
    EXPECT_EQ(Tabs(*NewDocument("", files)), std::vector<std::string>{"Documento 1"});
}

TEST_F(DocumentTest, ProjectIntoAWindowKeepsAsManyLabelsAsTheFirstTestHasChannels) {
    const std::string project = SampleProject();
    struct Case {
        const char* test;
        int labels;
    };
    for (const Case c :
         {Case{"2\r\nForza\r\nkN\r\nx\r\n1\r\n", 1}, Case{kValidTest, 2}, Case{nullptr, 0}}) {
        SCOPED_TRACE(c.labels);
        std::vector<std::string> files;
        if (c.test)
            files.push_back(TestFile("t.txt", c.test));
        auto form = NewDocument("", files);
        AttributiProve().SetDefaults();
        form->LoadProjectFromFile(project, false);
        ASSERT_EQ(form->Databuffer->LabelTable.Count(), c.labels);
        if (c.labels > 0) {
            EXPECT_EQ(form->Databuffer->LabelTable[0], "Forza\xA7kN");
        }
        EXPECT_EQ(form->MappingList.Count(), 1);
        EXPECT_EQ(form->MappingList[0], "a.MAP");
        EXPECT_EQ(Tabs(*form), (std::vector<std::string>{"Forze", "Tabella"}));
    }
}

TEST_F(DocumentTest, ImportingAProjectAppendsItsPagesAndTabs) {
    const std::string project = SampleProject();
    auto form = NewDocument(project, {TestFile("A1.txt")});
    form->LoadProjectFromFile(project, true);
    EXPECT_EQ(Tabs(*form), (std::vector<std::string>{"Forze", "Tabella", "Forze", "Tabella"}));
    EXPECT_EQ(PageNames(*form), Tabs(*form));
    EXPECT_EQ(form->elencopagine->TabIndex(), 0);
}

TEST_F(DocumentTest, ATruncatedProjectIsRefusedWithTheWindowUnchanged) {
    const std::string project = SampleProject();
    const std::string bytes = ReadFile(project);
    auto form = NewDocument("", {TestFile("A1.txt")});
    form->MappingList.Add("keep.MAP");
    form->Databuffer->LabelTable.Add("keep");
    AttributiProve().Record(4).Width = 7;
    const TAttributiProve styles = AttributiProve();
    TWPPage* const page = form->DocBox->GetPage(0);
    const std::string damaged = base_.File("d.CPF");
    // Cut inside the tag, the first page, the second page, the labels, the styles and the
    // list, and one byte short.
    const size_t tail = 4 + 1 + 8 + 1 + 8 + 160 + 4 + 4 + 5;
    for (size_t n : {size_t{5}, size_t{30}, bytes.size() / 2, bytes.size() - tail + 2,
                     bytes.size() - 100, bytes.size() - 6, bytes.size() - 1}) {
        SCOPED_TRACE(n);
        WriteFile(damaged, bytes.substr(0, n));
        for (bool append : {false, true}) {
            try {
                form->LoadProjectFromFile(damaged, append);
                ADD_FAILURE() << "read";
            } catch (const EDocumentFile& e) {
                EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
                EXPECT_EQ(e.FileName, damaged);
            }
        }
        ASSERT_EQ(form->DocBox->PageCount(), 1);
        ASSERT_EQ(form->DocBox->GetPage(0), page);
        ASSERT_EQ(Tabs(*form), std::vector<std::string>{"Documento 1"});
        ASSERT_EQ(AttributiProve(), styles);
        ASSERT_EQ(form->MappingList.Count(), 1);
        ASSERT_EQ(form->Databuffer->LabelTable.Count(), 1);
        ASSERT_EQ(form->Databuffer->ProvaCount(), 1);
        ASSERT_FALSE(form->Loading);
    }
    // Whole, it reads.
    WriteFile(damaged, bytes);
    form->LoadProjectFromFile(damaged, false);
    EXPECT_EQ(form->DocBox->PageCount(), 2);
}

TEST_F(DocumentTest, AProjectWithoutPagesIsRefusedInPlaceOfTheDocumentButMayBeImported) {
    auto empty = NewDocument("", {});
    empty->DocBox->ClearPages();
    const std::string project = base_.File("empty.CPF");
    empty->SaveProjectToFile(project);

    auto form = NewDocument("", {});
    try {
        form->LoadProjectFromFile(project, false);
        ADD_FAILURE();
    } catch (const EDocumentFile& e) {
        EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
    }
    EXPECT_EQ(form->DocBox->PageCount(), 1);
    form->LoadProjectFromFile(project, true);
    EXPECT_EQ(form->DocBox->PageCount(), 1);
}

TEST_F(DocumentTest, ADocumentReopensWithItsTestsPagesAndStyles) {
    FormatSettings().DecimalSeparator = ',';
    auto form = NewDocument(SampleProject(), {TestFile("A1.txt")});
    AttributiProve().Record(2).Color = 0x00112233;
    const TAttributiProve styles = AttributiProve();
    const std::string file = base_.File("d.VRX");
    form->SaveDocumentToFile(file);
    AttributiProve().SetDefaults();

    TMemoryStream stream(ReadFile(file));
    auto opened = std::make_unique<TDocForm>();
    opened->DocBox = std::make_unique<TDocBox>();
    ReadDocumentHeader(stream, *opened->Databuffer, file);
    opened->LoadPages(stream, false, file);
    EXPECT_EQ(stream.Remaining(), 0);
    EXPECT_EQ(AttributiProve(), styles);
    ASSERT_EQ(opened->Databuffer->ProvaCount(), 1);
    EXPECT_EQ(opened->Databuffer->GetProva(0).GetChannel(0).GetFloat(1), 2.5);
    EXPECT_EQ(Tabs(*opened), (std::vector<std::string>{"Forze", "Tabella"}));
    EXPECT_EQ(opened->DocBox->GetPage(1)->DataBuffer, opened->Databuffer.get());
    // The report's page changes reach the window.
    EXPECT_TRUE(static_cast<bool>(opened->DocBox->GetPage(1)->Report()->OnCurrentPageChange));
}

TEST_F(DocumentTest, PagesCutShortLeaveTheDocumentAsItWas) {
    auto source = NewDocument(SampleProject(), {});
    TMemoryStream pages;
    WritePages(pages, source->Pages());
    auto form = NewDocument("", {});
    TWPPage* const page = form->DocBox->GetPage(0);
    for (size_t n : {size_t{0}, size_t{3}, size_t{40}, pages.Bytes().size() - 1}) {
        SCOPED_TRACE(n);
        TMemoryStream cut(pages.Bytes().substr(0, n));
        try {
            form->LoadPages(cut, false, "d.VRX");
            ADD_FAILURE() << "read";
        } catch (const EDocumentFile& e) {
            EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
            EXPECT_EQ(e.FileName, "d.VRX");
        }
        ASSERT_EQ(form->DocBox->PageCount(), 1);
        EXPECT_EQ(form->DocBox->GetPage(0), page);
        EXPECT_EQ(Tabs(*form), std::vector<std::string>{"Documento 1"});
        EXPECT_FALSE(form->Loading);
    }
    pages.SetPosition(0);
    form->LoadPages(pages, false, "d.VRX");
    EXPECT_EQ(Tabs(*form), (std::vector<std::string>{"Forze", "Tabella"}));
}

TEST_F(DocumentTest, TheConvertersDocumentIsTheWindowsUpToTheZoom) {
    const std::string project = SampleProject();
    const std::string test = TestFile("A1.txt");

    auto form = NewDocument(project, {test});
    ProcessMessages();
    form->SaveDocumentToFile(base_.File("w.VRX"));

    TDocmaster master;
    TStringList files;
    files.Add(test);
    master.LoadProject(project, files);
    master.LoadProject(base_.File("other.CPF"), files);
    ProcessMessages();
    master.SaveDocument(base_.File("m.VRX"));

    const std::string w = ReadFile(base_.File("w.VRX"));
    const std::string m = ReadFile(base_.File("m.VRX"));
    ASSERT_EQ(w.size(), m.size());
    TMemoryStream stream(w);
    TDatabuffer buffer;
    ReadDocumentHeader(stream, buffer, "w.VRX");
    std::vector<int64_t> zooms;
    for (int64_t pages = stream.ReadI32(); pages > 0; --pages) {
        zooms.push_back(stream.Position() + 2);
        TWPPage(nullptr).LoadFromStream(stream);
    }
    ASSERT_EQ(zooms.size(), 2u);
    for (size_t i = 0; i < w.size(); ++i)
        if (w[i] != m[i]) {
            const bool inZoom = std::any_of(zooms.begin(), zooms.end(), [&](int64_t z) {
                return static_cast<int64_t>(i) >= z && static_cast<int64_t>(i) < z + 4;
            });
            EXPECT_TRUE(inZoom) << "byte " << i;
        }

    for (const char* name : {"w.VRX", "m.VRX"}) {
        TMemoryStream s(ReadFile(base_.File(name)));
        auto opened = std::make_unique<TDocForm>();
        ReadDocumentHeader(s, *opened->Databuffer, name);
        opened->LoadPages(s, false, name);
        EXPECT_EQ(Tabs(*opened), (std::vector<std::string>{"Forze", "Tabella"}));
        EXPECT_EQ(opened->Databuffer->GetProva(0).FileName, test);
    }
}

TEST_F(DocumentTest, TheConverterMakesAnEmptyGraphPageOfANonProject) {
    const std::string test = TestFile("A1.txt");
    WriteFile(base_.File("x.CPF"), "\x10"
                                   "Doc_Version_0.82");
    TStringList files;
    files.Add(test);
    TDocmaster master;
    master.LoadProject(base_.File("x.CPF"), files);
    ASSERT_EQ(master.DocBox()->PageCount(), 1);
    EXPECT_EQ(master.DocBox()->GetPage(0)->PAGEKIND(), PK_GRAPHIC);
    EXPECT_EQ(master.Databuffer().ProvaCount(), 1);
}

TEST_F(DocumentTest, SaveDialogsChangeTheExtensionAndRememberTheFolder) {
    auto form = NewDocument(SampleProject(), {TestFile("A1.txt")});
    ForceDirectories(BasePath + "x");
    ui_.SaveAnswers.push_back(BasePath + "x/rep.txt");
    form->SalvaDocumento1Click(nullptr);
    ASSERT_EQ(ui_.Requests().size(), 1u);
    EXPECT_EQ(ui_.Requests()[0].Filter, "Config files (*.VRX)|*.VRX");
    EXPECT_EQ(ui_.Requests()[0].DefaultExt, "VRX");
    EXPECT_TRUE(FileExists(BasePath + "x/rep.VRX"));
    EXPECT_FALSE(FileExists(BasePath + "x/rep.txt"));
    std::string last;
    ReadKolmVar(BasePath, "Kolm Path", "Last doc path", last);
    EXPECT_EQ(last, BasePath + "x/");

    // The next save starts there.
    form->SalvaDocumento1Click(nullptr);
    EXPECT_EQ(ui_.Requests()[1].InitialDir, BasePath + "x/");

    form->DocumentName = "prova";
    ui_.SaveAnswers.push_back(BasePath + "Configurazioni/q");
    form->SalvaConfigurazione1Click(nullptr);
    EXPECT_EQ(ui_.Requests()[2].Filter, "Config files (*.CPF)|*.CPF");
    EXPECT_EQ(ui_.Requests()[2].InitialDir, BasePath + "Configurazioni/");
    EXPECT_EQ(ui_.Requests()[2].FileName, "prova");
    EXPECT_TRUE(FileExists(BasePath + "Configurazioni/q.CPF"));
    EXPECT_TRUE(ui_.Messages.empty());
}

TEST_F(DocumentTest, FailedFileCommandsSayWhyAndChangeNothing) {
    auto form = NewDocument("", {TestFile("A1.txt")});
    WriteFile(base_.File("n.CPF"), "\x10"
                                   "Doc_Version_0.82");
    WriteFile(base_.File("v.CPF"), "\x0F"
                                   "Cfg_Version_0.x");
    WriteFile(base_.File("d.CPF"), "\x10"
                                   "Cfg_Version_0.83\x01");
    WriteFile(base_.File("t.CPF"), "Tempo\tForza\r\n0\t1\r\n");
    struct Case {
        const char* file;
        const char* text;
        std::string place;
    };
    // A damaged file also says where reading stopped and why: here the page count is cut.
    for (const Case& c : {Case{"n.CPF", "Il file non \xE8 una configurazione: ", ""},
                          Case{"v.CPF", "Versione del file non supportata: ", ""},
                          Case{"d.CPF", "File danneggiato o incompleto: ",
                               "\r\nLettura interrotta al byte 18: Stream read error"},
                          Case{"t.CPF", "File danneggiato o incompleto: ",
                               "\r\nLettura interrotta al byte 1: Stream read error"},
                          Case{"gone.CPF", "File danneggiato o incompleto: ",
                               "\r\nCannot open file \"" + base_.File("gone.CPF") +
                                   "\". No such file or directory"}}) {
        ui_.Messages.clear();
        ui_.OpenAnswers.push_back({base_.File(c.file)});
        form->CaricaConfigurazione1Click(nullptr);
        ASSERT_EQ(ui_.Messages.size(), 1u);
        EXPECT_EQ(ui_.Messages[0].Text, c.text + base_.File(c.file) + c.place);
        EXPECT_EQ(Tabs(*form), std::vector<std::string>{"Documento 1"});
        EXPECT_FALSE(form->Modified());
    }
    EXPECT_EQ(ui_.Requests()[0].Filter, "Config files (*.CPF)|*.CPF");

    // A text file offered as a graph file: the graph stays as it was.
    WriteFile(base_.File("t.CGF"), "Tempo\tForza\r\n0\t1\r\n");
    const std::string graphBefore = PageBytes(*form->DocBox->GetPage(0));
    ui_.Messages.clear();
    ui_.OpenAnswers.push_back({base_.File("t.CGF")});
    form->ApriGrafico1Click(nullptr);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text.rfind("File danneggiato o incompleto: " + base_.File("t.CGF") +
                                             "\r\nLettura interrotta al byte ",
                                         0),
              0u)
        << ui_.Messages[0].Text;
    EXPECT_EQ(PageBytes(*form->DocBox->GetPage(0)), graphBefore);
    EXPECT_FALSE(form->Modified());

    ui_.Messages.clear();
    ui_.SaveAnswers.push_back(base_.File("none/d.VRX"));
    form->SalvaDocumento1Click(nullptr);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text, "Impossibile salvare il file: " + base_.File("none/d.VRX") +
                                        "\r\nfile o cartella inesistente");
}

TEST_F(DocumentTest, GraphCommandsDoNothingOnAPageWithoutGraph) {
    auto form = NewDocument("", {});
    form->DocBox->GetPage(0)->SetPageKind(PK_REPORT);
    ui_.SaveAnswers.push_back(base_.File("g.CGF"));
    form->SalvaGrafico1Click(nullptr);
    form->ApriGrafico1Click(nullptr);
    EXPECT_TRUE(ui_.Requests().empty());
    EXPECT_FALSE(FileExists(base_.File("g.CGF")));
}

TEST_F(DocumentTest, FileMD5) {
    WriteFile(base_.File("abc"), "abc");
    WriteFile(base_.File("empty"), "");
    EXPECT_EQ(TDocForm::FileMD5(base_.File("abc")), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(TDocForm::FileMD5(base_.File("empty")), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_THROW(TDocForm::FileMD5(base_.File("missing")), EFOpenError);
}

TEST_F(DocumentTest, TheHashCheckComparesWithItsFirstResult) {
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly);
        DeleteFile(BasePath + "bin/TMPDEFFILEHASH.TMP");
        chmod((BasePath + "bin").c_str(), readOnly ? 0555 : 0755);
        auto form = NewDocument(SampleProject(), {TestFile("A1.txt")});
        ui_.Messages.clear();
        form->VerificaHASH1Click(nullptr);
        EXPECT_TRUE(ui_.Messages.empty());
        const std::string first = form->DefinitionHash;
        EXPECT_EQ(first.size(), 32u);
        if (!readOnly) {
            EXPECT_EQ(TDocForm::FileMD5(BasePath + "bin/TMPDEFFILEHASH.TMP"), first);
        }
        form->VerificaHASH1Click(nullptr);
        form->DocBox->GetPage(1)->pagename = "Altro";
        form->VerificaHASH1Click(nullptr);
        form->DocBox->GetPage(1)->pagename = "Tabella";
        form->VerificaHASH1Click(nullptr);
        ASSERT_EQ(ui_.Messages.size(), 3u);
        EXPECT_EQ(ui_.Messages[0].Text, "Uguale!");
        EXPECT_EQ(ui_.Messages[1].Text, "Modificato!");
        EXPECT_EQ(ui_.Messages[2].Text, "Uguale!");
        EXPECT_EQ(form->DefinitionHash, first);
    }
    chmod((BasePath + "bin").c_str(), 0755);
}

} // namespace vx::test

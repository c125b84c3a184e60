#include "document/Document.h"
#include "document/DocumentDialogs.h"
#include "document/DocumentFiles.h"
#include "document/Tform_var_rif.h"
#include "document/defreprt.h"
#include "document/parambox.h"

#include "DocumentFixture.h"
#include "PaletteHooks.h"
#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/QtPrinter.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Timer.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/UpDown.h"
#include "report/DocBox.h"
#include "report/EditorHooks.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"
#include "report/view/DocBoxView.h"
#include "report/view/PageView.h"
#include "report/wpreport.h"
#include "support/DragTestSupport.h"
#include "support/FormTestSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vx::test {
namespace {

// Windows go as the main window frees those still open: deleted directly, not closed.
struct FormDeleter {
    void operator()(TDocForm* form) const { delete form; }
};
using FormPtr = std::unique_ptr<TDocForm, FormDeleter>;

class DocumentWindowTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        SetFixedTextMetrics(true);
        BasePath = dir.Path();
        ForceDirectories(BasePath + "System");
        CreateSTRGlobData();
    }
    void TearDown() override {
        forms.clear();
        FreeSTRGlobData();
        BasePath.clear();
        SetFixedTextMetrics(false);
        SetClock(nullptr);
        if (PrinterIndex() >= 0)
            Printer().SetOrientation(poPortrait);
        DocumentFixture::TearDown();
    }

    static void SetLanguage(int language) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
    }

    // A window with a new document of one graph page, its view 1000 x 700.
    TDocForm* NewWindow() {
        forms.emplace_back(CreateForm<TDocForm>());
        TDocForm* form = forms.back().get();
        form->resize(1000, 780);
        form->NewDocument("", {});
        return form;
    }

    // Adds a page through the new-page dialog as a user would.
    void AddPage(TDocForm* form, int kind, const std::string& name,
                 TPrinterOrientation orientation = poPortrait) {
        ui.ModalHook = [&](QObject* o) {
            auto* dialog = qobject_cast<Tnewpagedlg*>(o);
            if (!dialog)
                return mrCancel;
            dialog->RadioGroup1->SetItemIndex(kind);
            dialog->Edit1->SetText(ToQString(name));
            return mrOk;
        };
        form->NewPage();
        ui.ModalHook = nullptr;
        form->DocBox->GetPage(form->DocBox->PageCount() - 1)->printerorientation = orientation;
    }

    // A report of `rows` numbered rows on the page.
    void FillReport(TWPPage* page, int rows) {
        TdataProva& test = page->DataBuffer->AddProva(2);
        test.ChannelNames.Add("Ch0");
        test.Units.Add("U0");
        for (int i = 1; i <= rows; ++i)
            test.GetChannel(0).AddText(std::to_string(i));
        TWPReport& r = *page->Report();
        r.SetGroupCount(1);
        r.SetChannelCount(0, 1);
        r.GetChannel(0, 0)->Prova = 0;
        r.GetChannel(0, 0)->Canale = 0;
    }

    // Paginates the shown report page as its paints do.
    static void Settle(TWPPage* page) {
        for (int i = 0; i < 3; ++i) {
            page->Paint();
            if (page->Report())
                page->Report()->Paint();
        }
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : scoped.ui.Messages)
            texts.push_back(m.Text);
        return texts;
    }

    VirtualPrinter& Virtual() { return dynamic_cast<VirtualPrinter&>(Printer()); }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    std::vector<FormPtr> forms;
};

TEST_F(DocumentWindowTest, ComponentsStandAsNamed) {
    TDocForm* form = NewWindow();
    for (int i = 1; i <= 21; ++i)
        EXPECT_NE(form->findChild<TSpeedButton*>("SpeedButton" + QString::number(i)), nullptr) << i;
    EXPECT_EQ(form->ComboBox1->Items(),
              (QStringList{"25 %", "50 %", "75 %", "100 %", "150 %", "200 %"}));
    EXPECT_TRUE(form->Panel4->isHidden());
    EXPECT_TRUE(form->Panel5->isHidden());
    EXPECT_EQ(form->UpDown1->Min(), 1);
    EXPECT_EQ(form->Panel3->Caption(), "Pagina: 1/1");
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 1000u);
    EXPECT_EQ(form->elencopagine->parentWidget(), form->Panel2);
    for (TMenuItem* item : form->MainMenu1->ShownItems())
        EXPECT_EQ(item->GroupIndex(), 1) << item->objectName().toStdString();
    EXPECT_EQ(form->MenuItem("Chiudi1")->Caption(), "Chiudi");
    SetLanguage(2);
    EXPECT_EQ(form->MenuItem("Chiudi1")->Caption(), "Close");
    EXPECT_EQ(form->SpeedButton(5)->Hint(), "Zoom in");
}

TEST_F(DocumentWindowTest, ZoomButtonsAndList) {
    TDocForm* form = NewWindow();
    struct Case {
        int button;
        uint32_t from, to;
    };
    const Case cases[] = {{5, 185, 195}, {5, 190, 200}, {5, 195, 200}, {5, 200, 200},
                          {6, 35, 25},   {6, 36, 26},   {6, 25, 25},   {6, 100, 90}};
    for (const Case& c : cases) {
        form->DocBox->SetZoomPercent(c.from);
        form->SpeedButton(c.button)->Click();
        EXPECT_EQ(form->DocBox->GetZoomPercent(), c.to) << c.button << " from " << c.from;
    }
    form->DocBox->SetZoomPercent(60);
    form->ComboBox1->SetItemIndex(4);
    form->ComboBox1Change(form->ComboBox1);
    EXPECT_EQ(form->DocBox->GetZoomPercent(), 150u);
    form->ComboBox1->SetItemIndex(-1);
    form->ComboBox1Change(form->ComboBox1);
    EXPECT_EQ(form->DocBox->GetZoomPercent(), 150u);
}

TEST_F(DocumentWindowTest, PrintPagesSplitsJobsAtOrientationChanges) {
    TDocForm* form = NewWindow();
    form->Databuffer->FileNames.Add("/data/Bench_04.rev2.txt");
    form->DocBox->GetPage(0)->pagename = "P1";
    AddPage(form, 0, "P2", poLandscape);
    AddPage(form, 0, "P3", poLandscape);
    // Info lines give every sheet something to draw.
    for (TWPPage* page : form->Pages())
        page->informazioni_up = "&\"" + page->pagename + "\"l";
    form->show();
    form->elencopagine->SetTabIndex(1);
    ProcessMessages();
    Virtual().ClearJobs();

    // Every wait processes messages: a zero timer sees what the progress bar showed.
    std::vector<std::pair<std::string, int>> shown;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (form->Panel5->isHidden())
            return;
        std::pair<std::string, int> now{form->Label1->Caption().toStdString(),
                                        form->ProgressBar1->Max()};
        if (shown.empty() || shown.back() != now)
            shown.push_back(now);
    });
    watch.start();
    form->PrintPages(0, 0);
    watch.stop();

    const auto& jobs = Virtual().Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].Title, "Bench_04");
    EXPECT_EQ(jobs[0].Orientation, poPortrait);
    EXPECT_EQ(jobs[0].Pages.size(), 1u);
    EXPECT_EQ(jobs[1].Title, "Bench_04_P2");
    EXPECT_EQ(jobs[1].Orientation, poLandscape);
    EXPECT_EQ(jobs[1].Pages.size(), 2u);
    ASSERT_EQ(Virtual().Batches().size(), 1u);
    EXPECT_EQ(Virtual().Batches()[0].JobCount, 2u);
    EXPECT_TRUE(Virtual().Batches()[0].Committed);
    for (const auto& job : jobs)
        for (const Metafile& sheet : job.Pages) {
            const MetafileData& d = *sheet.Data();
            bool drawn = false;
            for (const MetaRecord& r : d.Records) {
                if (r.Kind == MetaRecordKind::DrawMetafile)
                    drawn = drawn || (d.Ints[r.Offset] == -100 && d.Ints[r.Offset + 1] == -100);
            }
            EXPECT_TRUE(drawn) << job.Title;
        }
    const std::vector<std::pair<std::string, int>> expected{{"Operazioni preliminari:", 2},
                                                            {"Stampa:", 3}};
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(form->Panel5->isHidden());
    EXPECT_EQ(form->elencopagine->TabIndex(), 1);
    EXPECT_EQ(form->DocBox->CurrentIndex(), 1);

    Virtual().ClearJobs();
    form->PrintPages(3, 2);
    EXPECT_TRUE(Virtual().Jobs().empty());
    // An end past the last page is the last page.
    form->PrintPages(3, 9);
    ASSERT_EQ(Virtual().Jobs().size(), 1u);
    EXPECT_EQ(Virtual().Jobs()[0].Pages.size(), 1u);
}

TEST_F(DocumentWindowTest, PagesWithoutSheetsPrintOneBlankSheet) {
    TDocForm* form = NewWindow();
    AddPage(form, 2, "PRO");
    Virtual().ClearJobs();
    form->PrintPages(2, 2);
    ASSERT_EQ(Virtual().Jobs().size(), 1u);
    ASSERT_EQ(Virtual().Jobs()[0].Pages.size(), 1u);
    EXPECT_TRUE(Virtual().Jobs()[0].Pages[0].Empty());
}

TEST_F(DocumentWindowTest, PrintTitleWithoutDataFilesIsDated) {
    SetClock([] { return EncodeDate(2026, 12, 10) + EncodeTime(8, 30, 0, 0); });
    TDocForm* form = NewWindow();
    Virtual().ClearJobs();
    form->PrintPages(1, 1);
    ASSERT_EQ(Virtual().Jobs().size(), 1u);
    EXPECT_EQ(Virtual().Jobs()[0].Title, "Vornix document 10/12/2026 08:30");
}

TEST_F(DocumentWindowTest, DeletingPages) {
    TDocForm* form = NewWindow();
    form->DeletePageAsking();
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Un documento deve contenere almeno una pagina!"}));
    EXPECT_EQ(form->DocBox->PageCount(), 1);

    for (int i = 2; i <= 5; ++i)
        AddPage(form, 0, "P" + std::to_string(i));
    struct Case {
        int language;
        int answer;
        const char* question;
        int pagesAfter;
    };
    const Case cases[] = {
        {1, mrNo,
         "Attenzione vuoi eliminare la pagina selezionata?\r\nL'operazione sarà irreversibile!", 5},
        {2, mrNo, "Do you really want to delete the selected page?\r\nThis cannot be undone!", 5},
        {1, mrYes,
         "Attenzione vuoi eliminare la pagina selezionata?\r\nL'operazione sarà irreversibile!", 4},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        form->elencopagine->SetTabIndex(3);
        ui.Messages.clear();
        ui.MessageAnswers = {c.answer};
        form->DeletePageAsking();
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Text, Utf8ToCp1252(c.question));
        EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
        EXPECT_EQ(form->DocBox->PageCount(), c.pagesAfter);
        EXPECT_EQ(form->elencopagine->count(), c.pagesAfter);
    }
    EXPECT_EQ(form->DocBox->CurrentIndex(), 0);
    EXPECT_EQ(form->DocBox->ShownPage(), form->DocBox->GetPage(0));
    EXPECT_EQ(form->elencopagine->Tabs(), (QStringList{"Documento 1", "P2", "P3", "P5"}));
}

TEST_F(DocumentWindowTest, NewPageProposesANameAndAddsTheChosenKind) {
    TDocForm* form = NewWindow();
    std::string proposed;
    ui.ModalHook = [&](QObject* o) {
        proposed = Utf8ToCp1252(qobject_cast<Tnewpagedlg*>(o)->Edit1->Text().toStdString());
        return mrCancel;
    };
    form->NewPage();
    EXPECT_EQ(proposed, "Pagina 2");
    SetLanguage(2);
    form->NewPage();
    EXPECT_EQ(proposed, "Page 2");
    EXPECT_EQ(form->DocBox->PageCount(), 1);
    SetLanguage(1);

    ui.ModalHook = [](QObject* o) {
        qobject_cast<Tnewpagedlg*>(o)->RadioGroup1->SetItemIndex(-1);
        return mrOk;
    };
    form->NewPage();
    EXPECT_EQ(form->DocBox->PageCount(), 1) << "no kind chosen adds nothing";

    AddPage(form, 1, "R1");
    ASSERT_EQ(form->DocBox->PageCount(), 2);
    TWPPage* page = form->DocBox->GetPage(1);
    EXPECT_EQ(page->PAGEKIND(), PK_REPORT);
    EXPECT_EQ(page->pagename, "R1");
    EXPECT_EQ(page->DataBuffer, form->Databuffer.get());
    EXPECT_EQ(form->elencopagine->TabIndex(), 1);
    EXPECT_EQ(form->DocBox->ShownPage(), page);
    EXPECT_FALSE(form->Panel4->isHidden());
    EXPECT_TRUE(form->SpeedButton(17)->isEnabled());
    EXPECT_TRUE(form->MenuItem("ProprietReport1")->isVisible());
    EXPECT_FALSE(form->MenuItem("Grafico2")->isVisible());
    EXPECT_FALSE(form->MenuItem("SalvaGrafico1")->isVisible());
    EXPECT_FALSE(form->SpeedButton(20)->isEnabled());

    form->elencopagine->SetTabIndex(0);
    EXPECT_TRUE(form->Panel4->isHidden()) << "a graph page hides the navigator";
    EXPECT_FALSE(form->SpeedButton(17)->isEnabled());
    EXPECT_TRUE(form->MenuItem("Grafico2")->isVisible());

    AddPage(form, 0, std::string(300, 'n'));
    EXPECT_EQ(form->DocBox->GetPage(2)->pagename, std::string(255, 'n'));
}

TEST_F(DocumentWindowTest, RenamingAPage) {
    TDocForm* form = NewWindow();
    AddPage(form, 0, "Due");
    AddPage(form, 0, "Tre");
    QString caption;
    bool groupShown = true;
    QString name;
    ui.ModalHook = [&](QObject* o) {
        auto* dialog = qobject_cast<Tnewpagedlg*>(o);
        caption = dialog->Caption();
        groupShown = !dialog->RadioGroup1->isHidden();
        name = dialog->Edit1->Text();
        dialog->Edit1->SetText("Nuovo");
        return mrOk;
    };
    form->show();
    QApplication::processEvents();
    const QPoint tab2 = form->elencopagine->tabRect(2).center();
    QTest::mouseClick(form->elencopagine, Qt::RightButton, {}, tab2);
    EXPECT_EQ(caption, "Rinomina Documento");
    EXPECT_FALSE(groupShown);
    EXPECT_EQ(name, "Tre");
    EXPECT_EQ(form->DocBox->GetPage(2)->pagename, "Nuovo");
    EXPECT_EQ(form->elencopagine->Tabs()[2], "Nuovo");

    ui.ModalHook = [](QObject*) {
        ADD_FAILURE() << "no dialog beyond the last page";
        return mrCancel;
    };
    form->RenamePage(3);
    form->RenamePage(-1);
}

TEST_F(DocumentWindowTest, ReportNavigator) {
    TDocForm* form = NewWindow();
    AddPage(form, 1, "R");
    TWPPage* page = form->DocBox->GetCurrentPage();
    TWPReport* report = page->Report();
    EXPECT_FALSE(form->Panel4->isEnabled()) << "no rendered sheets";

    FillReport(page, 480);
    Settle(page);
    const int count = report->PageCount();
    ASSERT_GE(count, 5);
    report->SetCurrentPage(1);
    form->ReportPageChanged(report);
    const std::string total = "/" + std::to_string(count);
    EXPECT_TRUE(form->Panel4->isEnabled());
    EXPECT_EQ(form->Panel3->Caption().toStdString(), "Pagina: 2" + total);
    EXPECT_EQ(form->UpDown1->Max(), count);

    struct Case {
        const char* typed;
        std::string shown;
    };
    const Case cases[] = {{"3", "Pagina: 3" + total},
                          {"x", "Pagina: 3" + total},
                          {"99", "Pagina: 3" + total},
                          {"0", "Pagina: 3" + total}};
    for (const Case& c : cases) {
        form->Edit1->SetText(c.typed);
        QTest::keyClick(form->Edit1, Qt::Key_Return);
        EXPECT_EQ(form->Panel3->Caption().toStdString(), c.shown) << c.typed;
    }
    EXPECT_EQ(report->CurrentPage(), 2);
    form->SpeedButton(19)->Click();
    EXPECT_EQ(form->Panel3->Caption().toStdString(), "Pagina: 1" + total);
    form->SpeedButton(18)->Click();
    EXPECT_EQ(form->Panel3->Caption().toStdString(), "Pagina: " + std::to_string(count) + total);
    form->UpDown1->Step(-1);
    EXPECT_EQ(report->CurrentPage(), count - 2);

    // Paginated again to fewer sheets, the current sheet becomes the last.
    report->SetCurrentPage(count - 1);
    page->DataBuffer->GetProva(0).GetChannel(0).SetCount(10);
    form->InvalidatePage();
    Settle(page);
    const int fewer = report->PageCount();
    ASSERT_LT(fewer, count);
    form->ReportPageChanged(report);
    EXPECT_EQ(form->Panel3->Caption().toStdString(),
              "Pagina: " + std::to_string(fewer) + "/" + std::to_string(fewer));
}

TEST_F(DocumentWindowTest, PrintCurrentPageAsksThePrintDialog) {
    TDocForm* form = NewWindow();
    ui.PrintHook = [](PrintDialogRequest&) { return false; };
    form->PrintCurrentPage();
    ASSERT_EQ(ui.PrintRequests.size(), 1u);
    const PrintDialogRequest& graph = ui.PrintRequests[0];
    EXPECT_EQ(std::vector<int>({graph.MinPage, graph.FromPage, graph.MaxPage, graph.ToPage}),
              std::vector<int>({1, 1, 1, 1}));
    EXPECT_FALSE(form->Timer1->Enabled());

    AddPage(form, 1, "R");
    TWPPage* page = form->DocBox->GetCurrentPage();
    FillReport(page, 480);
    Settle(page);
    const int count = page->Report()->PageCount();
    struct Case {
        TPrintRange range;
        int from, to;
        size_t sheets;
    };
    const Case cases[] = {{TPrintRange::prPageNums, 2, 3, 2},
                          {TPrintRange::prSelection, 1, 1, 1},
                          {TPrintRange::prAllPages, 1, 1, static_cast<size_t>(count)}};
    for (const Case& c : cases) {
        ui.PrintRequests.clear();
        ui.PrintHook = [&](PrintDialogRequest& r) {
            r.PrintRange = c.range;
            r.FromPage = c.from;
            r.ToPage = c.to;
            return true;
        };
        form->PrintCurrentPage();
        ASSERT_EQ(ui.PrintRequests.size(), 1u);
        EXPECT_EQ(ui.PrintRequests[0].MinPage, 1);
        EXPECT_EQ(ui.PrintRequests[0].FromPage, 1);
        EXPECT_EQ(ui.PrintRequests[0].MaxPage, count);
        EXPECT_EQ(ui.PrintRequests[0].ToPage, count);
        EXPECT_TRUE(form->Timer1->Enabled());
        Virtual().ClearJobs();
        form->Timer1->OnTimer(form->Timer1);
        EXPECT_FALSE(form->Timer1->Enabled());
        ASSERT_EQ(Virtual().Jobs().size(), 1u);
        EXPECT_EQ(Virtual().Jobs()[0].Pages.size(), c.sheets);
    }

    ui.PrintRequests.clear();
    ui.PrintHook = [](PrintDialogRequest&) { return false; };
    form->PrintDocumentDialog();
    ASSERT_EQ(ui.PrintRequests.size(), 1u);
    EXPECT_EQ(ui.PrintRequests[0].FromPage, 1);
    EXPECT_EQ(ui.PrintRequests[0].ToPage, 2);
}

TEST_F(DocumentWindowTest, ExportNamesTheFileWithinItsName) {
    TDocForm* form = NewWindow();
    const std::string base = dir.Path();
    ForceDirectories(base + "o.d");
    struct Case {
        std::string chosen, written;
    };
    const Case cases[] = {{base + "pic", base + "pic.WMF"},
                          {base + "a.b.emf", base + "a.WMF"},
                          {base + "o.d/p.emf", base + "o.d/p.WMF"}};
    for (const Case& c : cases) {
        ui.SaveAnswers = {c.chosen};
        form->SpeedButton(8)->Click();
        ASSERT_TRUE(FileExists(c.written)) << c.chosen;
        // An enhanced metafile starts with EMR_HEADER, record type 1.
        EXPECT_EQ(ReadFile(c.written).substr(0, 4), std::string("\x01\0\0\0", 4));
    }
    EXPECT_FALSE(FileExists(base + "o.WMF"));

    // A file that exists is replaced only when the user agrees.
    WriteFile(base + "keep.WMF", "old");
    ui.SaveAnswers = {base + "keep.WMF"};
    ui.MessageAnswers = {mrNo};
    form->SpeedButton(8)->Click();
    EXPECT_EQ(ReadFile(base + "keep.WMF"), "old");
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text,
              Utf8ToCp1252("Il file " + base + "keep.WMF esiste già. Sostituirlo?"));

    // Named otherwise, the file that would be written is the one asked about.
    ui.Messages.clear();
    ui.SaveAnswers = {base + "keep.emf"};
    ui.MessageAnswers = {mrNo};
    form->SpeedButton(8)->Click();
    EXPECT_EQ(ReadFile(base + "keep.WMF"), "old");
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text,
              Utf8ToCp1252("Il file " + base + "keep.WMF esiste già. Sostituirlo?"));
    EXPECT_FALSE(FileExists(base + "keep.emf"));
}

TEST_F(DocumentWindowTest, MarginsOfThePageOrOfEveryPage) {
    TDocForm* form = NewWindow();
    AddPage(form, 0, "P2");
    std::vector<int> opened;
    auto answer = [&](int top, int left, int right, int bottom) {
        ui.ModalHook = [&opened, top, left, right, bottom](QObject* o) {
            auto* d = qobject_cast<Tdef_margini*>(o);
            opened = {d->SpinEdit1->Value(), d->SpinEdit2->Value(), d->SpinEdit3->Value(),
                      d->SpinEdit4->Value()};
            d->SpinEdit1->setValue(top);
            d->SpinEdit2->setValue(left);
            d->SpinEdit3->setValue(right);
            d->SpinEdit4->setValue(bottom);
            return mrOk;
        };
    };
    auto margins = [](TWPPage* p) {
        return std::vector<int>{p->MarginTop, p->MarginLeft, p->MarginRight, p->MarginBottom};
    };
    answer(15, 20, 5, 12);
    form->MenuItem("Marginipagina1")->Click();
    EXPECT_EQ(opened, (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(margins(form->DocBox->GetPage(1)), (std::vector<int>{15, 20, 5, 12}));
    EXPECT_EQ(margins(form->DocBox->GetPage(0)), (std::vector<int>{10, 10, 10, 10}));

    answer(600, 0, -3, 7);
    form->MenuItem("Impostamarginipagina1")->Click();
    EXPECT_EQ(opened, (std::vector<int>{15, 20, 5, 12}));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(margins(form->DocBox->GetPage(i)), (std::vector<int>{500, 0, 0, 7})) << i;
}

TEST_F(DocumentWindowTest, MarginsDialogIsCentredOnItsWindowAndAnswersEnterAndEscape) {
    TDocForm* form = NewWindow();
    form->move(120, 80);
    form->show();
    const QPoint centre = form->mapToGlobal(form->rect().center());
    struct Case {
        Qt::Key Key;
        int Top;
    };
    // Escape keeps the margins; Enter takes the value typed.
    for (const Case& c : {Case{Qt::Key_Escape, 10}, Case{Qt::Key_Return, 33}}) {
        ui.ModalHook = [&](QObject* o) {
            auto* d = qobject_cast<Tdef_margini*>(o);
            EXPECT_NE(d, nullptr);
            if (!d)
                return mrCancel;
            QTimer::singleShot(0, d, [&, d] {
                EXPECT_EQ(d->parentWidget(), form);
                EXPECT_TRUE(d->windowFlags() & Qt::Dialog);
                EXPECT_FALSE(d->windowFlags() & Qt::WindowMinimizeButtonHint);
                EXPECT_FALSE(d->windowFlags() & Qt::WindowMaximizeButtonHint);
                const QPoint shown = QRect(d->pos(), d->size()).center();
                EXPECT_LE((shown - centre).manhattanLength(), 4) << shown.x() << "," << shown.y();
                d->SpinEdit1->setFocus();
                d->SpinEdit1->selectAll();
                QTest::keyClicks(d->SpinEdit1, "33");
                QTest::keyClick(d->SpinEdit1, c.Key);
            });
            return d->ExecModal();
        };
        form->MenuItem("Marginipagina1")->Click();
        EXPECT_EQ(form->DocBox->GetPage(0)->MarginTop, c.Top) << c.Key;
    }
}

TEST_F(DocumentWindowTest, EveryToolButtonShowsAPictureAndNoLetters) {
    TDocForm* form = NewWindow();
    for (auto* button : form->findChildren<TSpeedButton*>()) {
        const std::string name = button->objectName().toStdString();
        EXPECT_TRUE(button->Caption().isEmpty()) << name;
        if (!button->isVisibleTo(form) && button->parentWidget() == form->Panel1)
            continue; // kept for the stored layout, with no command here
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_FALSE(button->icon().pixmap(22, 22).isNull()) << name;
        EXPECT_FALSE(button->Hint().isEmpty()) << name;
    }
    // The menu items that do what a button does show its picture.
    for (const char* item : {"Marginipagina1", "Zoomallapagina1", "Grafico2", "Stampapagina1"})
        EXPECT_FALSE(form->MenuItem(item)->icon().isNull()) << item;
    EXPECT_FALSE(form->windowIcon().isNull());
}

TEST_F(DocumentWindowTest, AttributesOfThePageOrOfEveryPage) {
    TDocForm* form = NewWindow();
    AddPage(form, 0, "P2");
    TWPPage* current = form->DocBox->GetPage(1);
    current->informazioni_up = "su";
    current->informazioni_down = Utf8ToCp1252("giù");
    current->infofont().SetName("Arial");
    std::vector<std::string> seen;
    auto answer = [&](int result) {
        ui.ModalHook = [&seen, result](QObject* o) {
            auto* d = qobject_cast<Tfrm_dlg_attributi*>(o);
            seen = {Utf8ToCp1252(d->Edit1->Text().toStdString()),
                    Utf8ToCp1252(d->Edit2->Text().toStdString()), d->InfoFont().Name()};
            d->Edit1->SetText("alto");
            d->Edit2->SetText("basso");
            TFont font(d->InfoFont());
            font.SetName("Courier New");
            d->SetInfoFont(font);
            return result;
        };
    };
    answer(mrCancel);
    form->MenuItem("Attributipagina1")->Click();
    EXPECT_EQ(seen, (std::vector<std::string>{"su", Utf8ToCp1252("giù"), "Arial"}));
    EXPECT_EQ(current->informazioni_up, "su");

    answer(mrOk);
    form->MenuItem("Attributipagina1")->Click();
    EXPECT_EQ(current->informazioni_up, "alto");
    EXPECT_EQ(current->informazioni_down, "basso");
    EXPECT_EQ(current->infofont().Name(), "Courier New");
    EXPECT_EQ(form->DocBox->GetPage(0)->informazioni_up, "");

    form->MenuItem("Attributidocumento1")->Click();
    EXPECT_EQ(form->DocBox->GetPage(0)->informazioni_up, "alto");
    EXPECT_EQ(form->DocBox->GetPage(0)->infofont().Name(), "Courier New");
}

TEST_F(DocumentWindowTest, FontButtonOfTheAttributesDialog) {
    std::unique_ptr<Tfrm_dlg_attributi> dialog(CreateForm<Tfrm_dlg_attributi>());
    TFont font;
    font.SetName("Arial");
    font.SetSize(9);
    dialog->SetInfoFont(font);
    ui.FontHook = [](FontChoice& f) {
        f.Name = "Times New Roman";
        f.Size = 14;
        f.Bold = true;
        return true;
    };
    dialog->SpeedButton1->Click();
    ASSERT_EQ(ui.FontRequests.size(), 1u);
    EXPECT_EQ(ui.FontRequests[0].Name, "Arial");
    EXPECT_EQ(ui.FontRequests[0].Size, 9);
    EXPECT_EQ(dialog->InfoFont().Name(), "Times New Roman");
    EXPECT_EQ(dialog->InfoFont().Size(), 14);
    EXPECT_TRUE(dialog->InfoFont().Style().Contains(fsBold));
    EXPECT_EQ(dialog->Labfont->font().family(), "Times New Roman");
    ui.FontHook = [](FontChoice&) { return false; };
    dialog->SpeedButton1->Click();
    EXPECT_EQ(dialog->InfoFont().Name(), "Times New Roman");
}

TEST_F(DocumentWindowTest, DialogTextsInEachLanguage) {
    struct Case {
        int language;
        const char* newPage;
        const char* type;
        const char* margins;
        const char* attributes;
        const char* upper;
        const char* graph;
        const char* report;
    };
    const Case cases[] = {
        {1, "Nuova pagina", "Tipo pagina", "Definisci margini di stampa", "Attributi pagina",
         "Dicitura superiore:", "Grafico", "Report"},
        {2, "New page", "Page type", "Print margins", "Page attributes", "Upper line:", "Graph",
         "Report"},
        {3, "Neue Seite", "Seitentyp", "Druckränder", "Seitenattribute", "Obere Zeile:", "Diagramm",
         "Bericht"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        std::unique_ptr<Tnewpagedlg> page(CreateForm<Tnewpagedlg>());
        std::unique_ptr<Tdef_margini> margins(CreateForm<Tdef_margini>());
        std::unique_ptr<Tfrm_dlg_attributi> attributes(CreateForm<Tfrm_dlg_attributi>());
        EXPECT_EQ(page->Caption(), QString::fromUtf8(c.newPage));
        EXPECT_EQ(page->RadioGroup1->Caption(), QString::fromUtf8(c.type));
        ASSERT_EQ(page->RadioGroup1->Items().size(), 3);
        EXPECT_EQ(page->RadioGroup1->Items()[0], QString::fromUtf8(c.graph));
        EXPECT_EQ(page->RadioGroup1->Items()[1], QString::fromUtf8(c.report));
        EXPECT_EQ(page->RadioGroup1->Items()[2], QString::fromUtf8(c.report) + "-PRO");
        EXPECT_EQ(margins->Caption(), QString::fromUtf8(c.margins));
        EXPECT_TRUE(margins->Label1->Caption().contains("[mm]"));
        EXPECT_EQ(attributes->Caption(), QString::fromUtf8(c.attributes));
        EXPECT_EQ(attributes->Label1->Caption(), QString::fromUtf8(c.upper));
    }
}

TEST_F(DocumentWindowTest, HeaderAndFooterChecksFollowThePage) {
    TDocForm* form = NewWindow();
    TWPPage* page = form->DocBox->GetCurrentPage();
    page->Header()->SetEnabled(true);
    page->Footer()->SetEnabled(false);
    form->MenuItem("Pagina2")->Click();
    EXPECT_TRUE(form->MenuItem("Intestazione1")->isChecked());
    EXPECT_FALSE(form->MenuItem("Pipagina1")->isChecked());
    form->MenuItem("Intestazione1")->Click();
    EXPECT_FALSE(form->MenuItem("Intestazione1")->isChecked());
    EXPECT_FALSE(page->Header()->Enabled());
    form->MenuItem("Pipagina1")->Click();
    EXPECT_TRUE(page->Footer()->Enabled());
}

TEST_F(DocumentWindowTest, WheelScrollsOneStep) {
    TDocForm* form = NewWindow();
    form->show();
    QApplication::processEvents();
    form->DocBox->SetZoomPercent(200);
    QApplication::processEvents();
    QScrollBar* h = form->BoxView->horizontalScrollBar();
    QScrollBar* v = form->BoxView->verticalScrollBar();
    ASSERT_GT(h->maximum(), 0);
    ASSERT_GT(v->maximum(), 0);
    bool handled = false;
    form->DocBoxMouseWheelDown(form->BoxView, ssShift, {}, handled);
    EXPECT_EQ(h->value(), h->singleStep());
    EXPECT_EQ(v->value(), 0);
    form->DocBoxMouseWheelDown(form->BoxView, 0, {}, handled);
    EXPECT_EQ(v->value(), v->singleStep());
    form->DocBoxMouseWheelUp(form->BoxView, ssShift, {}, handled);
    form->DocBoxMouseWheelUp(form->BoxView, 0, {}, handled);
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(v->value(), 0);
    EXPECT_TRUE(handled);
    ASSERT_TRUE(form->BoxView->OnMouseWheelDown) << "bound as the document is made";
}

class FakeDialogs : public DocumentDialogs {
public:
    bool EditGraph(TGraphDialogExchange& x) override {
        Seen = x.Rows;
        if (x.Rows.size() > 1)
            x.Rows[1].Comment = "c2";
        return Answer;
    }
    bool EditGeneralParameters(TAttributiProve& styles, TDatabuffer*, TStringList&) override {
        styles.Record(0).Color = 0x123456;
        return Answer;
    }
    std::vector<TGraphDialogExchange::Row> Seen;
    bool Answer = true;
};

TEST_F(DocumentWindowTest, GraphPropertiesCarryTheLegendComments) {
    TDocForm* form = NewWindow();
    MakeTest(*form->Databuffer, "a.txt", {"1"});
    MakeTest(*form->Databuffer, "b.txt", {"2"});
    FakeDialogs fake;
    form->Dialogs = &fake;
    if (!form->DocBox->GetCurrentPage()->Graph())
        GTEST_SKIP() << "graph pages hold no graph in this build";
    form->SpeedButton(16)->Click();
    ASSERT_EQ(fake.Seen.size(), 2u);
    // The legend is reached only through the dialog here; the first run fills no comments.
    EXPECT_EQ(fake.Seen[0].Number, "1");
    EXPECT_EQ(fake.Seen[1].Number, "2");
    fake.Answer = false;
    form->MenuItem("Grafico2")->Click();
    EXPECT_EQ(fake.Seen[1].Comment, "c2") << "kept from the confirmed run";
    fake.Answer = true;
    form->MenuItem("Grafico2")->Click();
    EXPECT_EQ(fake.Seen[0].Comment, "");
    EXPECT_EQ(fake.Seen[1].Comment, "c2");
}

TEST_F(DocumentWindowTest, GeneralParametersChangeTheStylesOnlyOnOk) {
    TDocForm* form = NewWindow();
    FakeDialogs fake;
    form->Dialogs = &fake;
    const TAttributoProva before = AttributiProve().Record(0);
    fake.Answer = false;
    form->MenuItem("Preferenze1")->Click();
    EXPECT_EQ(AttributiProve().Record(0), before);
    fake.Answer = true;
    form->MenuItem("Preferenze1")->Click();
    EXPECT_EQ(AttributiProve().Record(0).Color, 0x123456);
}

// The label dialog inside the general parameters writes its labels at once: a cancelled
// parameter dialog still leaves them, and the document knows it changed.
class LabelsThenCancel : public DocumentDialogs {
public:
    bool EditGeneralParameters(TAttributiProve& styles, TDatabuffer* data, TStringList&) override {
        styles.Record(0).Color = 0x654321;
        if (data && change)
            data->LabelTable.Add("Time\xA7s");
        return false;
    }
    bool change = false;
};

TEST_F(DocumentWindowTest, LabelsConfirmedBeforeACancelMarkTheDocument) {
    TDocForm* form = NewWindow();
    LabelsThenCancel fake;
    form->Dialogs = &fake;
    const TAttributoProva before = AttributiProve().Record(0);
    form->MenuItem("Preferenze1")->Click();
    EXPECT_FALSE(form->Modified());
    fake.change = true;
    form->MenuItem("Preferenze1")->Click();
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->Databuffer->LabelTable.Count(), 1);
    EXPECT_EQ(AttributiProve().Record(0), before) << "the styles stay as they were";
}

TEST_F(DocumentWindowTest, WindowsShareAndResetTheTestStyles) {
    TDocForm* first = NewWindow();
    AttributiProve().Record(0).Color = 0x00FF00;
    NewWindow();
    EXPECT_EQ(AttributiProve().Record(0), TAttributiProve::DefaultRecord(0));

    first->NewDocument("/c/Other.CPF", {});
    EXPECT_EQ(first->DocBox->PageCount(), 1) << "a second call adds nothing";
    forms.emplace_back(CreateForm<TDocForm>());
    TDocForm* named = forms.back().get();
    named->NewDocument("/c/Std.CPF", {});
    EXPECT_EQ(named->Panel6->Caption(), "Std.CPF");
    EXPECT_EQ(named->DocumentName, "Std.CPF");
}

TEST_F(DocumentWindowTest, OpenedDocumentsScrollAndShowTheirPages) {
    TDocForm* source = NewWindow();
    AddPage(source, 1, "R1");
    TMemoryStream stream;
    WritePages(stream, source->Pages());
    stream.SetPosition(0);
    forms.emplace_back(CreateForm<TDocForm>());
    TDocForm* form = forms.back().get();
    form->OpenDocumentStream(stream);
    ASSERT_EQ(form->DocBox->PageCount(), 2);
    EXPECT_EQ(form->elencopagine->Tabs(),
              (QStringList{ToQString(source->DocBox->GetPage(0)->pagename), "R1"}));
    ASSERT_NE(form->BoxView, nullptr);
    EXPECT_TRUE(form->BoxView->OnMouseWheelDown);
    EXPECT_TRUE(form->BoxView->OnMouseWheelUp);
    EXPECT_TRUE(form->DocBox->GetPage(1)->Report()->OnCurrentPageChange);
}

TEST_F(DocumentWindowTest, EditMenuEnablesAxisPropertiesWithASelectedAxis) {
    TDocForm* form = NewWindow();
    if (!form->DocBox->GetCurrentPage()->Graph())
        GTEST_SKIP() << "graph pages hold no graph in this build";
    form->MenuItem("Modifica1")->Click();
    EXPECT_FALSE(form->MenuItem("Proprietasse1")->isEnabled()) << "no axis selected";
    form->MenuItem("Selezionatuttigliassi1")->Click();
    form->MenuItem("Modifica1")->Click();
    EXPECT_TRUE(form->MenuItem("Proprietasse1")->isEnabled());
}

TEST_F(DocumentWindowTest, CloseNeverAsksAndFreesTheWindow) {
    TDocForm* form = CreateForm<TDocForm>();
    form->NewDocument("", {});
    QPointer<TDocForm> alive(form);
    form->show();
    form->Close();
    EXPECT_TRUE(ui.Messages.empty());
    QTRY_VERIFY(alive.isNull());
}

TEST_F(DocumentWindowTest, PrintingToThePdfPrinterMakesOneFileInEachPagesOrientation) {
    const std::string pdftool = FindTool("pdfinfo");
    if (pdftool.empty())
        GTEST_SKIP() << "pdfinfo is missing";
    const std::string target = dir.File("driver.pdf");
    WriteFile(target, "old");
    auto pdf = std::make_shared<PdfPrinter>([target] { return target; });
    InstallPrinterProvider(
        std::make_shared<FixedPrinterProvider>(std::vector<std::shared_ptr<PrinterDevice>>{pdf}));
    TDocForm* form = NewWindow();
    form->Databuffer->FileNames.Add("/data/Bench_04.rev2.txt");
    AddPage(form, 0, "P2", poLandscape);
    AddPage(form, 0, "P3", poLandscape);
    for (TWPPage* page : form->Pages())
        page->informazioni_up = "&\"" + page->pagename + "\"l";
    form->show();
    ProcessMessages();
    form->PrintPages(0, 0);

    const std::string info = RunTool(pdftool, {"-f", "1", "-l", "99", target}).Output;
    std::vector<std::string> sizes;
    static const QRegularExpression size(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)");
    for (const QRegularExpressionMatch& m : size.globalMatch(QString::fromStdString(info)))
        sizes.push_back(std::to_string(std::lround(m.captured(1).toDouble())) + "x" +
                        std::to_string(std::lround(m.captured(2).toDouble())));
    EXPECT_EQ(sizes, (std::vector<std::string>{"595x842", "842x595", "842x595"})) << info;
    forms.clear();
    InstallVirtualPrinter();
}

// A printer that fails on the second sheet it is given.
class FailingPrinter : public VirtualPrinter {
protected:
    void EmitPage(const Metafile& sheet) override {
        if (++sheets_ == 2)
            throw EPrinter("paper jam");
        VirtualPrinter::EmitPage(sheet);
    }

private:
    int sheets_ = 0;
};

TEST_F(DocumentWindowTest, AFailedPrintAbortsAndRestoresTheWindow) {
    auto failing = std::make_shared<FailingPrinter>();
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{failing}));
    TDocForm* form = NewWindow();
    AddPage(form, 0, "P2");
    AddPage(form, 0, "P3");
    for (TWPPage* page : form->Pages())
        page->informazioni_up = "&\"" + page->pagename + "\"l";
    form->elencopagine->SetTabIndex(2);
    EXPECT_ANY_THROW(form->PrintPages(0, 0));
    EXPECT_TRUE(form->Panel5->isHidden());
    EXPECT_EQ(form->elencopagine->TabIndex(), 2);
    EXPECT_FALSE(form->Working());
    EXPECT_FALSE(failing->Printing());
    ASSERT_EQ(failing->Batches().size(), 1u);
    EXPECT_FALSE(failing->Batches()[0].Committed);
    EXPECT_TRUE(form->Panel1->isEnabled());
    forms.clear();
    InstallVirtualPrinter();
}

TEST_F(DocumentWindowTest, ACloseDuringPrintingWaitsForTheEnd) {
    TDocForm* form = CreateForm<TDocForm>();
    form->NewDocument("", {});
    form->DocBox->GetPage(0)->informazioni_up = "&\"x\"l";
    QPointer<TDocForm> alive(form);
    form->show();
    bool blocked = false;
    // The close arrives while the print processes messages.
    QTimer::singleShot(0, form, [&] {
        blocked = !form->Panel1->isEnabled();
        form->Close();
    });
    form->PrintPages(0, 0);
    EXPECT_TRUE(blocked) << "input is blocked while printing";
    EXPECT_TRUE(ui.Messages.empty()) << "nothing is asked";
    ASSERT_EQ(Virtual().Jobs().size(), 1u);
    EXPECT_EQ(Virtual().Jobs()[0].Pages.size(), 1u) << "the job ran whole";
    QTRY_VERIFY(alive.isNull());
}

TEST_F(DocumentWindowTest, CommandsThatChangeTheDocumentMarkItAndCancelledOnesDoNot) {
    struct Case {
        const char* what;
        std::function<void(TDocForm*)> command;
        bool marks;
    };
    auto answering = [this](int result) { ui.ModalHook = [result](QObject*) { return result; }; };
    FakeDialogs fake;
    const Case cases[] = {
        {"rename",
         [&](TDocForm* f) {
             answering(mrOk);
             f->RenamePage(0);
         },
         true},
        {"rename cancelled",
         [&](TDocForm* f) {
             answering(mrCancel);
             f->RenamePage(0);
         },
         false},
        {"new page", [&](TDocForm* f) { AddPage(f, 1, "R"); }, true},
        {"new page cancelled",
         [&](TDocForm* f) {
             answering(mrCancel);
             f->NewPage();
         },
         false},
        {"delete page",
         [&](TDocForm* f) {
             AddPage(f, 0, "P2");
             f->SaveDocumentAs(dir.File("d.VRX"));
             ui.MessageAnswers = {mrYes};
             f->MenuItem("Eliminapagina1")->Click();
         },
         true},
        {"delete refused",
         [&](TDocForm* f) {
             AddPage(f, 0, "P2");
             f->SaveDocumentAs(dir.File("d.VRX"));
             ui.MessageAnswers = {mrNo};
             f->MenuItem("Eliminapagina1")->Click();
         },
         false},
        {"margins",
         [&](TDocForm* f) {
             answering(mrOk);
             f->MenuItem("Marginipagina1")->Click();
         },
         true},
        {"margins of every page",
         [&](TDocForm* f) {
             answering(mrOk);
             f->MenuItem("Impostamarginipagina1")->Click();
         },
         true},
        {"margins cancelled",
         [&](TDocForm* f) {
             answering(mrCancel);
             f->MenuItem("Marginipagina1")->Click();
         },
         false},
        {"attributes",
         [&](TDocForm* f) {
             answering(mrOk);
             f->MenuItem("Attributipagina1")->Click();
         },
         true},
        {"header", [&](TDocForm* f) { f->MenuItem("Intestazione1")->Click(); }, true},
        {"general parameters",
         [&](TDocForm* f) {
             f->Dialogs = &fake;
             f->MenuItem("Preferenze1")->Click();
         },
         true},
        {"printer setup turning the page",
         [&](TDocForm* f) {
             ui.PrinterSetupHook = [] {
                 Printer().SetOrientation(poLandscape);
                 return true;
             };
             f->MenuItem("Impostastampante1")->Click();
         },
         true},
        {"printer setup keeping it",
         [&](TDocForm* f) {
             ui.PrinterSetupHook = [] { return true; };
             f->MenuItem("Impostastampante1")->Click();
         },
         false},
        {"zoom", [&](TDocForm* f) { f->SpeedButton(5)->Click(); }, false},
        {"printing", [&](TDocForm* f) { f->PrintPages(0, 0); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Answer = true;
        TDocForm* form = NewWindow();
        EXPECT_FALSE(form->Modified());
        c.command(form);
        EXPECT_EQ(form->Modified(), c.marks);
        ui.ModalHook = nullptr;
        ui.PrinterSetupHook = nullptr;
        ui.MessageAnswers.clear();
        Printer().SetOrientation(poPortrait);
        forms.clear();
    }
}

TEST_F(DocumentWindowTest, EditsUnderTheMouseMarkTheDocumentOnlyWhenThePageChanged) {
    struct Hooks : TEditorHooks {
        int opened = 0;
        int answer = 2;
        void EditAxis(TAxisExchange& x) override {
            ++opened;
            x.ModalResult = answer;
            x.Grandezza = "Spinta";
        }
    } hooks;
    SetEditorHooks(&hooks);
    TDocForm* form = NewWindow();
    form->show();
    ProcessMessages();
    if (!form->DocBox->GetCurrentPage()->Graph())
        GTEST_SKIP() << "graph pages hold no graph in this build";
    TPageView* view = form->BoxView->PageView();
    // Along the middle of the page until a double click lands on an axis; the dialog is
    // cancelled, and clicks that only select change nothing stored.
    QPoint axis;
    for (int x = 0; x < view->width() && hooks.opened == 0; x += 3) {
        axis = QPoint(x, view->height() / 2);
        QTest::mouseDClick(view, Qt::LeftButton, {}, axis);
    }
    ASSERT_EQ(hooks.opened, 1);
    EXPECT_FALSE(form->Modified());
    hooks.answer = 1;
    QTest::mouseDClick(view, Qt::LeftButton, {}, axis);
    EXPECT_EQ(hooks.opened, 2);
    EXPECT_TRUE(form->Modified());
    SetEditorHooks(nullptr);
}

TEST_F(DocumentWindowTest, HeaderPropertiesSwitchTheCellPalette) {
    PaletteHooks hooks;
    SetEditorHooks(&hooks);
    TDocForm* form = NewWindow();
    TdataProva& test = MakeTest(*form->Databuffer, "/d/Bench_01.txt", {"1"});
    TdataProva& second = MakeTest(*form->Databuffer, "/d/Bench_02.txt", {"2"});
    second.HeaderCells.Add("3,2#Data");
    (void)test;
    form->show();
    ProcessMessages();
    TIntestazione* header = form->DocBox->GetCurrentPage()->Header();
    form->MenuItem("ProprietIntestazione1")->Click();
    ASSERT_TRUE(header->EditMode());
    QPointer<Tcellsdlg_form> palette(CellPaletteOf(*header));
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->pos(), QPoint(0, 0));
    form->MenuItem("ProprietIntestazione1")->Click();
    EXPECT_FALSE(header->EditMode());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(palette);

    // The test window's grid drops on the header's cell (1, 1) in the page view.
    form->MenuItem("ProprietIntestazione1")->Click();
    palette = CellPaletteOf(*header);
    ASSERT_TRUE(palette);
    header->Selection = {0, 0, 0, 0};
    palette->LoadFromCells();
    Tform_var_rif* window = palette->TestWindow();
    window->TabSet1->SetTabIndex(1);
    TStringGrid* grid = window->Grid1;
    grid->SetCol(3);
    grid->SetRow(2);
    RecordedDrag drag;
    const TRect r = grid->CellRect(3, 2);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {},
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    ASSERT_EQ(drag.Source(), grid);
    TPageView* view = form->BoxView->PageView();
    const QPoint cell(header->Left() + header->Width() * 3 / 10,
                      header->Top() + header->Height() * 3 / 10);
    EXPECT_TRUE(DropOn(view, cell, drag.Data()));
    EXPECT_EQ(header->GetCell(1, 1)->text.Items(), std::vector<std::string>{"&<2;3;2(Data)>"});
    // A change made in the palette marks the document.
    EXPECT_FALSE(form->Modified());
    palette->SpeedButton35->Click();
    palette->SpeedButton2->Click();
    EXPECT_EQ(header->GetCell(0, 0)->text.Items(), std::vector<std::string>{"&<ROW;1;5;3>"});
    EXPECT_TRUE(form->Modified());

    // Closing the window ends edit mode and frees the palette with its test window.
    QPointer<Tform_var_rif> testWindow(window);
    forms.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(palette);
    EXPECT_FALSE(testWindow);
    SetEditorHooks(nullptr);
}

TEST_F(DocumentWindowTest, SavingAsTheDocumentClearsTheMarkAndNamesItsFile) {
    TDocForm* form = NewWindow();
    form->MarkModified();
    ui.SaveAnswers = {dir.File("Nuovo")};
    form->SalvaDocumento1Click(form);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->DocumentFile, dir.File("Nuovo.VRX"));
    EXPECT_TRUE(FileExists(dir.File("Nuovo.VRX")));
    // Yes to the question saves there again without a dialog.
    form->MarkModified();
    ui.MessageAnswers = {mrYes};
    EXPECT_TRUE(form->QuerySave());
    EXPECT_TRUE(ui.SaveAnswers.empty());
    EXPECT_FALSE(form->Modified());
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Salvare le modifiche a Nuovo.VRX?");
    SetLanguage(3);
    form->MarkModified();
    ui.MessageAnswers = {mrCancel};
    EXPECT_FALSE(form->QuerySave());
    EXPECT_EQ(ui.Messages[1].Text, "\xC4nderungen an Nuovo.VRX speichern?");
    SetLanguage(1);
}

// Keeps every save dialog's request.
class SaveRecordingUi : public ScriptedUiServices {
public:
    std::string SaveFileDialog(const FileDialogRequest& request) override {
        SaveRequests.push_back(request);
        return ScriptedUiServices::SaveFileDialog(request);
    }
    std::vector<FileDialogRequest> SaveRequests;
};

// The pages a PDF holds, as pdfinfo reads them; -1 when it cannot.
int PdfPageCount(const std::string& file) {
    const std::string tool = FindTool("pdfinfo");
    if (tool.empty() || !FileExists(file))
        return -1;
    const std::string info = RunTool(tool, {file}).Output;
    static const QRegularExpression pages(R"(Pages:\s+(\d+))");
    const QRegularExpressionMatch m = pages.match(QString::fromStdString(info));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintToFileTest : public DocumentWindowTest {
protected:
    void SetUp() override {
        DocumentWindowTest::SetUp();
        if (FindTool("pdfinfo").empty())
            GTEST_SKIP() << "pdfinfo is missing";
        SetUiServices(&rui);
        ForceDirectories(dir.File("out"));
    }
    void TearDown() override {
        forms.clear();
        SetUiServices(&ui);
        InstallVirtualPrinter();
        DocumentWindowTest::TearDown();
    }
    // A window of two pages titled after its first test, shown so that its pages compose.
    TDocForm* TwoPages() {
        TDocForm* form = NewWindow();
        form->Databuffer->FileNames.Add("/data/Bench_04.rev2.txt");
        rui.ModalHook = [](QObject* o) {
            auto* dialog = qobject_cast<Tnewpagedlg*>(o);
            if (dialog)
                dialog->RadioGroup1->SetItemIndex(0);
            return dialog ? mrOk : mrCancel;
        };
        form->NewPage();
        rui.ModalHook = nullptr;
        form->show();
        ProcessMessages();
        return form;
    }
    SaveRecordingUi rui;
};

TEST_F(PrintToFileTest, TheBuiltInPdfPrinterChosenInteractivelyAsksWhereToWrite) {
    const std::string driver = dir.File("driver.pdf");
    auto paper = std::make_shared<VirtualPrinter>();
    auto pdf = std::make_shared<PdfPrinter>([driver] { return driver; });
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{paper, pdf}));
    TDocForm* form = TwoPages();
    rui.PrintHook = [](PrintDialogRequest&) {
        SetPrinterIndex(1);
        return true;
    };
    rui.SaveAnswers = {dir.File("out/a.pdf")};
    form->PrintDocumentDialog();
    ASSERT_EQ(rui.SaveRequests.size(), 1u);
    EXPECT_EQ(rui.SaveRequests[0].FileName, "Bench_04.pdf");
    EXPECT_EQ(rui.SaveRequests[0].Filter, "File PDF (*.pdf)|*.pdf|Tutti i file (*.*)|*.*");
    EXPECT_EQ(rui.SaveRequests[0].DefaultExt, "pdf");
    EXPECT_EQ(PdfPageCount(dir.File("out/a.pdf")), 2);
    EXPECT_FALSE(FileExists(driver)) << "the settings' file is the remote jobs'";
    EXPECT_TRUE(paper->Jobs().empty());

    // The next one starts in the folder of the last; Cancel prints nothing.
    form->PrintDocumentDialog();
    ASSERT_EQ(rui.SaveRequests.size(), 2u);
    EXPECT_EQ(rui.SaveRequests[1].InitialDir, dir.File("out/"));
    EXPECT_FALSE(FileExists(driver));
    EXPECT_TRUE(paper->Jobs().empty());

    // The page on its own goes the same way, once its timer comes.
    rui.SaveAnswers = {dir.File("out/page")};
    form->PrintCurrentPage();
    QTRY_VERIFY(!form->Timer1->Enabled());
    EXPECT_EQ(PdfPageCount(dir.File("out/page.pdf")), 1);
    EXPECT_FALSE(FileExists(driver));

    // A remote job prints to the settings' file, asking nothing.
    const size_t asked = rui.SaveRequests.size();
    form->PrintPages(0, 0);
    EXPECT_EQ(PdfPageCount(driver), 2);
    EXPECT_EQ(rui.SaveRequests.size(), asked);
}

TEST_F(PrintToFileTest, PrintToFileWritesAPdfWhateverPrinterIsChosen) {
    const std::string driver = dir.File("driver.pdf");
    auto paper = std::make_shared<VirtualPrinter>();
    auto pdf = std::make_shared<PdfPrinter>([driver] { return driver; });
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{paper, pdf}));
    TDocForm* form = TwoPages();
    rui.PrintHook = [](PrintDialogRequest& request) {
        request.PrintToFile = true;
        return true;
    };
    rui.SaveAnswers = {dir.File("out/b.pdf")};
    form->PrintDocumentDialog();
    EXPECT_EQ(PdfPageCount(dir.File("out/b.pdf")), 2);
    EXPECT_TRUE(paper->Jobs().empty());
    EXPECT_EQ(PrinterIndex(), 0) << "the chosen printer stays the current one";
    EXPECT_EQ(form->DocBox->GetCurrentPage()->printerorientation, poPortrait);
}

// The print-server fixture lies with the platform's test data.
std::string CupsFixture() {
    const std::string data = VX_TEST_DATA_DIR;
    return data.substr(0, data.rfind("/document/data")) + "/platform/data/private-cupsd.sh";
}

TEST_F(PrintToFileTest, PrintToFileOnARealQueueSendsItNoJob) {
    PrivateCups cups(CupsFixture());
    if (!cups.Running()) {
        if (!cups.Error().empty())
            ADD_FAILURE() << cups.Error();
        GTEST_SKIP() << "CUPS not available: real-queue test skipped";
    }
    const std::string driver = dir.File("driver.pdf");
    InstallPrinterProvider(std::make_shared<SystemPrinterProvider>([driver] { return driver; }));
    int queue = -1;
    for (size_t i = 0; i < Printers().size(); ++i)
        if (Printers()[i]->Name() == "vx-file")
            queue = static_cast<int>(i);
    ASSERT_GE(queue, 0);
    SetPrinterIndex(queue);
    TDocForm* form = TwoPages();
    rui.PrintHook = [](PrintDialogRequest& request) {
        request.PrintToFile = true;
        return true;
    };
    rui.SaveAnswers = {dir.File("out/c.pdf")};
    form->PrintDocumentDialog();
    EXPECT_EQ(PdfPageCount(dir.File("out/c.pdf")), 2);
    EXPECT_EQ(PrinterIndex(), queue);
    // A job would fill the queue's output file within a few seconds.
    QTest::qWait(3000);
    for (const std::string& name : ListFolder(cups.Folder("out"), false))
        EXPECT_EQ(QFileInfo(QString::fromStdString(cups.Folder("out") + "/" + name)).size(), 0)
            << name;
}

TEST_F(DocumentWindowTest, ActivationTurnsThePrinterAndFitsOnce) {
    TDocForm* form = NewWindow();
    form->show();
    ProcessMessages();
    TWPPage* page = form->DocBox->GetCurrentPage();
    page->printerorientation = poPortrait;
    Printer().SetOrientation(poLandscape);
    form->DocBox->SetZoomPercent(190);
    form->FitPending = true;
    form->OnActivate(form);
    EXPECT_EQ(Printer().Orientation(), poPortrait);
    EXPECT_FALSE(form->FitPending);
    const uint32_t fitted = form->DocBox->GetZoomPercent();
    EXPECT_NE(fitted, 190u);
    form->DocBox->SetZoomPercent(190);
    form->OnActivate(form);
    EXPECT_EQ(form->DocBox->GetZoomPercent(), 190u) << "fitted only once";

    // The printer's orientation becomes the page's.
    Printer().SetOrientation(poLandscape);
    form->TakePrinterOrientation();
    EXPECT_EQ(page->printerorientation, poLandscape);
}

TEST_F(DocumentWindowTest, WithoutAPageEveryCommandDoesNothing) {
    forms.emplace_back(CreateForm<TDocForm>());
    TDocForm* form = forms.back().get();
    int dialogs = 0;
    ui.ModalHook = [&](QObject*) {
        ++dialogs;
        return mrOk;
    };
    ui.PrintHook = [&](PrintDialogRequest&) {
        ++dialogs;
        return true;
    };
    for (TMenuItem* item : form->MainMenu1->findChildren<TMenuItem*>()) {
        if (item->objectName() == "Chiudi1" || item->Caption() == "-")
            continue;
        item->Click();
    }
    for (int i = 1; i <= 21; ++i)
        form->SpeedButton(i)->Click();
    form->RenamePage(0);
    form->PrintPages(0, 0);
    form->Timer1->OnTimer(form->Timer1);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(Virtual().Jobs().empty());
}

TEST_F(DocumentWindowTest, ResizingFitsThePageToTheNewClient) {
    TDocForm* form = NewWindow();
    form->show();
    ProcessMessages();
    const uint32_t fitted = form->DocBox->GetZoomPercent();
    EXPECT_GT(fitted, 25u);
    form->resize(500, 400);
    ProcessMessages();
    EXPECT_LT(form->DocBox->GetZoomPercent(), fitted);
}

TEST_F(DocumentWindowTest, ValuesButtonAndMenuItemFollowEachOther) {
    TDocForm* form = NewWindow();
    form->SpeedButton(20)->Click();
    EXPECT_TRUE(form->SpeedButton(20)->Down());
    form->MenuItem("Modifica1")->Click();
    EXPECT_TRUE(form->MenuItem("Visualizzavalori1")->isChecked());
    form->MenuItem("Visualizzavalori1")->Click();
    EXPECT_FALSE(form->SpeedButton(20)->Down());
    EXPECT_FALSE(form->MenuItem("Visualizzavalori1")->isChecked());
    form->MenuItem("Visualizzavalori1")->trigger();
    EXPECT_TRUE(form->SpeedButton(20)->Down());
}

// The report definition dialog behind the window's seam, as the program installs it.
class ReportDefinitionDialogs : public DocumentDialogs {
public:
    bool EditReport(TWPReport& report, TDatabuffer* data) override {
        return EditReportDefinition(report, data);
    }
};

TEST_F(DocumentWindowTest, TheReportDefinitionLaysTheReportOutAnewOnlyOnOk) {
    TDocForm* form = NewWindow();
    ReportDefinitionDialogs dialogs;
    form->Dialogs = &dialogs;
    AddPage(form, 1, "R");
    TWPPage* page = form->DocBox->GetCurrentPage();
    TWPReport* report = page->Report();
    FillReport(page, 480);
    Settle(page);
    const int sheets = report->PageCount();
    ASSERT_GE(sheets, 2);

    ModalScripts scripts(ui);
    const auto deleteFirstCell = [](Tcfg_report* d, TButton* end) {
        d->Grid1->SetSelection({1, 1, 1, 1});
        d->Grid1->setFocus();
        QTest::keyClick(d->Grid1, Qt::Key_Delete);
        end->click();
    };
    scripts.On<Tcfg_report>([&](Tcfg_report* d) { deleteFirstCell(d, d->CancelBtn); });
    form->SpeedButton(17)->Click();
    ProcessMessages();
    EXPECT_EQ(report->GetChannelCount(0), 1);
    EXPECT_FALSE(report->Dirty) << "nothing to lay out again";
    EXPECT_EQ(report->PageCount(), sheets);

    scripts.On<Tcfg_report>([&](Tcfg_report* d) { deleteFirstCell(d, d->OKBtn); });
    form->SpeedButton(17)->Click();
    ProcessMessages();
    EXPECT_EQ(report->GetChannelCount(0), 0);
    EXPECT_EQ(report->PageCount(), 1);
}

} // namespace
} // namespace vx::test

namespace vx::test {
namespace {

// Every text of the document window and its page dialogs exists in every language.
TEST(DocumentTranslationsTest, NoTextIsMissingInALanguage) {
    for (const char* name :
         {"TDocForm",          "Tnewpagedlg",           "Tdef_margini",        "Tfrm_dlg_attributi",
          "TDefiniscisezioni", "Tfrm_def_numeric",      "TF_SelTipi",          "Tfrm_infocursor",
          "TformValuebox",     "Tdlgparametrigenerali", "Ttranslatelabelsdlg", "Tattributiprova",
          "Tcfg_report",       "Tcellsdlg_form",        "TF_inschnval",        "Tform_var_rif",
          "Tboxdlg_grafico",   "Tborderform",           "Tboxdefasse",         "Tgrigliabox",
          "TTagPointbox"}) {
        TmlLang lang;
        ASSERT_TRUE(LoadTranslationResource(lang, name)) << name;
        ASSERT_EQ(lang.NumOfLanguages(), 3);
        for (TStringsType kind : {stCaptions, stHints, stMultiLines, stStrings, stOtherStrings}) {
            for (const std::string& line : lang.List(kind)->Items()) {
                size_t start = line.find('\1');
                for (int language = 1; language <= 3; ++language) {
                    const size_t end = line.find('\1', start + 1);
                    ASSERT_NE(end, std::string::npos) << name << ": " << line;
                    EXPECT_GT(end, start + 1) << name << " language " << language << ": " << line;
                    start = end;
                }
            }
        }
    }
}

} // namespace
} // namespace vx::test

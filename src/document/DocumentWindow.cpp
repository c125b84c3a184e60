#include "document/Document.h"

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/DocumentDialogs.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "document/parambox.h"
#include "localisation/mlComp.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/UpDown.h"
#include "report/DocBox.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"
#include "report/view/DocBoxView.h"
#include "report/view/PageView.h"
#include "report/view/ReportStruct.h"
#include "report/wpreport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <utility>

namespace vx {

namespace {

// Waits of printing and loading never stand longer than this.
constexpr int kWaitLimitMs = 60000;
// How often printing shows its progress.
constexpr int kProgressMs = 100;

const uint32_t kZoomSteps[] = {25, 50, 75, 100, 150, 200};

// The first data file's name without folder, cut before its first point.
std::string CutFileName(const std::string& path) {
    const std::string name = ExtractFileName(path);
    return name.substr(0, name.find('.'));
}

// Counts a wait of printing or loading, however it ends.
class WorkScope {
public:
    WorkScope(std::function<void()> begin, std::function<void()> end) : end_(std::move(end)) {
        begin();
    }
    ~WorkScope() { end_(); }
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;

private:
    std::function<void()> end_;
};

} // namespace

// ---- building ----

bool TDocForm::BuildWindow() {
    resize(900, 650);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new TPanel(this, "Panel1");
    Panel1->setFixedHeight(32);
    auto* tools = new QHBoxLayout(Panel1);
    tools->setContentsMargins(2, 2, 2, 2);
    tools->setSpacing(1);
    // The glyphs; the hints say what each does. Buttons without one have no command here.
    static const char* const kGlyphs[21] = {":/pictures/valuebox.svg",
                                            "zoom-fit-page",
                                            "zoom-fit-width",
                                            "zoom-fit-height",
                                            "zoom-in",
                                            "zoom-out",
                                            "document-print",
                                            "document-export",
                                            "view-split-top-bottom",
                                            nullptr,
                                            nullptr,
                                            "document-new",
                                            "edit-delete",
                                            ":/pictures/margins.svg",
                                            nullptr,
                                            ":/pictures/graph.svg",
                                            ":/pictures/report.svg",
                                            "go-last-view-page",
                                            "go-first-view-page",
                                            "crosshairs",
                                            "tag"};
    for (int i = 0; i < 21; ++i) {
        const QString name = QStringLiteral("SpeedButton") + QString::number(i + 1);
        // 18 and 19 belong to the report navigator.
        auto* button = new TSpeedButton(i == 17 || i == 18 ? nullptr : Panel1, name);
        if (kGlyphs[i])
            button->SetGlyph(ToolIcon(kGlyphs[i]));
        button->setIconSize(QSize(22, 22));
        SpeedButtons[i] = button;
        if (i != 17 && i != 18) {
            button->setFixedSize(28, 28);
            tools->addWidget(button);
            // Buttons without a command here are kept for the stored layout, unseen.
            button->setVisible(kGlyphs[i] != nullptr);
        }
    }
    ComboBox1 = new TComboBox(Panel1, "ComboBox1");
    ComboBox1->SetItems({"25 %", "50 %", "75 %", "100 %", "150 %", "200 %"});
    ComboBox1->SetItemIndex(-1);
    tools->addWidget(ComboBox1);
    tools->addStretch(1);
    SpeedButton20 = SpeedButtons[19];
    SpeedButton20->SetGroupIndex(1);
    SpeedButton20->SetAllowAllUp(true);
    layout->addWidget(Panel1);
    // The page container's view goes here (index 1) once there is a container.

    Panel5 = new TPanel(this, "Panel5");
    Panel5->setFixedHeight(24);
    Label1 = new TLabel(Panel5, "Label1");
    Label1->move(4, 4);
    ProgressBar1 = new TProgressBar(Panel5, "ProgressBar1");
    ProgressBar1->resize(200, 16);
    Panel5->hide();
    layout->addWidget(Panel5);

    Panel2 = new TPanel(this, "Panel2");
    Panel2->setFixedHeight(28);
    auto* status = new QHBoxLayout(Panel2);
    status->setContentsMargins(2, 1, 2, 1);
    status->setSpacing(4);
    Panel4 = new TPanel(Panel2, "Panel4");
    auto* navigator = new QHBoxLayout(Panel4);
    navigator->setContentsMargins(0, 0, 0, 0);
    navigator->setSpacing(1);
    SpeedButton19 = SpeedButtons[18];
    SpeedButton19->setParent(Panel4);
    Edit1 = new TEdit(Panel4, "Edit1");
    Edit1->setFixedWidth(40);
    UpDown1 = new TUpDown(Panel4, "UpDown1");
    UpDown1->SetMin(1);
    UpDown1->SetMax(1);
    UpDown1->SetPosition(1);
    UpDown1->setFixedWidth(16);
    Panel3 = new TPanel(Panel4, "Panel3");
    Panel3->setMinimumWidth(110);
    SpeedButton18 = SpeedButtons[17];
    SpeedButton18->setParent(Panel4);
    for (TSpeedButton* b : {SpeedButton18, SpeedButton19})
        b->setIconSize(QSize(16, 16));
    for (QWidget* w :
         std::initializer_list<QWidget*>{SpeedButton19, Edit1, UpDown1, Panel3, SpeedButton18})
        navigator->addWidget(w);
    Panel4->hide();
    status->addWidget(Panel4);
    Panel6 = new TPanel(Panel2, "Panel6");
    Panel6->setMinimumWidth(160);
    status->addWidget(Panel6);
    layout->addWidget(Panel2);

    Timer1 = new TTimer();
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1000);
    Timer1->OnTimer = [this](TComponent* s) { Timer1Timer(s); };
    connect(this, &QObject::destroyed, [timer = Timer1] { delete timer; });

    BuildMenu();
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& action) { FormClose(s, action); };
    return true;
}

void TDocForm::BuildMenu() {
    MainMenu1 = new TMainMenu(this, "MainMenu1");
    // Whatever a command opened on the way, the user goes on in this window.
    auto bind = [this](TMenuItem* item, std::function<void()> handler) {
        item->OnClick = [this, handler = std::move(handler)](QObject*) {
            handler();
            ReturnToWindow();
        };
        return item;
    };
    // Every top-level item is of group 1: they take the main window's document places.
    TMenuItem* file = MainMenu1->Add("Documento1", "&Documento", 1);
    bind(file->Add("CaricaConfigurazione1", "Carica configurazione"),
         [this] { CaricaConfigurazione1Click(this); });
    bind(file->Add("ImportaConfigurazione1", "Importa configurazione"),
         [this] { ImportaConfigurazione1Click(this); });
    bind(file->Add("SalvaConfigurazione1", "Salva configurazione"),
         [this] { SalvaConfigurazione1Click(this); });
    file->Add("N1", "-");
    bind(file->Add("SalvaDocumento1", "Salva documento"), [this] { SalvaDocumento1Click(this); });
    bind(file->Add("SalvaMetafile1", "Esporta metafile"), [this] { ExportMetafile(); });
    file->Add("N7", "-");
    bind(file->Add("ApriGrafico1", "Apri grafico"), [this] { ApriGrafico1Click(this); });
    bind(file->Add("SalvaGrafico1", "Salva grafico"), [this] { SalvaGrafico1Click(this); });
    file->Add("N2", "-");
    bind(file->Add("Stampa1", "Stampa documento"), [this] { PrintDocumentDialog(); });
    bind(file->Add("Stampapagina1", "Stampa pagina"), [this] { PrintCurrentPage(); });
    bind(file->Add("Impostastampante1", "Imposta stampante"), [this] { PrinterSetup(); });
    file->Add("N3", "-");
    bind(file->Add("VerificaHASH1", "Verifica HASH"), [this] { VerificaHASH1Click(this); });
    file->Add("N4", "-");
    bind(file->Add("Chiudi1", "Chiudi"), [this] { Close(); });

    TMenuItem* edit = MainMenu1->Add("Modifica1", "&Modifica", 1);
    bind(edit, [this] { EditMenuOpened(); });
    bind(edit->Add("Visualizzavalori1", "Visualizza valori"), [this] { CursorValuesFollow(true); });
    bind(edit->Add("Selezionatuttigliassi1", "Seleziona tutti gli assi"),
         [this] { SelectAllAxes(); });
    bind(edit->Add("Proprietasse1", "Proprietà assi"), [this] { EditSelectedAxes(); });
    bind(edit->Add("Tipizzazioni1", "Tipizzazioni"), [this] { EditAxisTyping(); });
    bind(edit->Add("sezionieassi", "Sezioni e assi"), [this] {
        if (TWPPage* page = CurrentPage())
            EditPageObjects(page, [page] { page->EditGraphSections(); });
    });
    edit->Add("N8", "-");
    bind(edit->Add("Grafico2", "Proprietà grafico"), [this] { EditGraphProperties(); });
    bind(edit->Add("ProprietReport1", "Proprietà report"), [this] { EditReportProperties(); });
    bind(edit->Add("Matricedati1", "Matrice dati"), [this] {
        if (DocBox)
            DocBox->ShowValueBox();
    });
    edit->Add("N9", "-");
    bind(edit->Add("Preferenze1", "Preferenze"), [this] { EditGeneralParameters(); });

    TMenuItem* page = MainMenu1->Add("Pagina2", "&Pagina", 1);
    bind(page, [this] { PageMenuOpened(); });
    bind(page->Add("InserisciPagina1", "Inserisci pagina"), [this] { NewPage(); });
    bind(page->Add("Eliminapagina1", "Elimina pagina"), [this] { DeletePageAsking(); });
    bind(page->Add("RinominaPagina1", "Rinomina pagina"),
         [this] { RenamePage(elencopagine->TabIndex()); });
    page->Add("N5", "-");
    bind(page->Add("Marginipagina1", "Margini pagina"), [this] { EditMargins(false); });
    bind(page->Add("Impostamarginipagina1", "Imposta margini a tutte le pagine"),
         [this] { EditMargins(true); });
    bind(page->Add("Attributipagina1", "Attributi pagina"), [this] { EditAttributes(false); });
    bind(page->Add("Attributidocumento1", "Attributi documento"), [this] { EditAttributes(true); });
    page->Add("N6", "-");
    bind(page->Add("Intestazione1", "Intestazione"), [this] { ToggleHeaderFooter(true); });
    bind(page->Add("Pipagina1", "Piè pagina"), [this] { ToggleHeaderFooter(false); });
    bind(page->Add("ProprietIntestazione1", "Proprietà intestazione"),
         [this] { EditCellTable(true); });
    bind(page->Add("ProprietPiPagina1", "Proprietà piè pagina"), [this] { EditCellTable(false); });

    TMenuItem* zoom = MainMenu1->Add("Zoom1", "&Zoom", 1);
    bind(zoom->Add("Zoomallapagina1", "Zoom alla pagina"), [this] {
        if (DocBox)
            DocBox->ZoomToFit();
    });
    bind(zoom->Add("Zoomorizzontale1", "Zoom orizzontale"), [this] {
        if (DocBox)
            DocBox->ZoomToWidth();
    });
    bind(zoom->Add("ZoomVerticale1", "Zoom verticale"), [this] {
        if (DocBox)
            DocBox->ZoomToHeight();
    });

    auto button = [this](int number, std::function<void()> handler) {
        SpeedButton(number)->OnClick = [this, handler = std::move(handler)](QObject*) {
            handler();
            ReturnToWindow();
        };
    };
    button(1, [this] {
        if (DocBox)
            DocBox->ShowValueBox();
    });
    button(2, [this] { MenuItem("Zoomallapagina1")->Click(); });
    button(3, [this] { MenuItem("Zoomorizzontale1")->Click(); });
    button(4, [this] { MenuItem("ZoomVerticale1")->Click(); });
    button(5, [this] { ZoomIn(); });
    button(6, [this] { ZoomOut(); });
    button(7, [this] { PrintCurrentPage(); });
    button(8, [this] { ExportMetafile(); });
    button(9, [this] { MenuItem("sezionieassi")->Click(); });
    button(12, [this] { NewPage(); });
    button(13, [this] { DeletePageAsking(); });
    button(14, [this] { EditMargins(false); });
    button(16, [this] { EditGraphProperties(); });
    button(17, [this] { EditReportProperties(); });
    button(18, [this] {
        UpDown1->SetPosition(UpDown1->Max());
        bool allow = true;
        UpDown1Changing(UpDown1, UpDown1->Max(), allow);
    });
    button(19, [this] {
        UpDown1->SetPosition(UpDown1->Min());
        bool allow = true;
        UpDown1Changing(UpDown1, UpDown1->Min(), allow);
    });
    button(20, [this] { CursorValuesFollow(false); });
    button(21, [this] { MenuItem("Tipizzazioni1")->Click(); });
    // The menu items that do what a button does show its glyph.
    static const std::pair<const char*, int> kButtonItems[] = {
        {"Matricedati1", 1},       {"Zoomallapagina1", 2},   {"Zoomorizzontale1", 3},
        {"ZoomVerticale1", 4},     {"Stampapagina1", 7},     {"SalvaMetafile1", 8},
        {"sezionieassi", 9},       {"InserisciPagina1", 12}, {"Eliminapagina1", 13},
        {"Marginipagina1", 14},    {"Grafico2", 16},         {"ProprietReport1", 17},
        {"Visualizzavalori1", 20}, {"Tipizzazioni1", 21}};
    for (const auto& [item, number] : kButtonItems)
        MenuItem(item)->setIcon(SpeedButton(number)->icon());
    ComboBox1->OnChange = [this](QObject* s) { ComboBox1Change(s); };
    Edit1->OnKeyPress = [this](QObject* s, char& key) { Edit1KeyPress(s, key); };
    UpDown1->OnChanging = [this](QObject* s, int p, bool& allow) { UpDown1Changing(s, p, allow); };
}

TMenuItem* TDocForm::MenuItem(const QString& name) const {
    return MainMenu1->findChild<TMenuItem*>(name);
}

// ---- life ----

void TDocForm::FormCreate(QObject*) {
    Closing = Loading = TabChangePending = FitPending = false;
    DefinitionHash.clear();
    // One table of test styles serves every window: a new window starts it afresh.
    AttributiProve().SetDefaults();
    MappingList.Clear();
    if (auto* status = qobject_cast<QHBoxLayout*>(Panel2->layout()))
        status->insertWidget(0, elencopagine, 1);
    elencopagine->OnChange = [this](QObject* s, int tab, bool& allow) {
        elencopagineChange(s, tab, allow);
    };
    elencopagine->installEventFilter(this);
    UpdatePageTypeControls();
}

void TDocForm::FormActivate(QObject*) {
    if (TWPPage* page = CurrentPage())
        if (PrinterIndex() >= 0 && Printer().Orientation() != page->printerorientation &&
            !Printer().Printing())
            Printer().SetOrientation(page->printerorientation);
    if (FitPending && DocBox) {
        DocBox->ZoomToFit();
        FitPending = false;
    }
}

void TDocForm::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    // The fit waits until the layout has given the container its new client size.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!Closing && DocBox && BoxView)
                DocBox->ZoomToFit();
        },
        Qt::QueuedConnection);
}

void TDocForm::FormCloseQuery(QObject*, bool& canClose) {
    // While printing or loading waits, the close comes once the wait is over.
    if (Working()) {
        Closing = true;
        closeRequested_ = true;
        canClose = false;
        return;
    }
    if (askOnClose_ && !QuerySave()) {
        canClose = false;
        return;
    }
    Closing = true;
}

bool TDocForm::QuerySave() {
    if (!modified_)
        return true;
    // A document from tests goes by their names, as its caption shows them.
    std::string name = ExtractFileName(DocumentFile);
    if (name.empty())
        name = FromQString(Caption().trimmed());
    if (name.empty())
        name = Text("IDS_21");
    std::string question = Text("IDS_90");
    if (const size_t at = question.find("%s"); at != std::string::npos)
        question.replace(at, 2, name);
    switch (Ui().MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        return SaveDocument();
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TDocForm::CloseWithoutAsking() {
    askOnClose_ = false;
    Close();
}

void TDocForm::FormClose(QObject*, TCloseAction& action) {
    ReleaseView();
    action = TCloseAction::caFree;
}

void TDocForm::ReturnToWindow() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (Closing || !sub)
        return;
    if (QMdiArea* area = sub->mdiArea())
        area->setActiveSubWindow(sub);
    sub->raise();
}

void TDocForm::ReleaseView() {
    delete BoxView;
    BoxView = nullptr;
}

bool TDocForm::eventFilter(QObject* watched, QEvent* event) {
    // The page's objects edit themselves under the mouse (zones dragged, dialogs opened by a
    // double click): what the page stores afterwards tells whether the document changed.
    const QEvent::Type type = event->type();
    if (BoxView && watched == BoxView->PageView() && !mouseEditing_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick)) {
        mouseEditing_ = true;
        EditPageObjects(CurrentPage(), [&] { QCoreApplication::sendEvent(watched, event); });
        mouseEditing_ = false;
        return true;
    }
    // A wheel turn over the window first gives the page container the keyboard focus and is
    // left to it.
    if (BoxView && watched == BoxView && event->type() == QEvent::Wheel && !BoxView->hasFocus())
        BoxView->setFocus(Qt::MouseFocusReason);
    if (watched == elencopagine && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPoint p = mouse->position().toPoint();
            Guard([&] { elencopagineMouseDown(mbRight, p.x(), p.y()); });
            return true;
        }
    }
    return TForm::eventFilter(watched, event);
}

void TDocForm::BeginWork() {
    if (working_++ == 0) {
        Panel1->setEnabled(false);
        Panel2->setEnabled(false);
        if (BoxView)
            BoxView->setEnabled(false);
        for (TMenuItem* item : MainMenu1->ShownItems())
            item->SetEnabled(false);
    }
}

void TDocForm::EndWork() {
    if (--working_ > 0)
        return;
    Panel1->setEnabled(true);
    Panel2->setEnabled(true);
    if (BoxView)
        BoxView->setEnabled(true);
    for (TMenuItem* item : MainMenu1->ShownItems())
        item->SetEnabled(true);
    if (closeRequested_) {
        closeRequested_ = false;
        QMetaObject::invokeMethod(
            this, [this] { Close(); }, Qt::QueuedConnection);
    }
}

// ---- document ----

TWPPage* TDocForm::CurrentPage() const {
    return DocBox ? DocBox->GetCurrentPage() : nullptr;
}

TWPGraph* TDocForm::CurrentGraph() const {
    TWPPage* page = CurrentPage();
    return page && page->PAGEKIND() == PK_GRAPHIC ? page->Graph() : nullptr;
}

void TDocForm::CreateDocBox() {
    if (!DocBox)
        DocBox = std::make_unique<TDocBox>();
    if (BoxView)
        return;
    BoxView = new TDocBoxView(DocBox.get(), this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, BoxView, 1);
    BoxView->OnMouseWheelDown = [this](QObject* s, TShiftState shift, TPoint p, bool& handled) {
        DocBoxMouseWheelDown(s, shift, p, handled);
    };
    BoxView->OnMouseWheelUp = [this](QObject* s, TShiftState shift, TPoint p, bool& handled) {
        DocBoxMouseWheelUp(s, shift, p, handled);
    };
    BoxView->installEventFilter(this);
    BoxView->PageView()->installEventFilter(this);
    BoxView->show();
}

void TDocForm::NewDocument(const std::string& configurationFile, const TStringList& files) {
    if (DocBox && DocBox->PageCount() > 0)
        return;
    CreateDocBox();
    DocumentName = ExtractFileName(configurationFile).substr(0, 255);
    Panel6->SetCaption(ToQString(DocumentName));
    {
        WorkScope work([this] { BeginWork(); }, [this] { EndWork(); });
        LoadTestsAndProject("", configurationFile, files);
    }
    for (TWPPage* page : Pages())
        if (TWPReport* report = page->Report())
            report->OnCurrentPageChange = [this](TComponent* s) { ReportPageChanged(s); };
    DocBox->ZoomToFit();
    DocBox->RedrawCurrentPage();
    UpdatePageTypeControls();
}

void TDocForm::OpenDocumentStream(TStream& stream, const std::string& fileName) {
    CreateDocBox();
    {
        WorkScope work([this] { BeginWork(); }, [this] { EndWork(); });
        LoadPages(stream, false, fileName);
    }
    DocBox->ZoomToFit();
    DocBox->RedrawCurrentPage();
    UpdatePageTypeControls();
}

void TDocForm::TakePrinterOrientation() {
    TWPPage* page = CurrentPage();
    if (!page || PrinterIndex() < 0)
        return;
    page->printerorientation = Printer().Orientation();
    InvalidatePage();
    ZoomToPage();
}

void TDocForm::InvalidatePage() {
    if (DocBox)
        DocBox->InvalidateCurrentPage();
}

void TDocForm::ZoomToPage() {
    if (DocBox)
        DocBox->ZoomToFit();
}

void TDocForm::PrinterSetup() {
    if (Ui().PrinterSetupDialog())
        TakePrinterOrientationMarking();
}

void TDocForm::TakePrinterOrientationMarking() {
    TWPPage* page = CurrentPage();
    const auto before = page ? page->printerorientation : poPortrait;
    TakePrinterOrientation();
    if (page && CurrentPage() == page && page->printerorientation != before)
        MarkModified();
}

// ---- zoom ----

void TDocForm::SetZoom(uint32_t percent) {
    if (CurrentPage())
        DocBox->SetZoomPercent(percent);
}

void TDocForm::ZoomIn() {
    if (!CurrentPage())
        return;
    const uint32_t zoom = DocBox->GetZoomPercent();
    SetZoom(zoom < 191 ? zoom + 10 : 200);
}

void TDocForm::ZoomOut() {
    if (!CurrentPage())
        return;
    const uint32_t zoom = DocBox->GetZoomPercent();
    SetZoom(zoom >= 36 ? zoom - 10 : 25);
}

void TDocForm::ComboBox1Change(QObject*) {
    const int i = ComboBox1->ItemIndex();
    if (i >= 0 && i < 6)
        SetZoom(kZoomSteps[i]);
}

void TDocForm::DocBoxMouseWheelDown(QObject*, TShiftState shift, TPoint, bool& handled) {
    if (!BoxView)
        return;
    QScrollBar* bar = shift ? BoxView->horizontalScrollBar() : BoxView->verticalScrollBar();
    bar->setValue(bar->value() + bar->singleStep());
    handled = true;
}

void TDocForm::DocBoxMouseWheelUp(QObject*, TShiftState shift, TPoint, bool& handled) {
    if (!BoxView)
        return;
    QScrollBar* bar = shift ? BoxView->horizontalScrollBar() : BoxView->verticalScrollBar();
    bar->setValue(bar->value() - bar->singleStep());
    handled = true;
}

// ---- tabs and pages ----

void TDocForm::elencopagineChange(QObject*, int newTab, bool&) {
    if (Loading || !DocBox)
        return;
    TabChangePending = true;
    if (TWPPage* page = CurrentPage())
        page->ClearSelection();
    DocBox->ShowPage(newTab);
    DocBox->RedrawCurrentPage();
    DocBox->ZoomToFit();
    UpdatePageTypeControls();
    TabChangePending = false;
}

void TDocForm::elencopagineMouseDown(TMouseButton button, int x, int y) {
    if (button != mbRight)
        return;
    const int tab = elencopagine->tabAt(QPoint(x, y));
    if (tab >= 0)
        RenamePage(tab);
}

void TDocForm::ShowPageDirect(int index) {
    DocBox->ShowPage(index);
    DocBox->RedrawCurrentPage();
    DocBox->ZoomToFit();
    UpdatePageTypeControls();
}

void TDocForm::NewPage() {
    // A window without a document gets no page.
    if (!DocBox)
        return;
    std::unique_ptr<Tnewpagedlg> dialog(CreateForm<Tnewpagedlg>(this));
    dialog->Edit1->SetText(ToQString(Text("IDS_24") + std::to_string(DocBox->PageCount() + 1)));
    dialog->RadioGroup1->SetItemIndex(0);
    if (dialog->ShowModal() != mrOk)
        return;
    const int kind = dialog->RadioGroup1->ItemIndex();
    if (kind < 0 || kind > 2)
        return;
    const std::string name = Utf8ToCp1252(dialog->Edit1->Text().toStdString()).substr(0, 255);
    TWPPage* page = DocBox->AddPage();
    page->DataBuffer = Databuffer.get();
    page->SetPageKind(static_cast<TPAGEKIND>(kind));
    page->pagename = name;
    if (TWPReport* report = page->Report())
        report->OnCurrentPageChange = [this](TComponent* s) { ReportPageChanged(s); };
    QStringList tabs = elencopagine->Tabs();
    tabs << ToQString(name);
    elencopagine->SetTabs(tabs);
    elencopagine->SetTabIndex(static_cast<int>(tabs.size()) - 1);
    MarkModified();
}

void TDocForm::DeletePageAsking() {
    if (!CurrentPage())
        return;
    if (DocBox->PageCount() < 2) {
        Ui().MessageDlg(Text("IDS_28"), TMsgDlgType::mtWarning, mbOK);
        return;
    }
    if (Ui().MessageDlg(Text("IDS_26") + "\r\n" + Text("IDS_27"), TMsgDlgType::mtConfirmation,
                        mbYes | mbNo) == mrYes)
        DeleteCurrentPage();
}

void TDocForm::DeleteCurrentPage() {
    if (!DocBox || DocBox->PageCount() < 2)
        return;
    const int index = DocBox->CurrentIndex();
    DocBox->DeletePage(index);
    MarkModified();
    QStringList tabs = elencopagine->Tabs();
    if (index >= 0 && index < tabs.size())
        tabs.removeAt(index);
    {
        // Removing tabs changes nothing the user chose.
        const bool loading = Loading;
        Loading = true;
        elencopagine->SetTabs(tabs);
        Loading = loading;
    }
    if (elencopagine->TabIndex() < 1) {
        const bool loading = Loading;
        Loading = true;
        elencopagine->SetTabIndex(0);
        Loading = loading;
        ShowPageDirect(0);
    } else {
        elencopagine->SetTabIndex(0);
    }
}

void TDocForm::RenamePage(int index) {
    TWPPage* page = DocBox ? DocBox->GetPage(index) : nullptr;
    if (!page)
        return;
    std::unique_ptr<Tnewpagedlg> dialog(CreateForm<Tnewpagedlg>(this));
    dialog->RadioGroup1->hide();
    dialog->SetCaption(ToQString(Text("IDS_29")));
    dialog->Edit1->SetText(ToQString(page->pagename));
    if (dialog->ShowModal() != mrOk)
        return;
    page = DocBox->GetPage(index);
    if (!page)
        return;
    page->pagename = Utf8ToCp1252(dialog->Edit1->Text().toStdString()).substr(0, 255);
    MarkModified();
    QStringList tabs = elencopagine->Tabs();
    if (index < tabs.size()) {
        tabs[index] = ToQString(page->pagename);
        elencopagine->SetTabs(tabs);
    }
}

// ---- the controls by page kind ----

void TDocForm::UpdatePageTypeControls() {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    const TPAGEKIND kind = page->PAGEKIND();
    if (kind != PK_GRAPHIC && kind != PK_REPORT)
        return;
    const bool graph = kind == PK_GRAPHIC;
    auto item = [this](const char* name, bool visible, bool enabled) {
        if (TMenuItem* i = MenuItem(QString::fromLatin1(name))) {
            i->SetVisible(visible);
            i->SetEnabled(enabled);
        }
    };
    auto shown = [this](const char* name, bool visible) {
        if (TMenuItem* i = MenuItem(QString::fromLatin1(name)))
            i->SetVisible(visible);
    };
    shown("ProprietReport1", !graph);
    shown("Grafico2", graph);
    shown("sezionieassi", graph);
    item("Visualizzavalori1", graph, graph);
    for (int number : {20, 9, 16, 21}) {
        SpeedButton(number)->setVisible(graph);
        SpeedButton(number)->setEnabled(graph);
    }
    SpeedButton(17)->setEnabled(!graph);
    for (const char* name : {"ApriGrafico1", "SalvaGrafico1", "N7"})
        shown(name, graph);
    Panel4->setVisible(!graph);
    for (const char* name : {"Selezionatuttigliassi1", "Proprietasse1", "Tipizzazioni1"})
        item(name, graph, graph);
    if (!graph && page->Report())
        ShowReportPosition(*page->Report());
}

void TDocForm::ShowReportPosition(const TWPReport& report) {
    const int count = report.PageCount();
    if (count <= 0) {
        Panel4->setEnabled(false);
        return;
    }
    Panel4->setEnabled(true);
    UpDown1->SetMax(count);
    UpDown1->SetPosition(report.CurrentPage() + 1);
    Panel3->SetCaption(ToQString(Text("IDS_25") + std::to_string(report.CurrentPage() + 1) + "/" +
                                 std::to_string(count)));
}

void TDocForm::ReportPageChanged(TComponent* sender) {
    auto* report = dynamic_cast<TWPReport*>(sender);
    TWPPage* page = CurrentPage();
    if (!report && page)
        report = page->Report();
    if (!report)
        return;
    const int count = report->PageCount();
    if (count <= 0) {
        Panel4->setEnabled(false);
        return;
    }
    if (report->CurrentPage() >= count)
        report->SetCurrentPage(count - 1);
    ShowReportPosition(*report);
    if (page && page->Report() == report)
        page->RelayoutReportPage();
}

void TDocForm::UpDown1Changing(QObject*, int newPosition, bool& allowChange) {
    TWPPage* page = CurrentPage();
    TWPReport* report = page ? page->Report() : nullptr;
    if (!report || newPosition < UpDown1->Min() || newPosition > UpDown1->Max()) {
        allowChange = false;
        return;
    }
    report->SetCurrentPage(newPosition - 1);
    UpDown1->SetPosition(newPosition);
    ShowReportPosition(*report);
    page->RelayoutReportPage();
}

void TDocForm::Edit1KeyPress(QObject*, char& key) {
    if (key != '\r')
        return;
    key = 0;
    bool ok = false;
    const int position = Edit1->Text().trimmed().toInt(&ok);
    if (!ok || position < UpDown1->Min() || position > UpDown1->Max())
        return;
    UpDown1->SetPosition(position);
    bool allow = true;
    UpDown1Changing(UpDown1, position, allow);
}

// ---- progress ----

void TDocForm::ShowProgress(const std::string& text, int maximum) {
    Label1->SetCaption(ToQString(text));
    Label1->adjustSize();
    if (maximum >= 1) {
        ProgressBar1->move(Label1->x() + Label1->width() + 4, ProgressBar1->y());
        ProgressBar1->SetMax(maximum);
        ProgressBar1->SetPosition(0);
        ProgressBar1->show();
    } else {
        ProgressBar1->hide();
    }
    Panel5->show();
    ProcessMessages();
}

void TDocForm::SetProgress(int position) {
    ProgressBar1->SetPosition(position);
    ProcessMessages();
}

void TDocForm::HideProgress() {
    Panel5->hide();
}

// ---- printing ----

std::string TDocForm::BaseTitle() const {
    if (Databuffer->FileNames.Count() > 0)
        return CutFileName(Databuffer->FileNames[0]);
    if (Databuffer->ProvaCount() > 0 && !Databuffer->GetProva(0).FileName.empty())
        return CutFileName(Databuffer->GetProva(0).FileName);
    const TDateTime now = Now();
    return "Vornix document " + FormatDateTime(FormatSettings().ShortDateFormat, now) + " " +
           FormatDateTime(FormatSettings().ShortTimeFormat, now);
}

void TDocForm::PrintDocumentDialog() {
    if (!DocBox)
        return;
    PrintDialogRequest request = printRequest_;
    request.MinPage = request.FromPage = 1;
    request.MaxPage = request.ToPage = DocBox->PageCount();
    if (!Ui().PrintDialog(request))
        return;
    std::string file;
    if (!ChoosePrintFile(request, file))
        return;
    PrintThrough(file, [&] { PrintPages(request.FromPage, request.ToPage); });
}

bool TDocForm::ChoosePrintFile(const PrintDialogRequest& request, std::string& file) {
    file.clear();
    const bool pdf = PrinterIndex() >= 0 && dynamic_cast<PdfPrinter*>(&Printer());
    if (!pdf && !request.PrintToFile)
        return true;
    FileDialogRequest ask;
    ask.Filter = Text("IDS_91");
    ask.DefaultExt = "pdf";
    ask.OverwritePrompt = FileMessage("IDS_70");
    // A dated title holds the date's and time's separators, which a file name cannot.
    std::string proposed = BaseTitle() + ".pdf";
    std::replace_if(
        proposed.begin(), proposed.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; },
        '-');
    ask.FileName = proposed;
    ReadKolmVar(BasePath, "Kolm Path", "Last pdf path", ask.InitialDir);
    file = Ui().SaveFileAsking(ask);
    if (file.empty())
        return false;
    if (ExtractFileExt(file).empty())
        file += ".pdf";
    WriteKolmVar(BasePath, "Kolm Path", "Last pdf path", ExtractFilePath(file));
    return true;
}

void TDocForm::PrintThrough(const std::string& file, const std::function<void()>& print) {
    if (file.empty()) {
        print();
        return;
    }
    int pdfIndex = -1;
    for (size_t i = 0; i < Printers().size() && pdfIndex < 0; ++i)
        if (dynamic_cast<PdfPrinter*>(Printers()[i].get()))
            pdfIndex = static_cast<int>(i);
    if (pdfIndex < 0)
        throw EPrinter(std::string("No printer \"") + PdfPrinter::kName + "\" to print to a file");
    // The pages take their layout from the printer: they turn and paginate again on each
    // change, so that the file holds what that printer would print.
    auto use = [this](int index) {
        if (index < 0 || index >= static_cast<int>(Printers().size()) || index == PrinterIndex())
            return;
        SetPrinterIndex(index);
        if (TWPPage* page = CurrentPage())
            Printer().SetOrientation(page->printerorientation);
        for (TWPPage* page : Pages()) {
            if (TWPReport* report = page->Report())
                report->NeedsPagination = true;
            page->InvalidateAll();
        }
        InvalidatePage();
    };
    const int previous = PrinterIndex();
    TPdfOutputScope output(file);
    use(pdfIndex);
    try {
        print();
    } catch (...) {
        use(previous);
        throw;
    }
    use(previous);
}

void TDocForm::PrintPages(int from, int to) {
    if (!DocBox)
        return;
    const int count = DocBox->PageCount();
    from = std::max(from, 1);
    if (to < 1 || to > count)
        to = count;
    if (to < from || to < 1)
        return;

    WorkScope work([this] { BeginWork(); }, [this] { EndWork(); });
    // Report sheets are composed one at a time as they go to the printer.
    std::vector<TPageSheet> sheets;
    ShowProgress(Text("IDS_2"), to - from);
    const int remembered = DocBox->CurrentIndex();
    DeselectGraphAxes();
    auto restoreTab = [&] {
        HideProgress();
        if (DocBox && DocBox->CurrentIndex() != remembered && remembered >= 0 &&
            remembered < elencopagine->count())
            elencopagine->SetTabIndex(remembered);
    };
    try {
        for (int i = from - 1; i < to && DocBox && i < DocBox->PageCount(); ++i) {
            TabChangePending = i != DocBox->CurrentIndex();
            elencopagine->SetTabIndex(i);
            TWPPage* const taken = CurrentPage();
            TakePrinterOrientation();
            WaitUntil([this] { return !TabChangePending; }, kWaitLimitMs);
            // Laid out again only if the tab change brought another page or orientation: a
            // graph of a million points takes seconds and its size again in memory.
            if (CurrentPage() != taken || (taken && PrinterIndex() >= 0 &&
                                           taken->printerorientation != Printer().Orientation()))
                TakePrinterOrientation();
            ProcessMessages();
            WaitUntil(
                [this, i] {
                    TWPPage* page = DocBox ? DocBox->GetPage(i) : nullptr;
                    return !page || !page->Busy();
                },
                kWaitLimitMs);
            if (!DocBox)
                return;
            DocBox->ListPageSheets(i, sheets);
            SetProgress(i - from + 2);
        }
        if (!DocBox)
            return;
        PrinterDevice& printer = Printer();
        if (!sheets.empty())
            printer.SetOrientation(sheets[0].Orientation);
        ShowProgress(Text("IDS_4"), static_cast<int>(sheets.size()));
        TPrintBatch batch(printer);
        try {
            const std::string base = BaseTitle();
            const bool dated =
                Databuffer->FileNames.Count() == 0 &&
                (Databuffer->ProvaCount() == 0 || Databuffer->GetProva(0).FileName.empty());
            printer.Title = base;
            printer.BeginDoc();
            QElapsedTimer shown;
            shown.start();
            for (size_t j = 0; j < sheets.size(); ++j) {
                if (j >= 1) {
                    if (sheets[j].Orientation == sheets[j - 1].Orientation) {
                        printer.NewPage();
                    } else {
                        printer.EndDoc();
                        printer.SetOrientation(sheets[j].Orientation);
                        TWPPage* page = DocBox ? DocBox->GetPage(sheets[j].Page) : nullptr;
                        printer.Title =
                            dated ? BaseTitle() : base + "_" + (page ? page->pagename : "");
                        printer.BeginDoc();
                    }
                }
                if (!DocBox)
                    return;
                const Metafile picture = DocBox->ComposePageSheet(sheets[j]);
                sheets[j].Picture.Clear();
                printer.Canvas().Draw(-printer.GetDeviceCaps(PHYSICALOFFSETX),
                                      -printer.GetDeviceCaps(PHYSICALOFFSETY), picture);
                // Each round of message processing may redraw the page on screen: a report
                // of thousands of sheets shows its progress a few times a second.
                if (shown.elapsed() >= kProgressMs || j + 1 == sheets.size()) {
                    SetProgress(static_cast<int>(j) + 1);
                    shown.restart();
                }
            }
            printer.EndDoc();
            batch.Close();
        } catch (...) {
            if (printer.Printing())
                printer.Abort();
            batch.Abort();
            throw;
        }
    } catch (...) {
        restoreTab();
        throw;
    }
    restoreTab();
}

void TDocForm::PrintCurrentPage() {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    PrintDialogRequest request = printRequest_;
    request.MinPage = request.FromPage = request.MaxPage = request.ToPage = 1;
    if (TWPReport* report = page->Report(); report && page->PAGEKIND() == PK_REPORT) {
        request.MaxPage = request.ToPage = std::max(1, report->PageCount());
    } else {
        DeselectGraphAxes();
    }
    if (!Ui().PrintDialog(request))
        return;
    if (!ChoosePrintFile(request, printFile_))
        return;
    printRequest_ = request;
    TakePrinterOrientation();
    repaint();
    Timer1->SetEnabled(true);
}

void TDocForm::Timer1Timer(TComponent*) {
    Timer1->SetEnabled(false);
    WorkScope work([this] { BeginWork(); }, [this] { EndWork(); });
    WaitUntil(
        [this] {
            TWPPage* page = CurrentPage();
            return !page || !page->Busy();
        },
        kWaitLimitMs);
    const std::string file = std::exchange(printFile_, std::string());
    if (!CurrentPage())
        return;
    PrintThrough(file, [this] {
        switch (printRequest_.PrintRange) {
        case TPrintRange::prAllPages:
            DocBox->PrintCurrentPage(1, printRequest_.MinPage, printRequest_.MaxPage);
            break;
        case TPrintRange::prSelection:
            DocBox->PrintCurrentPage(1, -1, -1);
            break;
        case TPrintRange::prPageNums:
            DocBox->PrintCurrentPage(1, printRequest_.FromPage, printRequest_.ToPage);
            break;
        }
    });
    ReturnToWindow();
}

// ---- export ----

void TDocForm::ExportMetafile() {
    if (!CurrentPage())
        return;
    FileDialogRequest request;
    request.Filter = Text("IDS_9");
    request.InitialDir = BasePath;
    request.DefaultExt = "WMF";
    request.OverwritePrompt = FileMessage("IDS_70");
    const std::string named = Ui().SaveFileAsking(request);
    if (named.empty())
        return;
    // Cut within the file name, so that a point in a folder stays.
    std::string name = named;
    const size_t nameStart =
        name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1;
    const size_t point = name.find('.', nameStart);
    if (point != std::string::npos)
        name.erase(point);
    name += ".WMF";
    if (!ConfirmReplace(named, name))
        return;
    if (DocBox && CurrentPage())
        DocBox->SaveCurrentPageAsMetafile(name);
}

// ---- page dialogs ----

void TDocForm::EditMargins(bool everyPage) {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    std::unique_ptr<Tdef_margini> dialog(CreateForm<Tdef_margini>(this));
    dialog->SpinEdit1->SetValue(page->MarginTop);
    dialog->SpinEdit2->SetValue(page->MarginLeft);
    dialog->SpinEdit3->SetValue(page->MarginRight);
    dialog->SpinEdit4->SetValue(page->MarginBottom);
    if (dialog->ShowModal() != mrOk)
        return;
    const int top = dialog->SpinEdit1->Value();
    const int left = dialog->SpinEdit2->Value();
    const int right = dialog->SpinEdit3->Value();
    const int bottom = dialog->SpinEdit4->Value();
    std::vector<TWPPage*> targets;
    if (everyPage)
        targets = Pages();
    else if (TWPPage* current = CurrentPage())
        targets.push_back(current);
    for (TWPPage* p : targets) {
        p->MarginLeft = left;
        p->MarginTop = top;
        p->MarginRight = right;
        p->MarginBottom = bottom;
        p->InvalidateAll();
    }
    MarkModified();
    if (DocBox)
        DocBox->RedrawCurrentPage();
}

void TDocForm::EditAttributes(bool everyPage) {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    std::unique_ptr<Tfrm_dlg_attributi> dialog(CreateForm<Tfrm_dlg_attributi>(this));
    dialog->SetInfoFont(page->infofont());
    dialog->Edit1->SetText(ToQString(page->informazioni_up));
    dialog->Edit2->SetText(ToQString(page->informazioni_down));
    if (dialog->ShowModal() != mrOk)
        return;
    const std::string up = Utf8ToCp1252(dialog->Edit1->Text().toStdString());
    const std::string down = Utf8ToCp1252(dialog->Edit2->Text().toStdString());
    std::vector<TWPPage*> targets;
    if (everyPage)
        targets = Pages();
    else if (TWPPage* current = CurrentPage())
        targets.push_back(current);
    for (TWPPage* p : targets) {
        p->infofont().Assign(dialog->InfoFont());
        p->informazioni_up = up;
        p->informazioni_down = down;
        p->InvalidateAll();
    }
    MarkModified();
    if (DocBox) {
        DocBox->RedrawCurrentPage();
        DocBox->ZoomToFit();
    }
}

void TDocForm::PageMenuOpened() {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    if (page->Header())
        MenuItem("Intestazione1")->SetChecked(page->Header()->Enabled());
    if (page->Footer())
        MenuItem("Pipagina1")->SetChecked(page->Footer()->Enabled());
}

void TDocForm::ToggleHeaderFooter(bool header) {
    TWPPage* page = CurrentPage();
    TIntestazione* table = page ? (header ? page->Header() : page->Footer()) : nullptr;
    if (!table)
        return;
    TMenuItem* item = MenuItem(header ? "Intestazione1" : "Pipagina1");
    item->SetChecked(!item->isChecked());
    table->SetEnabled(item->isChecked());
    MarkModified();
    page->InvalidateAll();
    DocBox->RedrawCurrentPage();
}

void TDocForm::EditCellTable(bool header) {
    TWPPage* page = CurrentPage();
    TIntestazione* table = page ? (header ? page->Header() : page->Footer()) : nullptr;
    if (!table)
        return;
    // The palette floats beside the window and edits the table in place; what it changes
    // reaches the page, as before, and marks the document.
    table->OnChange = [this, page](TComponent*) {
        page->ObjectChanged();
        MarkModified();
    };
    table->ToggleCellEditor(nullptr);
    page->InvalidateAll();
    DocBox->RedrawCurrentPage();
}

void TDocForm::RepaintCurrentPage() {
    if (TWPPage* page = CurrentPage()) {
        page->InvalidateAll();
        DocBox->RedrawCurrentPage();
    }
}

void TDocForm::EditReportProperties() {
    TWPPage* page = CurrentPage();
    if (!page)
        return;
    if (page->PAGEKIND() == PK_REPORT && page->Report()) {
        if (!Dialogs || !Dialogs->EditReport(*page->Report(), Databuffer.get()))
            return;
        MarkModified();
        page = CurrentPage();
        if (!page || !page->Report())
            return;
        // The old sheets show the old definition: the report lays itself out anew.
        TWPReport* report = page->Report();
        report->Dirty = true;
        report->NeedsPagination = true;
        report->Invalidate();
        page->RelayoutReportPage();
    } else if (page->PAGEKIND() == PK_REPORTPRO) {
        QMdiArea* area = nullptr;
        for (QWidget* w = parentWidget(); w && !area; w = w->parentWidget())
            area = qobject_cast<QMdiArea*>(w);
        CreateForm<TFReportStruct>(area);
    }
}

void TDocForm::EditGeneralParameters() {
    if (!Dialogs)
        return;
    TAttributiProve styles = AttributiProve();
    TStringList mapping;
    mapping.Assign(MappingList);
    const std::vector<std::string> labels =
        Databuffer ? Databuffer->LabelTable.Items() : std::vector<std::string>();
    const bool confirmed = Dialogs->EditGeneralParameters(styles, Databuffer.get(), mapping);
    // Labels confirmed inside the dialog stay even when the dialog itself is cancelled.
    const bool labelsChanged = Databuffer && Databuffer->LabelTable.Items() != labels;
    if (!confirmed && !labelsChanged)
        return;
    if (confirmed) {
        AttributiProve() = styles;
        MappingList.Assign(mapping);
    }
    MarkModified();
    if (DocBox) {
        if (TWPPage* page = CurrentPage())
            page->InvalidateAll();
        DocBox->RedrawCurrentPage();
    }
}

} // namespace vx

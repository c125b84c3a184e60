#include "app/editor32.h"

#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/SheetBook.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Timer.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Icons.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StatusBar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vx {

Tfrm_32bitedit::Tfrm_32bitedit(QWidget* parent) : TForm(parent, "frm_32bitedit") {
    resize(640, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    const std::pair<TSpeedButton**, const char*> buttons[] = {
        {&SpeedButton1, "document-open"},    {&SpeedButton2, "edit-copy"},
        {&SpeedButton3, "edit-cut"},         {&SpeedButton4, "edit-paste"},
        {&SpeedButton5, "document-save-as"}, {&SpeedButton6, "format-text-code"},
        {&SpeedButton7, "object-columns"},   {&SpeedButton8, "object-rows"},
    };
    int index = 1;
    for (const auto& [button, icon] : buttons) {
        *button = new TSpeedButton(this, "SpeedButton" + QString::number(index++));
        (*button)->SetGlyph(ToolIcon(icon));
        (*button)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tools->addWidget(*button);
    }
    tools->addStretch(1);
    for (TSpeedButton* toggle : {SpeedButton6, SpeedButton7, SpeedButton8}) {
        toggle->SetGroupIndex(toggle == SpeedButton6 ? 1 : toggle == SpeedButton7 ? 2 : 3);
        toggle->SetAllowAllUp(true);
    }
    layout->addLayout(tools);
    SheetBook1 = new TSheetBook(this, "SheetBook1");
    layout->addWidget(SheetBook1, 1);
    StatusBar1 = new TStatusBar(this, "StatusBar1");
    StatusBar1->AddPanel(80);
    StatusBar1->AddPanel(200);
    layout->addWidget(StatusBar1);

    Timer1 = new TTimer();
    Timer1->SetInterval(1000);
    Timer1->Tag = 0;
    Timer1->OnTimer = [this](TComponent*) { Timer1Timer(this); };
    Timer1->SetEnabled(true);

    MainMenu1 = new TMainMenu(this, "MainMenu1");
    Editor1 = MainMenu1->Add("Editor1", "&Editor", 1);
    auto item = [](TMenuItem* menu, const char* name, const char* caption) {
        return menu->Add(QString::fromLatin1(name), ToQString(caption));
    };
    Copia1 = item(Editor1, "Copia1", "&Copia");
    Taglia1 = item(Editor1, "Taglia1", "&Taglia");
    Incolla1 = item(Editor1, "Incolla1", "&Incolla");
    Save1 = item(Editor1, "Save1", "Salva con &nome...");
    Salva1 = item(Editor1, "Salva1", "&Salva...");
    Close1 = item(Editor1, "Close1", "&Close");
    Format1 = item(Editor1, "Format1", "&Format");
    item(Format1, "Allinea1", "&Allinea...");
    item(Format1, "Bordi1", "&Bordi...");
    item(Format1, "Font1", "&Font...");
    item(Format1, "Pattern1", "&Pattern...");
    item(Format1, "Numeri1", "Numeri...");
    item(Format1, "SetupPagina1", "Setup Pagina...");
    DimensionaColonne1 = item(Editor1, "DimensionaColonne1", "&Dimensiona Colonne");
    ParametriIperbolici1 = item(Editor1, "ParametriIperbolici1", "Parametri &Iperbolici");
    ParametriIperbolici1->SetEnabled(false);
    Fogli1 = MainMenu1->Add("Fogli1", "Fogli", 1);
    Inseriscifoglio1 = item(Fogli1, "Inseriscifoglio1", "&Inserisci foglio");
    EliminaFoglio1 = item(Fogli1, "EliminaFoglio1", "&Elimina Foglio");

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { Copia1Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { Taglia1Click(s); };
    SpeedButton4->OnClick = [this](QObject* s) { Incolla1Click(s); };
    SpeedButton5->OnClick = [this](QObject* s) { Save1Click(s); };
    SpeedButton6->OnClick = [this](QObject* s) { SpeedButton6Click(s); };
    SpeedButton7->OnClick = [this](QObject* s) { SpeedButton7Click(s); };
    SpeedButton8->OnClick = [this](QObject* s) { SpeedButton8Click(s); };
    Copia1->OnClick = [this](QObject* s) { Copia1Click(s); };
    Taglia1->OnClick = [this](QObject* s) { Taglia1Click(s); };
    Incolla1->OnClick = [this](QObject* s) { Incolla1Click(s); };
    Save1->OnClick = [this](QObject* s) { Save1Click(s); };
    Salva1->OnClick = [this](QObject* s) { Salva1Click(s); };
    Close1->OnClick = [this](QObject* s) { Close1Click(s); };
    SheetBook1->OnModified = [this](QObject* s) { SheetBook1Modified(s); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& action) { FormClose(s, action); };
    mlLang1 = CreateFormTable(this, "Tfrm_32bitedit");
}

Tfrm_32bitedit::~Tfrm_32bitedit() {
    delete Timer1;
}

std::string Tfrm_32bitedit::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

void Tfrm_32bitedit::ShowState(bool changed) {
    changed_ = changed;
    StatusBar1->Panel(1)->SetText(ToQString(Text(changed ? "IDS_1" : "IDS_0")));
}

void Tfrm_32bitedit::FormCreate(QObject*) {
    StatusBar1->Panel(0)->SetText(ToQString(Text("IDS_5")));
    ShowState(false);
}

void Tfrm_32bitedit::FormActivate(QObject*) {
    SheetBook1->SetShowEditBar(true);
}

bool Tfrm_32bitedit::LoadFile(const std::string& path) {
    try {
        int type = TSheetBook::kTextFile;
        SheetBook1->Read(path, type);
    } catch (const ESheetTooLarge&) {
        Ui().ShowMessage(Text("IDS_2") + path);
        return false;
    } catch (const std::exception& e) {
        Ui().ShowMessage(FileErrorText(e, path, false));
        return false;
    }
    // The name changes only with the cells: a later save must not put the old cells over
    // the new file.
    fileName_ = path;
    SheetBook1->SetSheetName(SheetBook1->Sheet(), ExtractFileName(path));
    SheetBook1->SetModified(false);
    ShowState(false);
    return true;
}

bool Tfrm_32bitedit::QuerySave() {
    if (!changed_)
        return true;
    switch (Ui().MessageDlg(Text("IDS_3"), TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        return Salva1Click(this);
    case mrNo:
        ShowState(false);
        return true;
    default:
        return false;
    }
}

void Tfrm_32bitedit::FormCloseQuery(QObject*, bool& canClose) {
    canClose = QuerySave();
}

void Tfrm_32bitedit::FormClose(QObject*, TCloseAction& action) {
    action = TCloseAction::caFree;
}

void Tfrm_32bitedit::SpeedButton1Click(QObject*) {
    if (!QuerySave())
        return;
    FileDialogRequest request;
    request.InitialDir = ExtractFileDir(FromQString(Caption()));
    request.Filter = Text("IDS_4");
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (chosen.empty())
        return;
    if (LoadFile(chosen.front()))
        SetCaption(ToQString(chosen.front()));
}

void Tfrm_32bitedit::Copia1Click(QObject*) {
    SheetBook1->EditCopy();
}

void Tfrm_32bitedit::Taglia1Click(QObject*) {
    SheetBook1->EditCut();
}

void Tfrm_32bitedit::Incolla1Click(QObject*) {
    try {
        SheetBook1->EditPaste();
    } catch (const std::exception& e) {
        Ui().MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

bool Tfrm_32bitedit::WriteTo(const std::string& path) {
    try {
        SheetBook1->Write(path, TSheetBook::kTextFile);
    } catch (const std::exception& e) {
        Ui().ShowMessage(FileErrorText(e, path, true));
        return false;
    }
    SheetBook1->SetModified(false);
    ShowState(false);
    return true;
}

bool Tfrm_32bitedit::Salva1Click(QObject*) {
    return WriteTo(fileName_);
}

void Tfrm_32bitedit::Save1Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = ExtractFileDir(fileName_);
    request.FileName = ExtractFileName(fileName_);
    request.Filter = Text("IDS_4");
    const std::string chosen = Ui().SaveFileDialog(request);
    if (!chosen.empty())
        WriteTo(chosen);
}

void Tfrm_32bitedit::Close1Click(QObject*) {
    Close();
}

void Tfrm_32bitedit::SpeedButton6Click(QObject*) {
    SheetBook1->SetShowFormulas(SpeedButton6->Down());
}

void Tfrm_32bitedit::SpeedButton7Click(QObject*) {
    TSheetBook* sheet = SheetBook1;
    if (!SpeedButton7->Down()) {
        sheet->SetFixedCols(0);
        return;
    }
    const int col = sheet->Col(), left = sheet->LeftCol();
    // A current column left of the view would freeze columns the user does not see.
    if (col < 1 || col < left) {
        SpeedButton7->SetDown(false);
        return;
    }
    sheet->SetFixedCol(left);
    sheet->SetFixedCols(col - left + 1);
}

void Tfrm_32bitedit::SpeedButton8Click(QObject*) {
    TSheetBook* sheet = SheetBook1;
    if (!SpeedButton8->Down()) {
        sheet->SetFixedRows(0);
        return;
    }
    const int row = sheet->Row(), top = sheet->TopRow();
    if (row < 1 || row < top) {
        SpeedButton8->SetDown(false);
        return;
    }
    sheet->SetFixedRow(top);
    sheet->SetFixedRows(row - top + 1);
}

void Tfrm_32bitedit::SheetBook1Modified(QObject*) {
    SheetBook1->SetModified(false);
    if (Timer1->Tag == 1)
        ShowState(true);
}

void Tfrm_32bitedit::Timer1Timer(QObject*) {
    Timer1->Tag = 1;
    Timer1->SetEnabled(false);
}

void InstallTestEditor(TMainExtensions& extensions) {
    extensions.EditTestFile = [](TMainForm& main, const std::string& path) {
        auto* editor = CreateForm<Tfrm_32bitedit>();
        editor->SetCaption(ToQString(path));
        if (!editor->LoadFile(path)) {
            delete editor;
            return;
        }
        main.AddChildWindow(editor);
        editor->SheetBook1->SetShowEditBar(true);
        editor->Show();
    };
}

} // namespace vx

#include "app/GetProve.h"

#include "data/Settings.h"
#include "data/WPComp.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DirectoryListBox.h"
#include "platform/ui/DriveComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileListBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"
#include "platform/ui/SpeedButton.h"

#include <QFile>

#include <memory>
#include <utility>

namespace vx {

namespace {

constexpr std::string_view kSection = "Kolm Path";
constexpr std::string_view kPreviewOn = "Anteprima FIle";
constexpr std::string_view kPreviewFrom = "Anteprima From";
constexpr std::string_view kPreviewTo = "Anteprima To";
constexpr std::string_view kLastModel = "Last WHF Used";
constexpr std::string_view kTestFolder = "Path Main Prove";

bool ReadKey(std::string_view key, std::string& value) {
    return ReadKolmVar(BasePath, kSection, key, value);
}

} // namespace

bool ReadPreviewLines(const std::string& path, int from, int to, std::vector<std::string>& lines) {
    lines.clear();
    QFile file(QString::fromStdString(ToLocalPath(path)));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    int64_t lineNo = 1;
    std::string line;
    auto wanted = [&] { return lineNo <= to && lines.size() < kMaxPreviewLines; };
    auto endLine = [&] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNo >= from) {
            for (char& c : line)
                if (static_cast<unsigned char>(c) < 32)
                    c = ' ';
            lines.push_back(std::move(line));
        }
        line.clear();
        ++lineNo;
    };
    char buffer[65536];
    while (wanted()) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0) {
            if (!line.empty())
                endLine();
            break;
        }
        for (qint64 i = 0; i < got && wanted(); ++i) {
            const char c = buffer[i];
            if (c == '\n')
                endLine();
            else if (lineNo >= from && line.size() < kMaxPreviewLineLength)
                line += c;
        }
    }
    return true;
}

// ---- TF_Def_Ant ----

TF_Def_Ant::TF_Def_Ant(QWidget* parent) : TForm(parent, "F_Def_Ant") {
    resize(230, 110);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 12, 110, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 124, 8, 90, 22);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 42, 110, 16);
    Edit2 = Placed(new TEdit(this, "Edit2"), 124, 38, 90, 22);
    OKBtn = Placed(new TButton(this, "OKBtn"), 32, 74, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 120, 74, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    mlLang1 = CreateFormTable(this, "TF_Def_Ant");
}

// ---- TOpenListFile ----

TOpenListFile::TOpenListFile(QWidget* parent) : TForm(parent, "OpenListFile") {
    resize(781, 560);
    DriveComboBox1 = Placed(new TDriveComboBox(this, "DriveComboBox1"), 8, 8, 360, 24);
    DirectoryListBox1 = Placed(new TDirectoryListBox(this, "DirectoryListBox1"), 8, 36, 360, 150);
    Edit2 = Placed(new TEdit(this, "Edit2"), 8, 190, 80, 22);
    Edit2->SetText("*.*");
    Edit2->SetReadOnly(true);
    FileListBox1 = Placed(new TFileListBox(this, "FileListBox1"), 8, 216, 360, 150);
    Label3 = Placed(new TLabel(this, "Label3"), 8, 372, 200, 16);
    ListBox1 = Placed(new TListBox(this, "ListBox1"), 8, 390, 360, 110);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 8, 506, 100, 24);
    SpeedButton1->SetGroupIndex(1);
    SpeedButton1->SetAllowAllUp(true);
    SpeedButton2 = Placed(new TSpeedButton(this, "SpeedButton2"), 112, 506, 140, 24);
    SpeedButton3 = Placed(new TSpeedButton(this, "SpeedButton3"), 256, 506, 112, 24);
    OKBtn = Placed(new TButton(this, "OKBtn"), 120, 532, 80, 26);
    OKBtn->ModalResult = mrOk;
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 206, 532, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    Memo1 = Placed(new TMemo(this, "Memo1"), 376, 8, 400, 522);
    Memo1->setReadOnly(true);
    Memo1->SetWordWrap(false);

    // The load-model choice is kept for the stored settings but not offered.
    Label1 = Placed(new TLabel(this, "Label1"), 8, 190, 100, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1"), 110, 186, 150, 24);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 216, 100, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 110, 212, 150, 22);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Label1, ComboBox1, Label2, Edit1})
        hidden->hide();

    DriveComboBox1->SetDirList(DirectoryListBox1);
    DirectoryListBox1->SetFileList(FileListBox1);
    FileListBox1->SetMask(FromQString(Edit2->Text()));

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    FileListBox1->OnClick = [this](QObject* s) { FileListBox1Click(s); };
    FileListBox1->OnDblClick = [this](QObject* s) { FileListBox1DblClick(s); };
    ListBox1->OnDblClick = [this](QObject* s) { ListBox1DblClick(s); };
    ListBox1->OnKeyDown = [this](QObject* s, int& key, Qt::KeyboardModifiers shift) {
        ListBox1KeyDown(s, key, shift);
    };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& action) { FormClose(s, action); };
    mlLang1 = CreateFormTable(this, "TOpenListFile");
}

std::string TOpenListFile::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

std::vector<std::string> TOpenListFile::Tests() const {
    std::vector<std::string> tests;
    for (const QString& item : ListBox1->Items())
        tests.push_back(FromQString(item));
    return tests;
}

void TOpenListFile::FormCreate(QObject*) {
    from_ = 1;
    to_ = 3;
    std::string value;
    if (ReadKey(kPreviewOn, value) && value == "1")
        SpeedButton1->SetDown(true);
    // A value that is no integer is left out rather than making the chooser unopenable.
    int32_t number = 0;
    if (ReadKey(kPreviewFrom, value) && TryStrToInt(value, number))
        from_ = number;
    if (ReadKey(kPreviewTo, value) && TryStrToInt(value, number))
        to_ = number;
    SpeedButton1Click(SpeedButton1);
    FillLoadModels();
    if (!(ReadKey(kTestFolder, value) && DirectoryListBox1->SetDirectory(value)))
        DirectoryListBox1->SetDirectory(BasePath.empty() ? std::string(".") : BasePath);
}

void TOpenListFile::FillLoadModels() {
    TStringList files;
    ListFilesByMask(files, ConfigurationsFolder() + "*.WHF");
    QStringList models;
    for (const std::string& file : files.Items())
        models << ToQString(file.substr(0, file.size() - 4));
    ComboBox1->SetItems(models);
    std::string last;
    if (!ReadKey(kLastModel, last))
        return;
    for (int i = 0; i < models.size(); ++i)
        if (SameText(FromQString(models[i]), last)) {
            ComboBox1->SetItemIndex(i);
            return;
        }
}

void TOpenListFile::SpeedButton1Click(QObject*) {
    const QWidget* last = SpeedButton1->Down() ? static_cast<QWidget*>(Memo1)
                                               : static_cast<QWidget*>(DirectoryListBox1);
    resize(last->x() + last->width() + 5, height());
    const int outer = frameGeometry().width();
    move((Screen().Width - outer) / 2, y());
}

void TOpenListFile::FileListBox1Click(QObject*) {
    if (SpeedButton1->Down())
        ShowPreview(FileListBox1->FileName());
}

void TOpenListFile::ShowPreview(const std::string& path) {
    Memo1->SetLines({});
    std::vector<std::string> lines;
    ReadPreviewLines(path, from_, to_, lines);
    QStringList shown;
    for (const std::string& line : lines)
        shown << ToQString(line);
    Memo1->SetLines(shown);
}

void TOpenListFile::AddTest(const std::string& path) {
    if (path.empty())
        return;
    if (ListBox1->Count() >= kMaxTests) {
        Ui().ShowMessage(Text("IDS_0") + IntToStr(kMaxTests) + Text("IDS_1"));
        return;
    }
    for (const QString& item : ListBox1->Items())
        if (SameText(FromQString(item), path))
            return;
    ListBox1->Add(ToQString(path));
}

void TOpenListFile::FileListBox1DblClick(QObject*) {
    AddTest(FileListBox1->FileName());
}

void TOpenListFile::SpeedButton3Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = DirectoryListBox1->Directory();
    request.Filter = "*.*|*.*";
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (!chosen.empty())
        AddTest(chosen.front());
}

void TOpenListFile::RemoveSelectedTest() {
    ListBox1->Delete(ListBox1->ItemIndex());
}

void TOpenListFile::ListBox1DblClick(QObject*) {
    RemoveSelectedTest();
}

void TOpenListFile::ListBox1KeyDown(QObject*, int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete)
        RemoveSelectedTest();
}

void TOpenListFile::SpeedButton2Click(QObject*) {
    std::unique_ptr<TF_Def_Ant> dialog(CreateForm<TF_Def_Ant>(this));
    dialog->Edit1->SetText(ToQString(IntToStr(from_)));
    dialog->Edit2->SetText(ToQString(IntToStr(to_)));
    if (dialog->ShowModal() != mrOk)
        return;
    // Both are converted before either is taken, so that a wrong text changes nothing.
    int from = StrToInt(FromQString(dialog->Edit1->Text()));
    int to = StrToInt(FromQString(dialog->Edit2->Text()));
    from = std::max(from, 1);
    to = std::max(to, 1);
    if (from > to)
        std::swap(from, to);
    from_ = from;
    to_ = to;
}

void TOpenListFile::FormCloseQuery(QObject*, bool& canClose) {
    if (ModalResult() == mrOk && ListBox1->Count() == 0) {
        Ui().ShowMessage(Text("IDS_3"));
        canClose = false;
    }
}

void TOpenListFile::FormClose(QObject*, TCloseAction&) {
    if (ModalResult() != mrOk)
        return;
    if (ComboBox1->ItemIndex() >= 0)
        WriteKolmVar(BasePath, kSection, kLastModel, FromQString(ComboBox1->Text()));
    WriteKolmVar(BasePath, kSection, kTestFolder, DirectoryListBox1->Directory());
    WriteKolmVar(BasePath, kSection, kPreviewOn, SpeedButton1->Down() ? "1" : "0");
    WriteKolmVar(BasePath, kSection, kPreviewFrom, IntToStr(from_));
    WriteKolmVar(BasePath, kSection, kPreviewTo, IntToStr(to_));
}

} // namespace vx

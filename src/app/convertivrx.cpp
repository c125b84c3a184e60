#include "app/convertivrx.h"

#include "app/JvSearchFiles.h"
#include "app/JvSelectDirectory.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/Docmaster.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/LineReader.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <utility>

namespace vx {

namespace {

constexpr std::string_view kStateFile = "ConvVrx.set";
constexpr int kMaxRow = 999999;
// Paths a closing message names before it says "...".
constexpr size_t kMaxListedFailures = 10;

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(ToLocalPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The test's own line 1 with its leading number grown by `added`; as it was when that text is
// no number or the sum leaves 32 bits.
std::string AdjustedFirstLine(std::string_view line, int64_t added) {
    const size_t tab = line.find('\t');
    int32_t value = 0;
    if (added == 0 || !TryStrToInt(line.substr(0, tab), value))
        return std::string(line);
    const int64_t sum = static_cast<int64_t>(value) + added;
    if (sum > std::numeric_limits<int32_t>::max() || sum < std::numeric_limits<int32_t>::min())
        return std::string(line);
    return IntToStr(sum) + std::string(tab == std::string_view::npos ? "" : line.substr(tab));
}

// Lines gathered into large writes.
class TLineWriter {
public:
    explicit TLineWriter(TStream& stream) : stream_(stream) { buffer_.reserve(kChunk + 4096); }
    void Line(std::string_view line) {
        buffer_.append(line);
        buffer_.append("\r\n");
        if (buffer_.size() >= kChunk)
            Flush();
    }
    void Flush() {
        stream_.WriteBuffer(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    static constexpr size_t kChunk = 1 << 20;
    TStream& stream_;
    std::string buffer_;
};

// The little-endian fields of the state file.
void PutI32(std::string& out, int32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

void PutText(std::string& out, std::string_view text) {
    PutI32(out, static_cast<int32_t>(text.size()));
    out.append(text);
}

void PutTexts(std::string& out, const QStringList& texts) {
    PutI32(out, static_cast<int32_t>(texts.size()));
    for (const QString& text : texts)
        PutText(out, FromQString(text));
}

class TStateReader {
public:
    explicit TStateReader(std::string bytes) : bytes_(std::move(bytes)) {}
    bool I32(int32_t& value) {
        if (bytes_.size() - pos_ < 4)
            return false;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        value = static_cast<int32_t>(v);
        return true;
    }
    bool U8(uint8_t& value) {
        if (pos_ >= bytes_.size())
            return false;
        value = static_cast<uint8_t>(bytes_[pos_++]);
        return true;
    }
    bool Text(std::string& text) {
        int32_t length = 0;
        if (!I32(length) || length < 0 || static_cast<size_t>(length) > bytes_.size() - pos_)
            return false;
        text = bytes_.substr(pos_, static_cast<size_t>(length));
        pos_ += static_cast<size_t>(length);
        return true;
    }
    // A count and its texts, each given to `add` as soon as it is whole.
    template <class Add>
    bool Texts(Add add) {
        int32_t count = 0;
        if (!I32(count) || count < 0)
            return false;
        std::string text;
        for (int32_t i = 0; i < count; ++i) {
            if (!Text(text))
                return false;
            add(text);
        }
        return true;
    }

private:
    std::string bytes_;
    size_t pos_ = 0;
};

// Document name of a test: its name up to the first ".", or without that "." when the old
// extension is kept ("run.txt" gives "run" or "runtxt").
std::string DocumentName(const std::string& test, bool keepOldExtension) {
    std::string name = ExtractFileName(test);
    const size_t dot = name.find('.');
    if (dot != std::string::npos) {
        if (keepOldExtension)
            name.erase(dot, 1);
        else
            name.erase(dot);
    }
    return ExtractFilePath(test) + name + ".VRX";
}

} // namespace

std::string InsertOutputPath(const std::string& test, const TInsertChoices& choices) {
    if (!choices.NewPath)
        return test;
    // The test's folders below their first component (on this system the root "/") repeat
    // under the new root.
    const std::string folder = ExtractFilePath(test);
    size_t first = 0;
    while (first < folder.size() && !IsPathDelimiter(folder[first]))
        ++first;
    const std::string below = first < folder.size() ? folder.substr(first + 1) : std::string();
    return IncludeTrailingPathDelimiter(choices.NewRoot) + below + ExtractFileName(test);
}

std::string InsertHeaderLines(const std::string& test, int row,
                              const std::vector<std::string>& lines,
                              const TInsertChoices& choices) {
    const std::string output = InsertOutputPath(test, choices);
    LineReader reader(test);
    if (!choices.NewPath && ::access(ToLocalPath(test).c_str(), W_OK) != 0) {
        const int error = errno;
        throw EFOpenError("Cannot create file \"" + test + "\". " + std::strerror(error), error);
    }
    const std::string folder = ExtractFilePath(output);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
        throw EFOpenError("Cannot create file \"" + output + "\"");

    TAtomicFileStream file(output);
    TLineWriter writer(file);
    row = std::max(row, 1);
    const auto insert = [&] {
        for (const std::string& line : lines)
            writer.Line(line);
    };
    int64_t lineNo = 0;
    std::string_view line;
    while (reader.Next(line)) {
        ++lineNo;
        if (lineNo == row)
            insert();
        if (lineNo == 1 && row > 1 && choices.IncrementFirstLine)
            writer.Line(AdjustedFirstLine(line, static_cast<int64_t>(lines.size())));
        else
            writer.Line(line);
    }
    if (lineNo < row) {
        for (int64_t pad = lineNo + 1; pad < row; ++pad)
            writer.Line({});
        insert();
    }
    writer.Flush();
    file.Commit();
    return output;
}

// ---- TFConverti_Vrx ----

TFConverti_Vrx::TFConverti_Vrx(QWidget* parent) : TForm(parent, "FConverti_Vrx") {
    resize(660, 474);
    const auto button = [](QWidget* owner, const char* name, int left, int top, int width) {
        return Placed(new TSpeedButton(owner, name), left, top, width, 24);
    };

    GroupBox1 = Placed(new TGroupBox(this, "GroupBox1"), 8, 8, 320, 236);
    ListBox1 = Placed(new TListBox(GroupBox1, "ListBox1"), 8, 20, 304, 128);
    Button1 = button(GroupBox1, "Button1", 8, 152, 150);
    Button2 = button(GroupBox1, "Button2", 162, 152, 150);
    Button3 = button(GroupBox1, "Button3", 8, 180, 150);
    Button4 = button(GroupBox1, "Button4", 162, 180, 150);
    CheckBox1 = Placed(new TCheckBox(GroupBox1, "CheckBox1"), 8, 210, 304, 20);

    GroupBox2 = Placed(new TGroupBox(this, "GroupBox2"), 8, 250, 320, 154);
    ListBox2 = Placed(new TListBox(GroupBox2, "ListBox2"), 8, 20, 200, 126);
    Button5 = button(GroupBox2, "Button5", 214, 20, 98);
    Button6 = button(GroupBox2, "Button6", 214, 48, 98);
    Button7 = button(GroupBox2, "Button7", 214, 76, 98);

    GroupBox3 = Placed(new TGroupBox(this, "GroupBox3"), 336, 8, 316, 252);
    PageControl1 = Placed(new TPageControl(GroupBox3, "PageControl1"), 8, 20, 300, 192);
    TabSheet1 = new TTabSheet(PageControl1, "TabSheet1");
    Label2 = Placed(new TLabel(TabSheet1, "Label2"), 8, 10, 280, 16);
    ComboBox1 = Placed(new TComboBox(TabSheet1, "ComboBox1"), 8, 30, 280, 24);
    TabSheet2 = new TTabSheet(PageControl1, "TabSheet2");
    Label3 = Placed(new TLabel(TabSheet2, "Label3"), 8, 8, 196, 16);
    SpinEdit1 = Placed(new TSpinEdit(TabSheet2, "SpinEdit1"), 208, 4, 80, 22);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(kMaxRow);
    SpinEdit1->SetValue(1);
    Label4 = Placed(new TLabel(TabSheet2, "Label4"), 8, 32, 280, 16);
    ListBox3 = Placed(new TListBox(TabSheet2, "ListBox3"), 8, 50, 176, 106);
    Button8 = button(TabSheet2, "Button8", 190, 50, 98);
    Button9 = button(TabSheet2, "Button9", 190, 78, 98);
    Button10 = button(TabSheet2, "Button10", 190, 106, 98);
    SpeedButton4 = Placed(new TSpeedButton(GroupBox3, "SpeedButton4"), 8, 218, 300, 26);

    CheckBox2 = Placed(new TCheckBox(this, "CheckBox2"), 336, 266, 316, 20);
    CheckBox3 = Placed(new TCheckBox(this, "CheckBox3"), 336, 288, 316, 20);
    CheckBox3->SetChecked(true);
    RadioGroup1 = Placed(new TRadioGroup(this, "RadioGroup1"), 336, 310, 316, 72);
    RadioGroup1->SetItems({"Sostituisci vecchio file", "Nuovo percorso"});
    RadioGroup1->SetItemIndex(0);
    Panel1 = Placed(new TPanel(this, "Panel1"), 336, 386, 316, 30);
    Edit1 = Placed(new TEdit(Panel1, "Edit1"), 4, 4, 272, 22);
    SpeedButton5 = Placed(new TSpeedButton(Panel1, "SpeedButton5"), 282, 4, 30, 22);
    Panel1->setEnabled(false);

    Label1 = Placed(new TLabel(this, "Label1"), 8, 424, 644, 16);
    ProgressBar1 = Placed(new TProgressBar(this, "ProgressBar1"), 8, 446, 644, 20);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);
    ProgressBar1->SetPosition(0);

    searchFiles_ = std::make_unique<TJvSearchFiles>();
    JvSearchFiles1 = searchFiles_.get();
    JvSearchFiles1->SetName("JvSearchFiles1");
    selectDirectory_ = std::make_unique<TJvSelectDirectory>();
    JvSelectDirectory1 = selectDirectory_.get();
    JvSelectDirectory1->SetName("JvSelectDirectory1");

    const auto bind = [this](TSpeedButton* b, void (TFConverti_Vrx::*handler)(QObject*)) {
        b->OnClick = [this, handler](QObject* s) { (this->*handler)(s); };
    };
    bind(Button1, &TFConverti_Vrx::AddTestClick);
    bind(Button2, &TFConverti_Vrx::AddFolderClick);
    bind(Button3, &TFConverti_Vrx::DeleteTestClick);
    bind(Button4, &TFConverti_Vrx::ClearTestsClick);
    bind(Button5, &TFConverti_Vrx::AddMaskClick);
    bind(Button6, &TFConverti_Vrx::DeleteMaskClick);
    bind(Button7, &TFConverti_Vrx::ClearMasksClick);
    bind(Button8, &TFConverti_Vrx::AddLineClick);
    bind(Button9, &TFConverti_Vrx::DeleteLineClick);
    bind(Button10, &TFConverti_Vrx::ClearLinesClick);
    bind(SpeedButton4, &TFConverti_Vrx::SpeedButton4Click);
    bind(SpeedButton5, &TFConverti_Vrx::NewRootClick);
    PageControl1->OnChange = [this](QObject* s) { PageControl1Change(s); };
    RadioGroup1->OnClick = [this](QObject* s) { RadioGroup1Click(s); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& action) { FormClose(s, action); };
    mlLang1 = CreateFormTable(this, "TFConverti_Vrx");
}

TFConverti_Vrx::~TFConverti_Vrx() = default;

std::string TFConverti_Vrx::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

bool TFConverti_Vrx::Confirm(const char* id) {
    return Ui().MessageDlg(Text(id), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
}

void TFConverti_Vrx::FormCreate(QObject*) {
    TStringList files;
    ListFilesByMask(files, ConfigurationsFolder() + "*.CPF");
    std::vector<std::string> names = files.Items();
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    QStringList items;
    for (const std::string& name : names)
        items << ToQString(name);
    ComboBox1->SetItems(items);
    ComboBox1->SetItemIndex(-1);
    LoadState();
    PageControl1Change(PageControl1);
}

void TFConverti_Vrx::PageControl1Change(QObject*) {
    const int page = PageControl1->ActivePageIndex();
    CheckBox2->setEnabled(page == 0);
    RadioGroup1->setEnabled(page == 1);
    CheckBox3->setEnabled(page == 1);
}

void TFConverti_Vrx::RadioGroup1Click(QObject*) {
    Panel1->setEnabled(RadioGroup1->ItemIndex() == 1);
}

// ---- lists ----

void TFConverti_Vrx::AddEntry(const std::string& path) {
    if (path.empty())
        return;
    for (const QString& item : ListBox1->Items())
        if (SameText(FromQString(item), path))
            return;
    ListBox1->Add(ToQString(path));
}

void TFConverti_Vrx::AddTestClick(QObject*) {
    FileDialogRequest request;
    request.Filter = Text("IDS_103");
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (!chosen.empty())
        AddEntry(chosen.front());
}

void TFConverti_Vrx::AddFolderClick(QObject*) {
    if (JvSelectDirectory1->Execute())
        AddEntry(JvSelectDirectory1->Directory);
}

void TFConverti_Vrx::DeleteTestClick(QObject*) {
    if (ListBox1->ItemIndex() >= 0 && Confirm("IDS_0"))
        ListBox1->Delete(ListBox1->ItemIndex());
}

void TFConverti_Vrx::ClearTestsClick(QObject*) {
    if (ListBox1->Count() > 0 && Confirm("IDS_5"))
        ListBox1->Clear();
}

void TFConverti_Vrx::AddMaskClick(QObject*) {
    const std::string mask = Ui().InputBox(Text("IDS_1"), Text("IDS_104"), "");
    if (!mask.empty())
        ListBox2->Add(ToQString(mask));
}

void TFConverti_Vrx::DeleteMaskClick(QObject*) {
    if (ListBox2->ItemIndex() >= 0 && Confirm("IDS_3"))
        ListBox2->Delete(ListBox2->ItemIndex());
}

void TFConverti_Vrx::ClearMasksClick(QObject*) {
    if (ListBox2->Count() > 0 && Confirm("IDS_4"))
        ListBox2->Clear();
}

void TFConverti_Vrx::AddLineClick(QObject*) {
    const std::string line = Ui().InputBox(Text("IDS_17"), Text("IDS_18"), "");
    if (!line.empty())
        ListBox3->Add(ToQString(line));
}

void TFConverti_Vrx::DeleteLineClick(QObject*) {
    if (ListBox3->ItemIndex() >= 0 && Confirm("IDS_19"))
        ListBox3->Delete(ListBox3->ItemIndex());
}

void TFConverti_Vrx::ClearLinesClick(QObject*) {
    ListBox3->Clear();
}

void TFConverti_Vrx::NewRootClick(QObject*) {
    JvSelectDirectory1->InitialDir = FromQString(Edit1->Text());
    if (JvSelectDirectory1->Execute())
        Edit1->SetText(ToQString(JvSelectDirectory1->Directory));
}

// ---- conversion ----

std::vector<std::string> TFConverti_Vrx::CollectFiles() {
    std::vector<std::string> result;
    for (const QString& item : ListBox1->Items()) {
        const std::string entry = FromQString(item);
        if (IsRegularFile(entry)) {
            result.push_back(entry);
            continue;
        }
        if (!DirectoryExists(entry))
            continue;
        JvSearchFiles1->RootDirectory = entry;
        JvSearchFiles1->Options = soSearchFiles;
        JvSearchFiles1->DirOption =
            CheckBox1->Checked() ? TJvDirOption::doIncludeSubDirs : TJvDirOption::doExcludeSubDirs;
        TJvSearchParams& params = JvSearchFiles1->FileParams;
        params.FileMasks.Clear();
        if (ListBox2->Count() > 0) {
            params.SearchTypes |= stFileMask;
            for (const QString& mask : ListBox2->Items())
                params.FileMasks.Add(FromQString(mask));
        }
        JvSearchFiles1->Search();
        const auto& found = JvSearchFiles1->Files().Items();
        result.insert(result.end(), found.begin(), found.end());
    }
    return result;
}

void TFConverti_Vrx::BeginWork() {
    working_ = true;
    setEnabled(false);
    Ui().SetBusyCursor(true);
}

void TFConverti_Vrx::EndWork() {
    Ui().SetBusyCursor(false);
    setEnabled(true);
    working_ = false;
    if (closeRequested_) {
        closeRequested_ = false;
        QMetaObject::invokeMethod(
            this, [this] { Close(); }, Qt::QueuedConnection);
    }
}

template <class Convert>
bool TFConverti_Vrx::RunOverTests(const std::vector<std::string>& tests, Convert convert) {
    BeginWork();
    const int64_t n = static_cast<int64_t>(tests.size());
    for (int64_t i = 0; i < n; ++i) {
        const std::string& test = tests[static_cast<size_t>(i)];
        Label1->SetCaption(ToQString(Text("IDS_8") + test));
        ProgressBar1->SetPosition(static_cast<int>(i * 100 / n));
        try {
            convert(test);
        } catch (const std::exception& e) {
            EndWork();
            Ui().MessageDlg(Text("IDS_101") + test + "\r\n" + e.what(), TMsgDlgType::mtError, mbOK);
            return false;
        }
        ProcessMessages();
    }
    ProgressBar1->SetPosition(100);
    EndWork();
    return true;
}

void TFConverti_Vrx::ConvertToVrx() {
    const std::vector<std::string> tests = CollectFiles();
    const std::string configuration = ConfigurationsFolder() + FromQString(ComboBox1->Text());
    const bool keepOldExtension = CheckBox2->Checked();
    std::vector<std::string> notConverted;
    const bool done = RunOverTests(tests, [&](const std::string& test) {
        const std::string target = DocumentName(test, keepOldExtension);
        if (SameText(target, test)) {
            notConverted.push_back(test);
            return;
        }
        TDocmaster document;
        TStringList files;
        files.Add(test);
        document.LoadProject(configuration, files);
        // A document without its test would say nothing about it: an existing one stays.
        if (document.Databuffer().ProvaCount() == 0) {
            notConverted.push_back(test);
            return;
        }
        document.SaveDocument(target);
    });
    if (!done)
        return;
    std::string message = Text("IDS_9");
    if (!notConverted.empty()) {
        message += "\r\n" + Text("IDS_100") + IntToStr(static_cast<int64_t>(notConverted.size()));
        for (size_t i = 0; i < notConverted.size() && i < kMaxListedFailures; ++i)
            message += "\r\n" + notConverted[i];
        if (notConverted.size() > kMaxListedFailures)
            message += "\r\n...";
    }
    Ui().ShowMessage(message);
}

void TFConverti_Vrx::RunInsertFields() {
    if (ListBox3->Count() == 0) {
        Ui().ShowMessage(Text("IDS_10"));
        return;
    }
    TInsertChoices choices;
    choices.IncrementFirstLine = CheckBox3->Checked();
    choices.NewPath = RadioGroup1->ItemIndex() == 1;
    choices.NewRoot = FromQString(Edit1->Text());
    if (choices.NewPath && choices.NewRoot.empty()) {
        Ui().ShowMessage(Text("IDS_102"));
        return;
    }
    std::vector<std::string> lines;
    for (const QString& line : ListBox3->Items())
        lines.push_back(FromQString(line));
    const int row = SpinEdit1->Value();
    std::vector<std::string> tests = CollectFiles();
    if (!choices.NewPath) {
        // A test named twice, or through a link, is rewritten once: twice would insert twice.
        // Known before the run, since a rewritten test is a new file.
        std::set<std::pair<dev_t, ino_t>> seen;
        std::erase_if(tests, [&](const std::string& test) {
            struct stat st {};
            return ::stat(ToLocalPath(test).c_str(), &st) == 0 &&
                   !seen.insert({st.st_dev, st.st_ino}).second;
        });
    }
    const bool done = RunOverTests(
        tests, [&](const std::string& test) { InsertHeaderLines(test, row, lines, choices); });
    if (done)
        Ui().ShowMessage(Text("IDS_9"));
}

void TFConverti_Vrx::SpeedButton4Click(QObject*) {
    if (ListBox1->Count() == 0) {
        Ui().ShowMessage(Text("IDS_7"));
        return;
    }
    if (PageControl1->ActivePageIndex() == 0) {
        if (ComboBox1->ItemIndex() < 0)
            Ui().ShowMessage(Text("IDS_6"));
        else
            ConvertToVrx();
        return;
    }
    RunInsertFields();
}

// ---- closing and the state file ----

void TFConverti_Vrx::FormCloseQuery(QObject*, bool& canClose) {
    if (working_) {
        closeRequested_ = true;
        canClose = false;
    }
}

void TFConverti_Vrx::FormClose(QObject*, TCloseAction&) {
    SaveState();
}

void TFConverti_Vrx::SaveState() {
    std::string bytes;
    PutTexts(bytes, ListBox1->Items());
    PutI32(bytes, CheckBox1->Checked() ? 1 : 0);
    PutTexts(bytes, ListBox2->Items());
    PutText(bytes, ComboBox1->ItemIndex() >= 0 ? FromQString(ComboBox1->Text()) : std::string());
    PutI32(bytes, CheckBox2->Checked() ? 1 : 0);
    PutI32(bytes, PageControl1->ActivePageIndex());
    PutI32(bytes, SpinEdit1->Value());
    PutTexts(bytes, ListBox3->Items());
    PutI32(bytes, RadioGroup1->ItemIndex());
    PutText(bytes, FromQString(Edit1->Text()));
    bytes += static_cast<char>(CheckBox3->Checked() ? 1 : 0);
    try {
        WriteFileAtomically(SystemFileName(kStateFile), bytes);
    } catch (const std::exception&) {
        // The choices are a convenience; not keeping them must not stop the window closing.
    }
}

void TFConverti_Vrx::LoadState() {
    std::string bytes;
    try {
        bytes = ReadWholeFile(SystemFileName(kStateFile));
    } catch (const std::exception&) {
        return;
    }
    TStateReader in(std::move(bytes));
    const auto addTo = [](TListBox* list) {
        return [list](const std::string& text) { list->Add(ToQString(text)); };
    };
    int32_t number = 0;
    std::string text;
    uint8_t flag = 0;
    if (!in.Texts(addTo(ListBox1)) || !in.I32(number))
        return;
    CheckBox1->SetChecked(number == 1);
    if (!in.Texts(addTo(ListBox2)) || !in.Text(text))
        return;
    int match = -1;
    int folded = -1;
    int foldedCount = 0;
    for (int i = 0; i < ComboBox1->Count(); ++i) {
        const std::string name = FromQString(ComboBox1->Items()[i]);
        if (name == text) {
            match = i;
            break;
        }
        if (SameText(name, text)) {
            folded = i;
            ++foldedCount;
        }
    }
    ComboBox1->SetItemIndex(match >= 0 ? match : foldedCount == 1 ? folded : -1);
    if (!in.I32(number))
        return;
    CheckBox2->SetChecked(number == 1);
    if (!in.I32(number))
        return;
    if (number == 0 || number == 1)
        PageControl1->SetActivePageIndex(number);
    if (!in.I32(number))
        return;
    SpinEdit1->SetValue(number);
    if (!in.Texts(addTo(ListBox3)) || !in.I32(number))
        return;
    if (number == 0 || number == 1)
        RadioGroup1->SetItemIndex(number);
    if (!in.Text(text))
        return;
    Edit1->SetText(ToQString(text));
    if (in.U8(flag))
        CheckBox3->SetChecked(flag == 1);
}

void InstallConverter(TMainExtensions& extensions) {
    extensions.ConvertTests = [](TMainForm& main) {
        std::unique_ptr<TFConverti_Vrx> converter(CreateForm<TFConverti_Vrx>(&main));
        converter->ShowModal();
    };
}

} // namespace vx

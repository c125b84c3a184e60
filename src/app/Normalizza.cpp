#include "app/Normalizza.h"

#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/CurveFit.h"
#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Colors.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Chart.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/TrackBar.h"

#include <algorithm>
#include <cstring>

namespace vx {

namespace {

constexpr int kPreviewClientWidth = 876;
constexpr const char* kUnknownChannel = "????????????";

std::vector<double> Values(Tdatavector& channel, int count) {
    std::vector<double> values(static_cast<size_t>(count), 0.0);
    const int held = std::min(count, channel.Count());
    for (int i = 0; i < held; ++i)
        values[static_cast<size_t>(i)] = channel.GetFloat(i);
    return values;
}

void FillChannel(Tdatavector& channel, const std::vector<double>& values) {
    channel.Reserve(static_cast<int>(values.size()), values.size() * 8);
    for (double v : values)
        channel.AddTextRaw(FloatToStr(v));
    channel.RecomputeMinMax();
}

std::string ListText(const TStringList& list, int i) {
    return i >= 0 && i < list.Count() ? list[i] : std::string();
}

// The bytes of the state file's strings: one length byte, at most 255 characters.
void PutShortString(std::string& out, std::string_view s) {
    s = s.substr(0, 255);
    out += static_cast<char>(s.size());
    out += s;
}

void PutI32(std::string& out, int32_t v) {
    char bytes[4];
    std::memcpy(bytes, &v, 4);
    out.append(bytes, 4);
}

} // namespace

std::string NrmFileName(const std::string& chosen) {
    const std::string folder = ExtractFilePath(chosen);
    std::string name = ExtractFileName(chosen);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return folder + name + ".NRM";
}

TNormalizeOutcome BuildNormalizedData(TDatabuffer& buffer, TdataProva* preview,
                                      const std::string& fileName, int resolution, int degree,
                                      const std::vector<int>& channels) {
    TdataProva& test = buffer.GetProva(0);
    const int xc = channels.at(0);
    test.SetSortChannel(xc);
    const int rows = test.GetChannel(0).Count();
    const int n = std::max(resolution, rows);

    Tdatavector& xChannel = test.GetChannel(xc);
    // The bounds go through the fit in single precision, as stored files always had them.
    const float xmin = static_cast<float>(xChannel.Min());
    const float xmax = static_cast<float>(xChannel.Max());
    if (!(xmax > xmin))
        return {TNormalizeResult::BadXRange, xc};

    std::vector<double> grid;
    FillFitGrid(grid, n);
    std::vector<double> x = Values(xChannel, n);
    NormalizeToFitRange(n, x, xmin, xmax);

    TdataProva output;
    output.AddChannels(static_cast<int>(channels.size()) + 1);
    for (size_t j = 1; j < channels.size(); ++j) {
        Tdatavector& yChannel = test.GetChannel(channels[j]);
        std::vector<double> y = Values(yChannel, n);
        const float ymin = static_cast<float>(yChannel.Min());
        const float ymax = static_cast<float>(yChannel.Max());
        if (!FitPolynomial(n, degree, rows, grid, y, x, ymin, ymax))
            return {TNormalizeResult::FitFailed, channels[j]};
        FillChannel(output.GetChannel(static_cast<int>(j)), y);
    }
    DenormalizeFromFitRange(n, grid, xmin, xmax);
    FillChannel(output.GetChannel(0), grid);

    if (!fileName.empty()) {
        try {
            WriteNrmFile(fileName, test, output, channels);
        } catch (const std::exception&) {
            return {TNormalizeResult::WriteFailed, -1};
        }
    }
    if (preview) {
        TMemoryStream stream;
        output.WriteChannelsToStream(stream);
        stream.Seek(0, TSeekOrigin::soBeginning);
        preview->ClearChannels();
        preview->ReadChannelsFromStream(stream);
        preview->UpdateMinMax();
    }
    return {};
}

void WriteNrmFile(const std::string& fileName, const TdataProva& test, const TdataProva& output,
                  const std::vector<int>& channels) {
    TAtomicFileStream file(fileName);
    std::string text = "3\r\n\r\n";
    for (int c : channels)
        text += ListText(test.ChannelNames, c) + '\t';
    text += "\r\n";
    for (int c : channels)
        text += ListText(test.Units, c) + '\t';
    text += "\r\n\r\n";
    const int columns = static_cast<int>(channels.size());
    const int rows = output.GetChannel(0).Count();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            text += output.GetChannel(c).TextView(r);
            text += '\t';
        }
        text += "\r\n";
        if (text.size() >= (1u << 20)) {
            file.WriteBuffer(text.data(), text.size());
            text.clear();
        }
    }
    file.WriteBuffer(text.data(), text.size());
    file.Commit();
}

// ---- TF_normalizza ----

TF_normalizza::TF_normalizza(QWidget* parent) : TForm(parent, "F_normalizza") {
    resize(396, 470);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 8, 180, 16);
    ListBox1 = Placed(new TListBox(this, "ListBox1"), 8, 26, 180, 190);
    Label2 = Placed(new TLabel(this, "Label2"), 206, 8, 180, 16);
    ListBox2 = Placed(new TListBox(this, "ListBox2"), 206, 26, 180, 190);
    Label5 = Placed(new TLabel(this, "Label5"), 8, 220, 380, 16);
    Label6 = Placed(new TLabel(this, "Label6"), 8, 236, 380, 16);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 8, 258, 88, 24);
    SpeedButton2 = Placed(new TSpeedButton(this, "SpeedButton2"), 100, 258, 88, 24);
    SpeedButton3 = Placed(new TSpeedButton(this, "SpeedButton3"), 8, 288, 88, 24);
    SpeedButton4 = Placed(new TSpeedButton(this, "SpeedButton4"), 100, 288, 88, 24);
    Label3 = Placed(new TLabel(this, "Label3"), 8, 322, 180, 16);
    TrackBar1 = Placed(new TTrackBar(this, "TrackBar1"), 8, 340, 150, 28);
    TrackBar1->SetMin(2);
    TrackBar1->SetMax(7);
    TrackBar1->SetPosition(2);
    Label4 = Placed(new TLabel(this, "Label4"), 166, 346, 22, 16);
    Label7 = Placed(new TLabel(this, "Label7"), 206, 322, 180, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 206, 342, 90, 22);
    Edit1->SetText("200");
    Label8 = Placed(new TLabel(this, "Label8"), 302, 346, 84, 16);
    SpeedButton5 = Placed(new TSpeedButton(this, "SpeedButton5"), 8, 384, 180, 26);
    BitBtn1 = Placed(new TButton(this, "BitBtn1"), 186, 430, 106, 28);
    BitBtn1->ModalResult = mrOk;
    BitBtn1->setDefault(true);
    BitBtn2 = Placed(new TButton(this, "BitBtn2"), 298, 430, 88, 28);
    BitBtn2->ModalResult = mrCancel;
    Chart1 = Placed(new TChart(this, "Chart1"), 400, 8, 468, 424);
    Chart1->Series1->SetColor(clGreen);
    Chart1->Series2->SetColor(clRed);
    TabSet1 = Placed(new TTabSet(this, "TabSet1"), 400, 434, 468, 28);

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    SpeedButton4->OnClick = [this](QObject* s) { SpeedButton4Click(s); };
    SpeedButton5->OnClick = [this](QObject* s) { SpeedButton5Click(s); };
    TrackBar1->OnChange = [this](QObject* s) { TrackBar1Change(s); };
    TabSet1->OnChange = [this](QObject* s, int tab, bool& allow) { TabSet1Change(s, tab, allow); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& action) { FormClose(s, action); };
    mlLang1 = CreateFormTable(this, "TF_normalizza");
}

TF_normalizza::~TF_normalizza() = default;

std::string TF_normalizza::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

void TF_normalizza::SetBuffer(std::unique_ptr<TDatabuffer> buffer) {
    buffer_ = std::move(buffer);
    QStringList labels;
    if (buffer_ && buffer_->ProvaCount() > 0) {
        const TdataProva& test = buffer_->GetProva(0);
        for (int c = 0; c < test.ChannelCount(); ++c)
            labels << ToQString(test.GetChannelLabel(c));
    }
    ListBox1->SetItems(labels);
}

void TF_normalizza::FormCreate(QObject*) {
    preview_ = std::make_unique<TdataProva>();
    TrackBar1Change(TrackBar1);
}

void TF_normalizza::FormActivate(QObject*) {
    // Activation comes back after every message box; the stored list is the user's only once.
    if (!stateLoaded_) {
        stateLoaded_ = true;
        LoadWindowState();
    }
    UpdateOkButton();
}

void TF_normalizza::UpdateOkButton() {
    BitBtn1->setEnabled(ListBox2->Count() > 1);
}

int TF_normalizza::IndexOfLabel(const QString& label) const {
    const std::string wanted = FromQString(label);
    for (int i = 0; i < ListBox1->Count(); ++i)
        if (SameText(FromQString(ListBox1->Item(i)), wanted))
            return i;
    return -1;
}

std::vector<int> TF_normalizza::ChannelIndices() const {
    std::vector<int> indices;
    for (const QString& entry : ListBox2->Items())
        indices.push_back(IndexOfLabel(entry));
    return indices;
}

bool TF_normalizza::CheckChoice(int& resolution) {
    const std::vector<int> indices = ChannelIndices();
    if (std::find(indices.begin(), indices.end(), -1) != indices.end() || !buffer_ ||
        buffer_->ProvaCount() == 0) {
        Ui().ShowMessage(Text("IDS_1"));
        return false;
    }
    try {
        resolution = StrToInt(FromQString(Edit1->Text()));
    } catch (const std::exception& e) {
        Ui().MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (resolution > kMaxNormalizedRows) {
        Ui().ShowMessage(Text("IDS_9"));
        return false;
    }
    return true;
}

bool TF_normalizza::Report(const TNormalizeOutcome& outcome, const std::string& fileName) {
    switch (outcome.Result) {
    case TNormalizeResult::Done:
        return true;
    case TNormalizeResult::BadXRange:
    case TNormalizeResult::FitFailed:
        Ui().ShowMessage(Text("IDS_8") + FromQString(ListBox1->Item(outcome.Channel)));
        return false;
    case TNormalizeResult::WriteFailed:
        Ui().ShowMessage(Text("IDS_4") + fileName);
        return false;
    }
    return false;
}

void TF_normalizza::FormCloseQuery(QObject*, bool& canClose) {
    int resolution = 0;
    if (ModalResult() == mrOk && !CheckChoice(resolution))
        canClose = false;
}

void TF_normalizza::FormClose(QObject*, TCloseAction&) {
    SaveWindowState();
    preview_.reset();
}

void TF_normalizza::SpeedButton1Click(QObject*) {
    const int selected = ListBox1->ItemIndex();
    if (selected < 0) {
        Ui().ShowMessage(Text("IDS_1"));
    } else {
        const QString label = ListBox1->Item(selected);
        bool present = false;
        for (const QString& entry : ListBox2->Items())
            present = present || SameText(FromQString(entry), FromQString(label));
        if (present)
            Ui().ShowMessage(Text("IDS_0"));
        else
            ListBox2->Add(label);
    }
    UpdateOkButton();
}

void TF_normalizza::SpeedButton2Click(QObject*) {
    const int selected = ListBox2->ItemIndex();
    if (selected < 0)
        Ui().ShowMessage(Text("IDS_1"));
    else
        ListBox2->Delete(selected);
    UpdateOkButton();
}

void TF_normalizza::SpeedButton3Click(QObject*) {
    if (Ui().MessageDlg(Text("IDS_3"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        ListBox2->Clear();
    UpdateOkButton();
}

void TF_normalizza::SpeedButton4Click(QObject*) {
    const int selected = ListBox2->ItemIndex();
    if (selected > 0) {
        QStringList items = ListBox2->Items();
        items.swapItemsAt(selected, selected - 1);
        ListBox2->SetItems(items);
        ListBox2->SetItemIndex(selected - 1);
    }
    UpdateOkButton();
}

void TF_normalizza::SpeedButton5Click(QObject*) {
    if (ListBox2->Count() < 2) {
        Ui().ShowMessage(Text("IDS_7"));
        return;
    }
    Ui().SetBusyCursor(true);
    try {
        BuildPreview();
    } catch (...) {
        Ui().SetBusyCursor(false);
        throw;
    }
    Ui().SetBusyCursor(false);
}

void TF_normalizza::TrackBar1Change(QObject*) {
    Label4->SetCaption(QString::number(TrackBar1->Position()));
}

void TF_normalizza::SaveWindowState() {
    std::string bytes;
    PutI32(bytes, ListBox2->Count());
    for (const QString& entry : ListBox2->Items())
        PutShortString(bytes, FromQString(entry));
    PutI32(bytes, TrackBar1->Position());
    PutShortString(bytes, FromQString(Edit1->Text()));
    try {
        WriteFileAtomically(SystemFileName("Normawnd.set"), bytes);
    } catch (const std::exception&) {
        // The window's state is a convenience; a folder that takes no file loses only that.
    }
}

void TF_normalizza::LoadWindowState() {
    ListBox2->Clear();
    std::string bytes;
    try {
        bytes = ReadWholeFile(SystemFileName("Normawnd.set"));
    } catch (const std::exception&) {
        return;
    }
    TMemoryStream stream(std::move(bytes));
    try {
        const int32_t count = stream.ReadI32();
        for (int32_t i = 0; i < count; ++i) {
            const QString entry = ToQString(stream.ReadShortString());
            ListBox2->Add(IndexOfLabel(entry) >= 0 ? entry : QString(kUnknownChannel));
        }
        TrackBar1->SetPosition(stream.ReadI32());
        Edit1->SetText(ToQString(stream.ReadShortString()));
    } catch (const std::exception&) {
        // A short file ends the loading where it ends.
    }
}

void TF_normalizza::BuildPreview() {
    int resolution = 0;
    if (!CheckChoice(resolution))
        return;
    const std::vector<int> indices = ChannelIndices();
    auto test = std::make_unique<TdataProva>();
    if (!Report(BuildNormalizedData(*buffer_, test.get(), "", resolution, TrackBar1->Position(),
                                    indices),
                {}))
        return;
    preview_ = std::move(test);
    fillingTabs_ = true;
    TabSet1->SetTabs(ListBox2->Items().mid(1));
    TabSet1->SetTabIndex(0);
    fillingTabs_ = false;
    DrawPreview(indices[1], 1);
    resize(kPreviewClientWidth, height());
}

void TF_normalizza::TabSet1Change(QObject*, int newTab, bool&) {
    if (fillingTabs_ || newTab < 0)
        return;
    const std::vector<int> indices = ChannelIndices();
    const size_t out = static_cast<size_t>(newTab) + 1;
    if (out < indices.size() && indices[out] >= 0 && preview_ &&
        static_cast<int>(out) < preview_->VectorCount())
        DrawPreview(indices[out], static_cast<int>(out));
}

void TF_normalizza::DrawPreview(int testChannel, int outChannel) {
    TChartSeries* acquired = Chart1->Series1;
    TChartSeries* fitted = Chart1->Series2;
    acquired->Clear();
    fitted->Clear();
    Chart1->BottomAxis->SetAutomatic(false);
    Chart1->LeftAxis->SetAutomatic(false);
    TdataProva& test = buffer_->GetProva(0);
    const int xc = ChannelIndices().at(0);
    Tdatavector& x = test.GetChannel(xc);
    Tdatavector& y = test.GetChannel(testChannel);
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool any = false;
    auto track = [&](double px, double py) {
        if (!any) {
            xmin = xmax = px;
            ymin = ymax = py;
            any = true;
        }
        xmin = std::min(xmin, px);
        xmax = std::max(xmax, px);
        ymin = std::min(ymin, py);
        ymax = std::max(ymax, py);
    };
    const int rows = std::min(x.Count(), y.Count());
    for (int i = 0; i < rows; ++i) {
        const double px = x.GetFloat(i), py = y.GetFloat(i);
        acquired->AddXY(px, py);
        track(px, py);
    }
    Tdatavector& ox = preview_->GetChannel(0);
    Tdatavector& oy = preview_->GetChannel(outChannel);
    const int outRows = std::min(ox.Count(), oy.Count());
    for (int i = 0; i < outRows; ++i) {
        const double px = ox.GetFloat(i), py = oy.GetFloat(i);
        fitted->AddXY(px, py);
        track(px, py);
    }
    // Limits are set in the order that keeps minimum at or below maximum at every step.
    auto setAxis = [](TChartAxis* axis, double min, double max) {
        if (max < axis->Minimum())
            axis->SetMinimum(max - 1);
        axis->SetMaximum(max);
        axis->SetMinimum(min);
    };
    setAxis(Chart1->BottomAxis, xmin, xmax);
    setAxis(Chart1->LeftAxis, ymin, ymax);
    Chart1->LeftAxis->SetTitle(ListBox1->Item(testChannel));
    Chart1->BottomAxis->SetTitle(ListBox1->Item(xc));
}

// ---- the tool as the main window runs it ----

void normalizza_prova(TMainForm& main, const std::string& path) {
    std::unique_ptr<TF_normalizza> window(CreateForm<TF_normalizza>(&main));
    auto buffer = std::make_unique<TDatabuffer>();
    LoadProvaText(*buffer, path);
    window->SetBuffer(std::move(buffer));
    if (window->ShowModal() != mrOk)
        return;

    FileDialogRequest& dialog = main.SaveDialog1;
    dialog.InitialDir = ExtractFileDir(path);
    dialog.FileName.clear();
    dialog.Filter = main.Text("IDS_45");
    const std::string chosen = Ui().SaveFileDialog(dialog);
    if (chosen.empty())
        return;
    dialog.FileName = chosen;
    const std::string fileName = NrmFileName(chosen);
    // The dialog asked about the name it showed; a file that the name rule reached is asked
    // about here, before anything is built.
    if (!ConfirmReplace(chosen, fileName))
        return;
    int resolution = 0;
    if (!window->CheckChoice(resolution))
        return;
    Ui().SetBusyCursor(true);
    TNormalizeOutcome outcome;
    try {
        outcome = BuildNormalizedData(*window->Buffer(), nullptr, fileName, resolution,
                                      window->TrackBar1->Position(), window->ChannelIndices());
    } catch (...) {
        Ui().SetBusyCursor(false);
        throw;
    }
    Ui().SetBusyCursor(false);
    window->Report(outcome, fileName);
}

void InstallNormaliser(TMainExtensions& extensions) {
    extensions.NormaliseTest = [](TMainForm& main, const std::string& path) {
        normalizza_prova(main, path);
    };
}

} // namespace vx

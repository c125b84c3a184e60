#include "app/Main.h"

#include "app/About.h"
#include "app/GetProve.h"
#include "app/MainExtensions.h"
#include "app/ProgramHooks.h"
#include "app/Version.h"
#include "app/config_document_dlg.h"
#include "app/impdlg.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/Timer.h"
#include "platform/system/Files.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MenuItem.h"
#include "report/DocBox.h"
#include "report/WPPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr std::string_view kKolmSection = "Kolm Path";
constexpr std::string_view kLastDocPath = "Last doc path";
constexpr std::string_view kLastEditPath = " Last edit path";
constexpr std::string_view kLastNormalPath = " Last normal path";
constexpr std::string_view kTestsPath = "Path Prove Default";
constexpr int kFrameGroup = 0;
constexpr int kTrailingGroup = 2;

uint32_t ReadU32(std::string_view bytes, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

void AppendI32(std::string& out, int32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
}

// The cursor stays busy for the scope's length, whatever leaves it.
struct TBusyScope {
    TBusyScope() { Ui().SetBusyCursor(true); }
    ~TBusyScope() { Ui().SetBusyCursor(false); }
};

} // namespace

TMainExtensions& MainExtensions() {
    static TMainExtensions extensions;
    return extensions;
}

std::vector<std::string> ParseRecentFiles(std::string_view bytes) {
    std::vector<std::string> files;
    if (bytes.size() < 4)
        return files;
    const int64_t count = static_cast<int32_t>(ReadU32(bytes, 0));
    size_t at = 4;
    for (int64_t i = 0; i < count && files.size() < TMainForm::kMaxRecentFiles; ++i) {
        if (bytes.size() - at < 4)
            break;
        const int64_t length = static_cast<int32_t>(ReadU32(bytes, at));
        at += 4;
        if (length < 0 || static_cast<uint64_t>(length) > bytes.size() - at)
            break;
        std::string path(bytes.substr(at, static_cast<size_t>(length)));
        at += static_cast<size_t>(length);
        const bool known = std::any_of(files.begin(), files.end(),
                                       [&](const std::string& f) { return SameText(f, path); });
        if (!known)
            files.push_back(std::move(path));
    }
    return files;
}

std::string FormatRecentFiles(const TStringList& files) {
    std::string out;
    AppendI32(out, files.Count());
    for (int i = 0; i < files.Count(); ++i) {
        AppendI32(out, static_cast<int32_t>(files[i].size()));
        out += files[i];
    }
    return out;
}

TMainForm::TMainForm(QWidget* parent) : TForm(parent, "MainForm") {
    resize(1024, 768);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName("ClientArea");
    layout->addWidget(ClientArea);

    MainMenu1 = new TMainMenu(this, "MainMenu1");
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName("MenuBar");
    // A bar of its own even where the desktop would take it: document menus merge into it.
    MenuBar->setNativeMenuBar(false);
    layout->setMenuBar(MenuBar);
    MainMenu1->AttachTo(MenuBar);

    using M = TMainForm;
    File1 = MainMenu1->Add("File1", "&File", kFrameGroup);
    ApriProgetto1 =
        Item(File1, "ApriProgetto1", "Apri &Documento...", &M::ApriProgetto1Click, Qt::Key_F2);
    Apri1 = Item(File1, "Apri1", "&Apri Prove...", &M::Apri1Click, Qt::Key_F4);
    Editprova1 = Item(File1, "Editprova1", "&Edit prova...", &M::Editprova1Click, Qt::Key_F3);
    Impostazioni1 = Item(File1, "Impostazioni1", "I&mpostazioni...", &M::Impostazioni1Click);
    ImpostaStampante1 = Item(File1, "ImpostaStampante1", "&Imposta Pagina di Stampa...",
                             &M::ImpostaStampante1Click);
    Stampa1 = Item(File1, "Stampa1", "&Stampa Pagina...", &M::Stampa1Click, Qt::CTRL | Qt::Key_P);
    StampaDocumento1 = Item(File1, "StampaDocumento1", "&Stampa Documento...",
                            &M::StampaDocumento1Click, Qt::CTRL | Qt::Key_D);
    StampaPDF1 = Item(File1, "StampaPDF1", "Stampa PDF");
    StampaPDF1->SetVisible(false);
    Recenti1 = Item(File1, "Recenti1", "Recenti");
    recentMenu_ = RuntimeSubmenu(Recenti1);
    Esci1 = Item(File1, "Esci1", "&Esci", &M::Esci1Click, Qt::CTRL | Qt::Key_F10);

    Strumenti1 = MainMenu1->Add("Strumenti1", "&Strumenti", kFrameGroup);
    Normalizzaprova2 =
        Item(Strumenti1, "Normalizzaprova2", "&Normalizza prova...", &M::Normalizzaprova2Click);
    Convertiprove1 =
        Item(Strumenti1, "Convertiprove1", "Converti prove...", &M::Convertiprove1Click);
    Modellodicaricamento1 = Item(Strumenti1, "Modellodicaricamento1", "&Modello di caricamento",
                                 &M::Modellodicaricamento1Click);
    Modellodicaricamento1->SetVisible(false);
    Ricercaprove1 = Item(Strumenti1, "Ricercaprove1", "Ricerca prove...");
    Ricercaprove1->SetVisible(false);
    Creafiledimappatura1 = Item(Strumenti1, "Creafiledimappatura1", "Crea file di mappatura...");

    Window1 = MainMenu1->Add("Window1", "&Finestre", kTrailingGroup);
    Affianca1 = Item(Window1, "Affianca1", "&Affianca", &M::Affianca1Click);
    Sovrapponi1 = Item(Window1, "Sovrapponi1", "&Sovrapponi", &M::Sovrapponi1Click);
    Distribuisci1 = Item(Window1, "Distribuisci1", "&Distribuisci", &M::Distribuisci1Click);
    Documenti1 = Item(Window1, "Documenti1", "Documenti");
    windowMenu_ = RuntimeSubmenu(Documenti1);

    Help1 = MainMenu1->Add("Help1", "&?", kTrailingGroup);
    Guidainlinea1 = Item(Help1, "Guidainlinea1", "&Guida in linea", &M::Guidainlinea1Click);
    Show1 = Item(Help1, "Show1", "&About...", &M::Show1Click);

    File1->OnClick = [this](QObject* s) { File1Click(s); };
    Window1->OnClick = [this](QObject* s) { Window1Click(s); };
    connect(ClientArea, &QMdiArea::subWindowActivated, this, [this] { MergeMenus(); });

    Timer1 = std::make_unique<TTimer>();
    Timer1->SetEnabled(false);
    Timer1->SetInterval(2000);
    Timer1->OnTimer = [this](TComponent*) { Timer1Timer(); };

    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](QObject* s, TCloseAction& a) { FormClose(s, a); };
    mlLang1 = CreateFormTable(this, "TMainForm");
}

TMainForm::~TMainForm() {
    FormDestroy();
    if (MainForm == this)
        MainForm = nullptr;
}

TMenuItem* TMainForm::Item(TMenuItem* parent, const char* name, const char* caption,
                           void (TMainForm::*handler)(QObject*), QKeySequence key) {
    TMenuItem* item = parent->Add(name, caption);
    if (handler)
        item->OnClick = [this, handler](QObject* s) { (this->*handler)(s); };
    if (!key.isEmpty()) {
        item->SetShortCut(key);
        // The key works with every menu closed, wherever the focus is inside the frame.
        addAction(item);
    }
    return item;
}

QMenu* TMainForm::RuntimeSubmenu(TMenuItem* item) {
    auto* menu = new QMenu(this);
    menu->setObjectName(item->objectName() + QStringLiteral("Menu"));
    item->setMenu(menu);
    return menu;
}

void TMainForm::ClearEntries(std::vector<TMenuItem*>& entries) {
    for (TMenuItem* entry : entries)
        delete entry;
    entries.clear();
}

void TMainForm::MarkTools() {
    const TMainExtensions& ext = MainExtensions();
    const std::pair<TMenuItem*, bool> tools[] = {
        {Editprova1, static_cast<bool>(ext.EditTestFile)},
        {Normalizzaprova2, static_cast<bool>(ext.NormaliseTest)},
        {Convertiprove1, static_cast<bool>(ext.ConvertTests)},
        {Modellodicaricamento1, static_cast<bool>(ext.EditLoadModel)},
    };
    for (const auto& [item, installed] : tools) {
        item->SetEnabled(installed);
        item->SetHint(installed ? QString() : ToQString(Text("IDS_100")));
    }
}

std::string TMainForm::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

// ---- creation and the end ----

void TMainForm::FormCreate(QObject*) {
    ImpostazioniRec.SetLanguage(1);
    const std::string program = Application().ExeName();
    if (const auto& reg = MainExtensions().RegisterDocumentType) {
        // A desktop that refuses the association must not keep the program from starting.
        try {
            reg(program);
        } catch (const std::exception& e) {
            DebugLog("Except->", e.what());
        }
    }
    DocDecimalSeparator = FormatSettings().DecimalSeparator;
    ImpostazioniRec.SetAutoLimitMethod(0);
    ImpostazioniRec.SetIncludeZero(false);
    setWindowIcon(QApplication::windowIcon());
    OpenQueue.clear();
    Creafiledimappatura1->SetVisible(false);
    SetCaption(ToQString("VORNIX " + std::string(VersionText)));
    FirstActivation = true;
    InitBasePath(program);
    RecentFiles.Clear();
    if (const auto& reg = MainExtensions().RegisterFileType) {
        try {
            reg(false);
        } catch (const std::exception& e) {
            DebugLog("Except->", e.what());
        }
    }
    LoadSettings();
    LoadRecentFiles();
    if (ImpostazioniRec.TcpServerActive())
        StartTcpServer();
    if (ImpostazioniRec.Language() < 1 || ImpostazioniRec.Language() > 3)
        ImpostazioniRec.SetLanguage(1);
    ApplyLanguage(ImpostazioniRec.Language());

    MarkTools();
    // The hint of a grey tool is a text of the table, not a caption it translates itself.
    mlLang1->OnChangeLanguage = [this](TmlCustomLang*) { MarkTools(); };
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::ApplyLanguage(int language) {
    if (STRGlobData)
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
}

void TMainForm::FormActivate(QObject*) {
    if (!FirstActivation)
        return;
    FirstActivation = false;
    QueueCommandLine(ProcessCommandLine());
}

void TMainForm::FormCloseQuery(QObject*, bool& canClose) {
    // Each changed document asks in turn; one cancelled keeps the program and every window.
    for (QMdiSubWindow* sub : ClientArea->subWindowList(QMdiArea::CreationOrder)) {
        // Other windows (the test editor) ask through their own close query.
        auto* other = qobject_cast<TForm*>(sub->widget());
        if (other && !qobject_cast<TDocForm*>(other) && other->OnCloseQuery) {
            ClientArea->setActiveSubWindow(sub);
            bool ok = true;
            other->OnCloseQuery(other, ok);
            if (!ok) {
                canClose = false;
                return;
            }
            continue;
        }
        auto* doc = qobject_cast<TDocForm*>(sub->widget());
        if (!doc || !doc->Modified())
            continue;
        ClientArea->setActiveSubWindow(sub);
        if (!doc->QuerySave()) {
            canClose = false;
            return;
        }
    }
}

void TMainForm::FormClose(QObject*, TCloseAction& action) {
    SaveRecentFiles();
    for (QMdiSubWindow* sub : ClientArea->subWindowList())
        FreeDocumentWindow(sub);
    action = TCloseAction::caFree;
}

void TMainForm::FormDestroy() {
    Timer1->SetEnabled(false);
    // Copies of documents still open are in use until their windows go.
    for (QMdiSubWindow* sub : ClientArea->subWindowList())
        FreeDocumentWindow(sub);
    const std::string folder = GetSpecialFolderPath(CSIDL_LOCAL_APPDATA);
    if (!folder.empty())
        DeleteFilesByMask(folder + "/Vornix/Temp/", "*.~tm");
    RecentFiles.Clear();
    OpenQueue.clear();
    StopTcpServer();
}

void TMainForm::StartTcpServer() {
    if (MainExtensions().StartTcpServer)
        MainExtensions().StartTcpServer(*this);
}

void TMainForm::StopTcpServer() {
    if (MainExtensions().StopTcpServer)
        MainExtensions().StopTcpServer(*this);
}

// ---- command line and the open queue ----

std::string TMainForm::ProcessCommandLine() {
    std::string line = "\"" + Application().ExeName() + "\"";
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        line += " \"" + FromQString(args[i]) + "\"";
    return line;
}

void TMainForm::QueueCommandLine(const std::string& commandLine) {
    std::string path = ExtractCommandLinePath(commandLine);
    if (!path.empty()) {
        // A relative path is the caller's: resolve it against the current folder.
        const QString local = QString::fromStdString(ToLocalPath(NormalizePath(path)));
        const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(local));
        path = Utf8ToCp1252(absolute.toStdString());
    }
    if (!path.empty() && FileExists(path)) {
        DebugLog("OK->", commandLine);
        OpenQueue.push_back(path);
        Timer1->SetEnabled(true);
    } else {
        DebugLog("ERR->", commandLine);
    }
}

void TMainForm::Timer1Timer() {
    Timer1->SetEnabled(false);
    if (!OpenQueue.empty()) {
        const std::string path = OpenQueue.front();
        OpenQueue.pop_front();
        DebugLog("LOAD->", path);
        if (FileExists(path)) {
            DebugLog("Exists->", path);
            apri_documento(path);
        } else {
            DebugLog("No Exists->", path);
        }
    }
    Timer1->SetEnabled(!OpenQueue.empty());
}

std::string TMainForm::DebugLogFileName() {
    const std::string folder = ExtractFilePath(Application().ExeName());
    // An installed program's folder is not the user's: the log goes to the user's base folder.
    if (!IsWritableFolder(folder) && !BasePath.empty())
        return BasePath + "DEBUG_Path.txt";
    return folder + "DEBUG_Path.txt";
}

void TMainForm::DebugLog(const std::string& tag, const std::string& value) {
    const std::string name = DebugLogFileName();
    const std::string text = tag + "\r\nVal->" + value + "\r\n-------------\r\n";
    AppendToPrivateLog(name, ChangeFileExt(name, ".old.txt"), text, kDebugLogLimit);
}

// ---- documents ----

std::string TMainForm::TempFolder() {
    const std::string base = GetSpecialFolderPath(CSIDL_LOCAL_APPDATA);
    if (base.empty())
        throw EFOpenError("Cannot find the local application data folder");
    const std::string folder = base + "/Vornix/Temp/";
    if (!ForceDirectories(folder))
        throw EFOpenError("Cannot create " + folder);
    return folder;
}

void TMainForm::FreeDocumentWindow(QMdiSubWindow* sub) {
    if (!sub)
        return;
    // Through its own close, which lets the document release its view first; whoever frees a
    // window here has asked about its changes already, or nobody is there to answer.
    if (auto* doc = qobject_cast<TDocForm*>(sub->widget()))
        doc->CloseWithoutAsking();
    else if (QWidget* widget = sub->widget())
        widget->close();
    delete sub;
}

QMdiSubWindow* TMainForm::AddDocumentWindow(TDocForm* doc) {
    doc->Dialogs = &ProgramDocumentDialogs();
    return AddChildWindow(doc);
}

QMdiSubWindow* TMainForm::AddChildWindow(TForm* child) {
    QMdiSubWindow* sub = ClientArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The size it returns to when it is no longer maximised.
    const QSize area = ClientArea->viewport()->size();
    sub->resize(QSize(area.width() * 3 / 4, area.height() * 3 / 4)
                    .expandedTo(QSize(kMinDocumentWidth, kMinDocumentHeight)));
    // Documents open maximised inside the frame, each page at its fitted zoom.
    sub->setWindowState(sub->windowState() | Qt::WindowMaximized);
    return sub;
}

void TMainForm::ShowDocumentWindow(TDocForm* doc) {
    QMdiSubWindow* sub = AddDocumentWindow(doc);
    sub->show();
    doc->Show();
    // The document the user just opened is the one worked in next.
    ClientArea->setActiveSubWindow(sub);
    sub->raise();
    Ui().BringToFront(this);
}

namespace {

// Why a file cannot be read, as the system says it; 0 when it can.
int ReadError(const std::string& path) {
    if (DirectoryExists(path))
        return EISDIR;
    const int fd = ::open(ToLocalPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

} // namespace

void TMainForm::apri_documento(const std::string& path, bool tellUser) {
    TBusyScope busy;
    try {
        const std::string copy = MakeUniqueFileName(TempFolder(), ".~tm");
        if (!CopyFile(path, copy, false)) {
            // Named with the system's reason when the document itself cannot be read.
            if (const int error = ReadError(path))
                throw EFOpenError::ForFile(path, false, error, std::strerror(error));
            throw EFOpenError("Cannot open file \"" + path + "\"");
        }
        TFileStream stream(copy, fmOpenRead);
        std::string tag;
        ReadChecked(stream, path, [&] { tag = stream.ReadShortString(); });
        DebugLog("Open->", tag);
        // Named by the reader's words, as every refused file is: the user chose this one.
        const int version = FileTagVersion(tag);
        if (version < 0 || tag.find("Cfg_Version") != std::string::npos)
            throw EDocumentFile(path, 0, "no document tag at the start of the file");
        if (version < 80)
            throw EDocumentFile(
                path, 0, "the document's version " + std::to_string(version) + " is older than 80");
        stream.SetPosition(0);
        // Read whole before the window joins the frame: a refused file leaves the other
        // windows as they were.
        std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
        ReadChecked(stream, path, [&] { ReadDocumentHeader(stream, *doc->Databuffer, path); });
        doc->OpenDocumentStream(stream, path);
        doc->DocumentFile = path;
        doc->SetCaption(ToQString(ExtractFileName(path)));
        ShowDocumentWindow(doc.release());
    } catch (const std::exception& e) {
        DebugLog("Except->", e.what());
        if (!tellUser)
            return;
        const auto* damaged = dynamic_cast<const EDocumentFile*>(&e);
        const std::string place = damaged ? FilePlaceText(*damaged, FileMessage("IDS_56")) : "";
        Ui().ShowMessage(Text("IDS_102") + path + "\r\n" +
                         (place.empty() ? ErrorMessageText(e) : place));
    }
}

void TMainForm::OpenTestsWithConfiguration(const std::vector<std::string>& files,
                                           const std::string& configuration, bool tellUser) {
    std::string chosen;
    if (!configuration.empty() && FileExists(configuration)) {
        chosen = configuration;
    } else {
        TStringList names;
        ListFilesByMask(names, ConfigurationsFolder() + "*.CPF");
        if (!names.Empty()) {
            std::unique_ptr<Tconfig_document_dlg> dlg(CreateForm<Tconfig_document_dlg>(this));
            for (int i = 0; i < names.Count(); ++i)
                dlg->ListBox1->Add(ToQString(names[i]));
            if (dlg->ShowModal() != mrOk)
                return;
            const int index = dlg->ListBox1->ItemIndex();
            if (index >= 0)
                chosen = ConfigurationsFolder() + FromQString(dlg->ListBox1->Item(index));
        }
    }
    // Made whole before it joins the frame: no window with part of the tests, and the
    // others keep their places; the caller tells why it failed.
    std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
    TStringList list;
    for (const std::string& f : files)
        list.Add(f);
    doc->NewDocument(chosen, list);
    std::string caption;
    for (const std::string& f : files) {
        AddRecentFile(f);
        caption += ExtractFileName(f);
    }
    doc->SetCaption(ToQString(caption));
    const std::vector<std::string> unread = doc->UnreadTestFiles;
    ShowDocumentWindow(doc.release());
    if (tellUser && !unread.empty()) {
        std::string text;
        for (const std::string& file : unread)
            text += (text.empty() ? "" : "\r\n") + Text("IDS_122") + file;
        Ui().ShowMessage(text);
    }
}

TDocForm* TMainForm::ActiveDocForm() const {
    // The current window even while the frame itself is not the active one.
    QMdiSubWindow* sub = ClientArea->currentSubWindow();
    if (!sub || sub->isMinimized())
        return nullptr;
    return qobject_cast<TDocForm*>(sub->widget());
}

// ---- recent files ----

void TMainForm::AddRecentFile(const std::string& path) {
    for (int i = 0; i < RecentFiles.Count(); ++i)
        if (SameText(RecentFiles[i], path))
            return;
    RecentFiles.Insert(0, path);
    while (RecentFiles.Count() > kMaxRecentFiles)
        RecentFiles.Delete(RecentFiles.Count() - 1);
}

void TMainForm::LoadRecentFiles() {
    try {
        const std::string name = SystemFileName("recenti.set");
        if (!FileExists(name))
            return;
        // Ten entries of any real path fit well within this; a larger file is not read whole.
        constexpr qint64 kMaxRead = 4 + kMaxRecentFiles * (4 + 65536);
        QFile file(QString::fromStdString(ToLocalPath(name)));
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.read(kMaxRead);
        for (const std::string& path : ParseRecentFiles(
                 std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))))
            RecentFiles.Add(path);
    } catch (const std::exception&) {
    }
}

void TMainForm::SaveRecentFiles() const {
    try {
        WriteFileAtomically(SystemFileName("recenti.set"), FormatRecentFiles(RecentFiles));
    } catch (const std::exception&) {
    }
}

void TMainForm::File1Click(QObject*) {
    const bool printable = ActiveDocForm() != nullptr;
    Stampa1->setEnabled(printable);
    StampaDocumento1->setEnabled(printable);
    ClearEntries(recentItems_);
    for (int i = 0; i < RecentFiles.Count(); ++i) {
        auto* item = new TMenuItem(recentMenu_, ToQString("R" + IntToStr(i)));
        item->Tag = i;
        item->SetCaption(ToQString(IntToStr(i + 1) + " " + RecentFiles[i]));
        item->OnClick = [this](QObject* s) { OpenRecentItem(s); };
        recentMenu_->addAction(item);
        recentItems_.push_back(item);
    }
}

void TMainForm::OpenRecentItem(QObject* sender) {
    auto* item = qobject_cast<TMenuItem*>(sender);
    if (!item || item->Tag < 0 || item->Tag >= RecentFiles.Count())
        return;
    const std::string path = RecentFiles[item->Tag];
    if (!FileExists(path)) {
        Ui().ShowMessage(Text("IDS_11") + path);
        return;
    }
    if (UpperCase(ExtractFileExt(path)) == ".VRX")
        apri_documento(path, true);
    else
        OpenTestsWithConfiguration({path}, "", true);
}

// ---- menu handlers ----

std::string TMainForm::ChooseFile(const std::string& key, const std::string& filter) {
    std::string folder;
    if (!ReadKolmVar(BasePath, kKolmSection, key, folder) || !DirectoryExists(folder))
        folder = BasePath;
    OpenDialog1.InitialDir = folder;
    OpenDialog1.Filter = filter;
    OpenDialog1.FileName.clear();
    const std::vector<std::string> chosen = Ui().OpenFileDialog(OpenDialog1);
    if (chosen.empty())
        return {};
    OpenDialog1.FileName = chosen.front();
    WriteKolmVar(BasePath, kKolmSection, key, ExtractFilePath(chosen.front()));
    return chosen.front();
}

void TMainForm::ApriProgetto1Click(QObject*) {
    const std::string path =
        ChooseFile(std::string(kLastDocPath), Text("IDS_13") + "VRX" + ")|*." + "VRX");
    if (path.empty())
        return;
    AddRecentFile(path);
    apri_documento(path, true);
}

void TMainForm::Apri1Click(QObject*) {
    std::unique_ptr<TOpenListFile> chooser(CreateForm<TOpenListFile>(this));
    if (chooser->ShowModal() != mrOk)
        return;
    const std::vector<std::string> tests = chooser->Tests();
    chooser.reset();
    OpenTestsWithConfiguration(tests, "", true);
}

void TMainForm::Editprova1Click(QObject*) {
    if (!MainExtensions().EditTestFile)
        return;
    const std::string path = ChooseFile(std::string(kLastEditPath), Text("IDS_38"));
    if (!path.empty())
        MainExtensions().EditTestFile(*this, path);
}

void TMainForm::Normalizzaprova2Click(QObject*) {
    if (!MainExtensions().NormaliseTest)
        return;
    const std::string path = ChooseFile(std::string(kLastNormalPath), Text("IDS_38"));
    if (!path.empty())
        MainExtensions().NormaliseTest(*this, path);
}

void TMainForm::Modellodicaricamento1Click(QObject*) {
    if (!MainExtensions().EditLoadModel)
        return;
    const std::string path = ChooseFile(std::string(kTestsPath), Text("IDS_0"));
    if (!path.empty())
        MainExtensions().EditLoadModel(*this, path);
}

void TMainForm::Convertiprove1Click(QObject*) {
    if (MainExtensions().ConvertTests)
        MainExtensions().ConvertTests(*this);
}

void TMainForm::Impostazioni1Click(QObject*) {
    const QPointer<TDocForm> worked = ActiveDocForm();
    if (ImpostazioniRec.TcpServerActive())
        StopTcpServer();
    {
        std::unique_ptr<Timpostazioni> dlg(CreateForm<Timpostazioni>(this));
        dlg->ShowSettings(ImpostazioniRec);
        if (dlg->ShowModal() == mrOk) {
            dlg->TakeSettings(ImpostazioniRec);
            ApplyLanguage(ImpostazioniRec.Language());
            if (int error = 0; !SaveSettings(&error)) {
                const std::string why = FileSystemErrorText(error);
                Ui().ShowMessage(Text("IDS_101") + SettingsFileName() +
                                 (why.empty() ? "" : "\r\n" + why));
            }
            if (dlg->AssociateVrx() && MainExtensions().RegisterFileType)
                MainExtensions().RegisterFileType(true);
        }
    }
    if (ImpostazioniRec.TcpServerActive())
        StartTcpServer();
    if (worked)
        worked->ReturnToWindow();
}

void TMainForm::ImpostaStampante1Click(QObject*) {
    TDocForm* doc = ActiveDocForm();
    if (Ui().PrinterSetupDialog() && doc)
        doc->TakePrinterOrientationMarking();
    if (doc)
        doc->ReturnToWindow();
}

void TMainForm::Stampa1Click(QObject*) {
    if (TDocForm* doc = ActiveDocForm()) {
        doc->PrintCurrentPage();
        doc->ReturnToWindow();
    }
}

void TMainForm::StampaDocumento1Click(QObject*) {
    if (TDocForm* doc = ActiveDocForm()) {
        doc->PrintDocumentDialog();
        doc->ReturnToWindow();
    }
}

void TMainForm::Esci1Click(QObject*) {
    Close();
}

void TMainForm::Window1Click(QObject*) {
    ClearEntries(windowItems_);
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype i = 0; i < children.size(); ++i) {
        auto* item = new TMenuItem(windowMenu_);
        item->Tag = static_cast<int>(i);
        item->SetCaption(QString::number(i + 1) + ">" + children[i]->windowTitle());
        item->OnClick = [this](QObject* s) { Documenti1Click(s); };
        windowMenu_->addAction(item);
        windowItems_.push_back(item);
    }
}

void TMainForm::Documenti1Click(QObject* sender) {
    auto* item = qobject_cast<TMenuItem*>(sender);
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList(QMdiArea::CreationOrder);
    if (!item || item->Tag < 0 || item->Tag >= children.size())
        return;
    QMdiSubWindow* sub = children[item->Tag];
    if (auto* doc = qobject_cast<TDocForm*>(sub->widget()))
        doc->FitPending = true;
    if (sub->isMinimized())
        sub->showNormal();
    ClientArea->setActiveSubWindow(sub);
    sub->raise();
}

QList<QMdiSubWindow*> TMainForm::ArrangedWindows() const {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : ClientArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            windows.push_back(sub);
    return windows;
}

// The client area in a grid of as many columns as rows (or one more), one window a cell.
void TMainForm::Affianca1Click(QObject*) {
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    if (windows.isEmpty())
        return;
    const int count = static_cast<int>(windows.size());
    int columns = 1;
    while (columns * columns < count)
        ++columns;
    const int rows = (count + columns - 1) / columns;
    const QSize area = ClientArea->viewport()->size();
    const QSize cell = QSize(area.width() / columns, area.height() / rows)
                           .expandedTo(QSize(kMinDocumentWidth, kMinDocumentHeight));
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(
            QRect(QPoint((i % columns) * cell.width(), (i / columns) * cell.height()), cell));
    }
}

// Each window one title bar lower and to the right of the one before, all of one size that
// keeps the last within the client area.
void TMainForm::Sovrapponi1Click(QObject*) {
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    if (windows.isEmpty())
        return;
    const int step = std::max(16, windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight,
                                                                        nullptr, windows.front()) +
                                      4);
    const int shift = step * static_cast<int>(windows.size() - 1);
    const QSize area = ClientArea->viewport()->size();
    const QSize size = QSize(area.width() - shift, area.height() - shift)
                           .expandedTo(QSize(kMinDocumentWidth, kMinDocumentHeight));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const int at = step * static_cast<int>(i);
        windows[i]->showNormal();
        windows[i]->setGeometry(QRect(QPoint(at, at), size));
        windows[i]->raise();
    }
    ClientArea->setActiveSubWindow(windows.back());
}

void TMainForm::Distribuisci1Click(QObject*) {
    // Minimised windows in a row along the bottom of the area.
    int x = 0;
    const int bottom = ClientArea->viewport()->height();
    for (QMdiSubWindow* sub : ClientArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        sub->move(x, bottom - sub->height());
        x += sub->width();
    }
}

void TMainForm::Guidainlinea1Click(QObject*) {
    const std::string wanted = BasePath + "Manuale/vornix.pdf";
    const std::string manual = FindExistingPath(wanted);
    if (manual.empty())
        Ui().ShowMessage(Text("IDS_120") + wanted);
    else if (!Ui().OpenWithDesktop(manual))
        Ui().ShowMessage(Text("IDS_121") + manual);
}

void TMainForm::Show1Click(QObject*) {
    const QPointer<TDocForm> worked = ActiveDocForm();
    {
        std::unique_ptr<TAboutBox> about(CreateForm<TAboutBox>(this));
        about->ShowModal();
    }
    if (worked)
        worked->ReturnToWindow();
}

// ---- menus ----

void TMainForm::MergeMenus() {
    // The active child's menus, whatever window it is.
    QMdiSubWindow* sub = ClientArea->currentSubWindow();
    QWidget* child = sub && !sub->isMinimized() ? sub->widget() : nullptr;
    TMainMenu* menu = child ? child->findChild<TMainMenu*>("MainMenu1") : nullptr;
    if (menu == MainMenu1->Merged())
        return;
    MainMenu1->Merge(menu);
    // A window that goes without another becoming active must not stay merged.
    if (menu)
        connect(menu, &QObject::destroyed, this, [this, menu] { MainMenu1->Unmerge(menu); });
}

} // namespace vx

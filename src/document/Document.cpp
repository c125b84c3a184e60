#include "document/Document.h"

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/TabSet.h"
#include "report/DocBox.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <QCryptographicHash>

namespace vx {

namespace {

const char* const kHashFile = "TMPDEFFILEHASH.TMP";

// Clears a flag however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

std::string Md5Hex(std::string_view bytes) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Md5);
    return digest.toHex().toUpper().toStdString();
}

} // namespace

TDocForm::TDocForm(QWidget* parent)
    : TForm(parent, "DocForm"), Databuffer(std::make_unique<TDatabuffer>()) {
    elencopagine = new TTabSet(this, "elencopagine");
    mlLang1 = CreateFormTable(this, "TDocForm");
}

TDocForm::~TDocForm() {
    // The view writes into the container as it goes, and the pages call back into the window.
    ReleaseView();
    DocBox.reset();
}

std::string TDocForm::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

std::vector<TWPPage*> TDocForm::Pages() const {
    std::vector<TWPPage*> pages;
    if (DocBox)
        for (int i = 0; i < DocBox->PageCount(); ++i)
            pages.push_back(DocBox->GetPage(i));
    return pages;
}

void TDocForm::AddTab(const std::string& name) {
    QStringList tabs = elencopagine->Tabs();
    tabs << ToQString(name);
    elencopagine->SetTabs(tabs);
}

// ---- document ----

void TDocForm::SaveDocumentToFile(const std::string& fileName) {
    SaveDocumentFile(fileName, *Databuffer, Pages());
}

void TDocForm::LoadPages(TStream& stream, bool append, const std::string& fileName) {
    TPageList pages;
    ReadChecked(stream, fileName, [&] { pages = ReadPages(stream, Databuffer.get()); });
    // A document without pages is refused rather than opened pageless.
    if (!append && pages.empty())
        throw EDocumentFile(TDocumentFileError::Damaged, fileName);
    TakePages(std::move(pages), append);
}

void TDocForm::TakePages(TPageList pages, bool append) {
    if (!DocBox)
        DocBox = std::make_unique<TDocBox>();
    {
        FlagScope loading(Loading);
        if (!append) {
            elencopagine->SetTabs({});
            DocBox->ClearPages();
        }
        for (std::unique_ptr<TWPPage>& page : pages) {
            if (TWPReport* report = page->Report())
                report->OnCurrentPageChange = [this](TComponent* sender) {
                    ReportPageChanged(sender);
                };
            const std::string name = page->pagename;
            DocBox->AdoptPage(page.release());
            AddTab(name);
        }
        DocBox->ShowPage(0);
        elencopagine->SetTabIndex(0);
        UpdatePageTypeControls();
    }
}

// ---- project ----

void TDocForm::SaveProjectToFile(const std::string& fileName) {
    SaveProjectFile(fileName, Pages(), Databuffer->LabelTable, MappingList);
}

void TDocForm::LoadProjectFromFile(const std::string& fileName, bool append) {
    TProjectContent project;
    ReadFileChecked(fileName, [&](TStream& stream) {
        project = ReadProject(stream, Databuffer.get(), fileName);
    });
    if (!append && project.Pages.empty())
        throw EDocumentFile(TDocumentFileError::Damaged, fileName);
    TakePages(std::move(project.Pages), append);
    TakeProjectLabels(project.Labels, *Databuffer);
    if (project.HasStyles)
        AttributiProve() = project.Styles;
    if (project.HasMappingList)
        MappingList.Assign(project.MappingList);
}

// ---- new document ----

void TDocForm::LoadTestsAndProject(const std::string& /*loadModel*/,
                                   const std::string& configurationFile, const TStringList& files) {
    Databuffer->FileNames.Assign(files);
    LoadTestFiles(*Databuffer, files);
    std::string caption;
    for (int i = 0; i < files.Count(); ++i)
        caption += " " + ExtractFileName(files[i]);
    SetCaption(ToQString(caption));

    // A project that cannot be read falls back as a missing one does.
    for (const std::string& candidate : {configurationFile, SystemFileName("defcfg.set")}) {
        const std::string path = candidate.empty() ? std::string() : FindExistingPath(candidate);
        if (path.empty())
            continue;
        try {
            LoadProjectFromFile(path, false);
            return;
        } catch (const EDocumentFile&) {
        }
    }
    AddEmptyGraphPage();
}

void TDocForm::AddEmptyGraphPage() {
    if (!DocBox)
        DocBox = std::make_unique<TDocBox>();
    TWPPage* page = DocBox->AddPage();
    DocBox->ShowPage(0);
    page->DataBuffer = Databuffer.get();
    page->SetPageKind(PK_GRAPHIC);
    FlagScope loading(Loading);
    AddTab(Text("IDS_21"));
    elencopagine->SetTabIndex(0);
}

void TDocForm::LoadTestFiles(TDatabuffer& databuffer, const TStringList& files) {
    Ui().SetBusyCursor(true);
    struct Restore {
        TDocForm* form;
        ~Restore() {
            form->HideProgress();
            Ui().SetBusyCursor(false);
        }
    } restore{this};
    UnreadTestFiles.clear();
    for (int i = 0; i < files.Count(); ++i) {
        const std::string& file = files[i];
        ShowProgress(Text("IDS_22") + file, 10);
        ProcessMessages();
        if (!ReadTestFile(databuffer, file, [this](int64_t position, int64_t maximum) {
                SetProgress(maximum > 0 ? static_cast<int>(position * 10 / maximum) : 0);
            }))
            UnreadTestFiles.push_back(file);
    }
}

// ---- hash check ----

std::string TDocForm::FileMD5(const std::string& fileName) {
    return Md5Hex(ReadWholeFile(fileName));
}

std::string TDocForm::ComputeProjectHash() {
    TMemoryStream project;
    WriteProject(project, Pages(), Databuffer->LabelTable, AttributiProve(), MappingList);
    // The program's folder is often not writable here; the hash does not depend on the file.
    try {
        WriteFileAtomically(ExtractFilePath(Application().ExeName()) + kHashFile, project.Bytes());
    } catch (const Exception&) {
    }
    return Md5Hex(project.Bytes());
}

void TDocForm::VerificaHASH1Click(QObject*) {
    const std::string hash = ComputeProjectHash();
    if (DefinitionHash.empty()) {
        DefinitionHash = hash;
        return;
    }
    Ui().ShowMessage(Text(hash == DefinitionHash ? "IDS_55" : "IDS_54"));
}

// ---- dialogs ----

bool TDocForm::FileCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const EDocumentFile& e) {
        Ui().MessageDlg(FileErrorText(e, e.FileName, e.Kind == TDocumentFileError::CannotSave),
                        TMsgDlgType::mtError, mbOK);
    }
    return false;
}

std::string TDocForm::FileFilter(const char* id, const std::string& ext) const {
    return Text(id) + ext + ")|*." + ext;
}

void TDocForm::RefreshAfterLoad() {
    if (DocBox) {
        DocBox->ZoomToFit();
        DocBox->RedrawCurrentPage();
    }
    UpdatePageTypeControls();
}

std::string TDocForm::ChooseDocumentName() {
    std::string lastFolder;
    ReadKolmVar(BasePath, "Kolm Path", "Last doc path", lastFolder);
    return ChooseFile(true, lastFolder, FileFilter("IDS_11", "VRX"), "VRX");
}

void TDocForm::SalvaDocumento1Click(QObject*) {
    const std::string name = ChooseDocumentName();
    if (!name.empty())
        SaveDocumentAs(name);
}

bool TDocForm::SaveDocumentAs(const std::string& fileName) {
    const bool saved = FileCommand([&] {
        SaveDocumentToFile(fileName);
        WriteKolmVar(BasePath, "Kolm Path", "Last doc path", ExtractFilePath(fileName));
    });
    if (saved) {
        DocumentFile = fileName;
        modified_ = false;
    }
    return saved;
}

bool TDocForm::SaveDocument() {
    if (DocumentFile.empty()) {
        const std::string name = ChooseDocumentName();
        return !name.empty() && SaveDocumentAs(name);
    }
    return SaveDocumentAs(DocumentFile);
}

void TDocForm::SalvaConfigurazione1Click(QObject*) {
    const std::string name =
        ChooseFile(true, ConfigurationsFolder(), FileFilter("IDS_11", "CPF"), "CPF", DocumentName);
    if (!name.empty())
        FileCommand([&] { SaveProjectToFile(name); });
}

void TDocForm::CaricaConfigurazione1Click(QObject*) {
    const std::string name =
        ChooseFile(false, ConfigurationsFolder(), FileFilter("IDS_11", "CPF"), "CPF");
    if (name.empty())
        return;
    if (FileCommand([&] { LoadProjectFromFile(name, false); }))
        MarkModified();
    RefreshAfterLoad();
}

void TDocForm::ImportaConfigurazione1Click(QObject*) {
    const std::string name =
        ChooseFile(false, ConfigurationsFolder(), FileFilter("IDS_11", "CPF"), "CPF");
    if (name.empty())
        return;
    if (FileCommand([&] { LoadProjectFromFile(name, true); }))
        MarkModified();
    RefreshAfterLoad();
}

void TDocForm::SalvaGrafico1Click(QObject*) {
    TWPPage* page = DocBox ? DocBox->GetCurrentPage() : nullptr;
    TWPGraph* graph = page ? page->Graph() : nullptr;
    if (!graph)
        return;
    const std::string name =
        ChooseFile(true, ConfigurationsFolder(), FileFilter("IDS_34", "CGF"), "CGF");
    if (!name.empty())
        FileCommand([&] { SaveGraphFile(name, *graph); });
}

void TDocForm::ApriGrafico1Click(QObject*) {
    TWPPage* page = DocBox ? DocBox->GetCurrentPage() : nullptr;
    TWPGraph* graph = page ? page->Graph() : nullptr;
    if (!graph)
        return;
    const std::string name =
        ChooseFile(false, ConfigurationsFolder(), FileFilter("IDS_34", "CGF"), "CGF");
    if (name.empty())
        return;
    if (FileCommand([&] { LoadGraphFile(name, *graph); }))
        MarkModified();
    RefreshAfterLoad();
}

} // namespace vx

#pragma once

// The window of one document: its pages (through one page container), its tests (one data
// buffer), a tab per page, and the document and project files it reads and writes.

#include "platform/runtime/StringList.h"
#include "platform/ui/Form.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class TComboBox;
class TComponent;
class TDatabuffer;
class TEdit;
class TLabel;
class TMainMenu;
class TMenuItem;
class TPanel;
class TProgressBar;
class TSpeedButton;
class TTimer;
class TUpDown;
class DocumentDialogs;
class EDocumentFile;
class TDocBox;
class TStream;
class TTabSet;
class TWPPage;
class TmlLang;

class TDocForm : public TForm {
    Q_OBJECT
public:
    explicit TDocForm(QWidget* parent = nullptr);
    ~TDocForm() override;

    // ---- components ----
    TTabSet* elencopagine;
    TmlLang* mlLang1;

    // ---- document state ----
    // The document's tests; every page points to it.
    std::unique_ptr<TDatabuffer> Databuffer;
    // None until a document is made or opened.
    std::unique_ptr<TDocBox> DocBox;
    // The .MAP file names a project carries; nothing here reads those files.
    TStringList MappingList;
    // The name shown for the document (at most 255 characters).
    std::string DocumentName;
    // Empty until the first hash check.
    std::string DefinitionHash;
    bool Closing = false;
    // Set while pages are read or created: the tab set's change handler then does nothing.
    bool Loading = false;
    bool TabChangePending = false;
    bool FitPending = false;

    // ---- document and project files ----
    // The .VRX; raises EDocumentFile (cannot save) and leaves an existing file as it was.
    void SaveDocumentToFile(const std::string& fileName);
    // i32 count and that many pages, read whole before the document changes; raises
    // EDocumentFile with the document and its tabs as they were.
    void LoadPages(TStream& stream, bool append, const std::string& fileName = {});
    void SaveProjectToFile(const std::string& fileName);
    // Raises EDocumentFile with the document, tabs, test styles and mapping list unchanged.
    void LoadProjectFromFile(const std::string& fileName, bool append);
    // A new document: the tests, then the configuration, else "defcfg.set", else one graph
    // page. The load model is accepted and not used: no caller passes one.
    void LoadTestsAndProject(const std::string& loadModel, const std::string& configurationFile,
                             const TStringList& files);
    void LoadTestFiles(TDatabuffer& databuffer, const TStringList& files);
    // The MD5 of the document's project, written beside the program file where it can be.
    std::string ComputeProjectHash();
    // 32 upper-case hexadecimal digits; raises EFOpenError when the file cannot be read.
    static std::string FileMD5(const std::string& fileName);

    // ---- menu and button handlers of the files ----
    void SalvaDocumento1Click(QObject* sender);
    void SalvaConfigurazione1Click(QObject* sender);
    void CaricaConfigurazione1Click(QObject* sender);
    void ImportaConfigurazione1Click(QObject* sender);
    void SalvaGrafico1Click(QObject* sender);
    void ApriGrafico1Click(QObject* sender);
    void VerificaHASH1Click(QObject* sender);

    // The message of a failed file operation in the window's language.
    std::string FileErrorText(const EDocumentFile& error) const;

    // ---- the document window's controls (DocumentWindow.cpp) ----
    void UpdatePageTypeControls();
    // The page-change event of a report page's report.
    void ReportPageChanged(TComponent* sender);
    void ShowProgress(const std::string& text, int maximum);
    void SetProgress(int position);
    void HideProgress();

    // The document's pages in order.
    std::vector<TWPPage*> Pages() const;

    // ==== the document window (DocumentWindow.cpp) ====
public:
    // ---- called by the main window ----
    // A new document from a configuration and test files; a second call does nothing.
    void NewDocument(const std::string& configurationFile, const TStringList& files);
    // The pages of a stored document, whose header, tests and test styles the caller has read.
    void OpenDocumentStream(TStream& stream);
    void PrintDocumentDialog();
    // Pages from..to counted from 1; from below 1 is 1, to below 1 or above the count is the
    // count. Sheets go out as one job per run of one orientation.
    void PrintPages(int from, int to);
    void PrintCurrentPage();
    // After a printer change: report pages are paginated again, the page is fitted.
    void InvalidatePage();
    void ZoomToPage();
    void TakePrinterOrientation();
    // True while printing or loading waits: input is blocked and a close waits for the end.
    bool Working() const { return working_ > 0; }

    // ---- page operations ----
    void NewPage();
    void DeleteCurrentPage();
    // Index outside the pages does nothing.
    void RenamePage(int index);

    // The dialogs of later work; tests install fakes. Null: those launchers do nothing.
    DocumentDialogs* Dialogs = nullptr;

    // ---- components ----
    TPanel* Panel1;
    TSpeedButton* SpeedButtons[21];
    TSpeedButton* SpeedButton(int number) const { return SpeedButtons[number - 1]; }
    TComboBox* ComboBox1;
    TPanel* Panel2;
    TPanel* Panel3;
    TPanel* Panel4;
    TPanel* Panel5;
    TPanel* Panel6;
    TEdit* Edit1;
    TUpDown* UpDown1;
    TLabel* Label1;
    TProgressBar* ProgressBar1;
    TTimer* Timer1;
    TMainMenu* MainMenu1;
    // A menu item by its name; null for an unknown name.
    TMenuItem* MenuItem(const QString& name) const;

    // ---- handlers reached by tests as a user would reach them ----
    void elencopagineMouseDown(int button, int x, int y);
    void DocBoxMouseWheelDown(bool shift);
    void DocBoxMouseWheelUp(bool shift);

private:
    void BuildWindow();
    void BuildMenu();
    void BindHandlers();
    void ApplyTexts();
    TWPPage* CurrentPage() const;
    void CreateDocBox();
    void AfterDocumentLoaded();
    void TabChanged(int newTab);
    void ShowPageDirect(int index);
    void ZoomBy(int step);
    void SetZoom(unsigned percent);
    void UpdateNavigator();
    void NavigatorPosition(int position);
    void ExportMetafile();
    void EditMargins(bool everyPage);
    void EditAttributes(bool everyPage);
    void PageMenuOpened();
    void EditMenuOpened();
    void ToggleHeaderFooter(bool header);
    void EditGraphProperties();
    void EditReportProperties();
    void EditGeneralParameters();
    void ToggleCursorValues(bool fromMenu);
    void Timer1Timer();
    std::string PrintTitle(int page) const;

    int working_ = 0;
    int printRange_ = 0;
    int printFrom_ = 1;
    int printTo_ = 1;
    int printMin_ = 1;
    int printMax_ = 1;

private:
    std::string Text(const char* id) const;
    void AddTab(const std::string& name);
    void AddEmptyGraphPage();
    void TakePages(std::vector<std::unique_ptr<TWPPage>> pages, bool append);
    void RefreshAfterLoad();
    // Runs a file command of a menu: a failure is shown, the document stays as it was.
    void FileCommand(const std::function<void()>& command);
    std::string ChooseFile(bool save, const std::string& initialDir, const std::string& filterId,
                           const std::string& ext, const std::string& proposed = {});
};

} // namespace vx

#pragma once

// The window of one document: its pages (through one page container), its tests (one data
// buffer), a tab per page, and the document and project files it reads and writes.

#include "platform/runtime/Geometry.h"
#include "platform/runtime/Input.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/UiServices.h"
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
class TDocBoxView;
class TWPGraph;
class TWPReport;
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
    // The .VRX the document was read from or last saved to; empty for a new document.
    std::string DocumentFile;

    // ---- changes ----
    // Set by every command that changes the document; saving the document clears it.
    bool Modified() const { return modified_; }
    void MarkModified() { modified_ = true; }
    // Asks whether a changed document is saved first: true when the window may go (saved, or
    // the user chose not to), false when the user cancelled or the save failed.
    bool QuerySave();
    // Saves as "Salva documento" does, asking for a name only when the document has none;
    // false when cancelled or failed (the failure is shown).
    bool SaveDocument();
    // Saves to the named .VRX and remembers it as the document's file; false when it failed.
    bool SaveDocumentAs(const std::string& fileName);
    // Closes without the question: whoever calls it has asked already or answers for nobody.
    void CloseWithoutAsking();

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
    // The test files the last LoadTestFiles could not read, in order.
    std::vector<std::string> UnreadTestFiles;
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
    // The window is built as its members are made (BuildWindow); the form's OnCreate is
    // FormCreate, so windows are made with CreateForm.

    // ---- called by the main window ----
    // A new document from a configuration and test files; a second call does nothing.
    void NewDocument(const std::string& configurationFile, const TStringList& files);
    // The pages of a stored document, whose header, tests and test styles the caller has read;
    // a refusal names fileName.
    void OpenDocumentStream(TStream& stream, const std::string& fileName = {});
    void PrintDocumentDialog();
    // Pages from..to counted from 1; from below 1 is 1, to below 1 or above the count is the
    // count. Sheets go out as one job per run of one orientation, all in one print batch.
    void PrintPages(int from, int to);
    void PrintCurrentPage();
    // Where an interactive print goes: with "Vornix PDF" as the printer or "Print to file"
    // chosen, a PDF file the user names (file); otherwise the printer (file empty). False when
    // the user cancelled, and nothing is printed.
    bool ChoosePrintFile(const PrintDialogRequest& request, std::string& file);
    // Runs print on the current printer, or, with a file, on "Vornix PDF" writing there; the
    // printer chosen before comes back afterwards.
    void PrintThrough(const std::string& file, const std::function<void()>& print);
    // Its window becomes the active one in front again, unless it is closing.
    void ReturnToWindow();
    // After a printer change: report pages are paginated again, the page is fitted.
    void InvalidatePage();
    void ZoomToPage();
    void TakePrinterOrientation();
    // The same after the user chose a printer: a page that turns is a change of the document.
    void TakePrinterOrientationMarking();
    // True while printing or loading waits: input is blocked and a close waits for the end.
    bool Working() const { return working_ > 0; }
    // Frees the page view; the window's destruction must do it before the page container goes.
    void ReleaseView();

    // ---- page operations ----
    void NewPage();
    void DeleteCurrentPage();
    // Asks, then deletes the current page; a document keeps at least one page.
    void DeletePageAsking();
    // Index outside the pages does nothing.
    void RenamePage(int index);

    // The dialogs of later work; tests install fakes. Null: those launchers do nothing.
    DocumentDialogs* Dialogs = nullptr;

    // ---- components ----
    TPanel* Panel1;
    TSpeedButton* SpeedButtons[21];
    // SpeedButton1 .. SpeedButton21.
    TSpeedButton* SpeedButton(int number) const { return SpeedButtons[number - 1]; }
    TComboBox* ComboBox1;
    TPanel* Panel2;
    TPanel* Panel3;
    TPanel* Panel4;
    TPanel* Panel5;
    TPanel* Panel6;
    TSpeedButton* SpeedButton18;
    TSpeedButton* SpeedButton20;
    TSpeedButton* SpeedButton19;
    TEdit* Edit1;
    TUpDown* UpDown1;
    TLabel* Label1;
    TProgressBar* ProgressBar1;
    TTimer* Timer1;
    TMainMenu* MainMenu1;
    // The page container's view, once there is a container.
    TDocBoxView* BoxView = nullptr;
    // A menu item by its name; null for an unknown name.
    TMenuItem* MenuItem(const QString& name) const;

    // ---- handlers ----
    void FormCreate(QObject* sender);
    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);
    void elencopagineChange(QObject* sender, int newTab, bool& allowChange);
    void elencopagineMouseDown(TMouseButton button, int x, int y);
    void DocBoxMouseWheelDown(QObject* sender, TShiftState shift, TPoint mousePos, bool& handled);
    void DocBoxMouseWheelUp(QObject* sender, TShiftState shift, TPoint mousePos, bool& handled);
    void ComboBox1Change(QObject* sender);
    void Edit1KeyPress(QObject* sender, char& key);
    void UpDown1Changing(QObject* sender, int newPosition, bool& allowChange);
    void Timer1Timer(TComponent* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool BuildWindow();
    void BuildMenu();
    TWPPage* CurrentPage() const;
    TWPGraph* CurrentGraph() const;
    void CreateDocBox();
    void ShowPageDirect(int index);
    void ZoomIn();
    void ZoomOut();
    void SetZoom(uint32_t percent);
    void ShowReportPosition(const TWPReport& report);
    void ExportMetafile();
    void EditMargins(bool everyPage);
    void EditAttributes(bool everyPage);
    void PageMenuOpened();
    void EditMenuOpened();
    void ToggleHeaderFooter(bool header);
    void EditCellTable(bool header);
    void EditGraphProperties();
    void EditReportProperties();
    void EditGeneralParameters();
    void CursorValuesFollow(bool fromMenu);
    void SelectAllAxes();
    void EditSelectedAxes();
    void EditAxisTyping();
    void DeselectGraphAxes();
    // Runs an editor of the page's objects whose dialog does not say whether it changed
    // anything: the page's stored bytes tell.
    void EditPageObjects(TWPPage* page, const std::function<void()>& edit);
    void RepaintCurrentPage();
    void PrinterSetup();
    std::string BaseTitle() const;
    void BeginWork();
    void EndWork();

    int working_ = 0;
    bool closeRequested_ = false;
    bool modified_ = false;
    bool askOnClose_ = true;
    // Set while a mouse event goes on to the page view through the window's filter.
    bool mouseEditing_ = false;
    PrintDialogRequest printRequest_;
    // The file the waiting print of the current page goes to; empty: the printer.
    std::string printFile_;
    bool windowBuilt_ = BuildWindow();

private:
    std::string Text(const char* id) const;
    void AddTab(const std::string& name);
    void AddEmptyGraphPage();
    void TakePages(std::vector<std::unique_ptr<TWPPage>> pages, bool append);
    void RefreshAfterLoad();
    // Runs a file command of a menu: a failure is shown, the document stays as it was.
    // True when it ran through.
    bool FileCommand(const std::function<void()>& command);
    // "<the window's text id>EXT)|*.EXT".
    std::string FileFilter(const char* id, const std::string& ext) const;
    // The save dialog of a document, in the folder of the last one; empty when cancelled.
    std::string ChooseDocumentName();
};

} // namespace vx

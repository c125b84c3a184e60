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

class TComponent;
class TDatabuffer;
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

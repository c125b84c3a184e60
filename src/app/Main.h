#pragma once

// The program's frame: the document windows inside an MDI area, the menus of the program,
// the recently opened files, the queue of documents named on command lines, and the
// settings dialog and test tools.

#include "platform/runtime/StringList.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Form.h"

#include <QKeySequence>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

namespace vx {

class TDocForm;
class TMainMenu;
class TMenuItem;
class TTimer;
class TmlLang;

class TMainForm : public TForm {
    Q_OBJECT
public:
    static constexpr int kMaxRecentFiles = 10;
    // No document window is arranged or restored smaller than this.
    static constexpr int kMinDocumentWidth = 400;
    static constexpr int kMinDocumentHeight = 300;

    explicit TMainForm(QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TMainForm() override;

    // ---- components ----
    TMainMenu* MainMenu1;
    QMenuBar* MenuBar;
    QMdiArea* ClientArea;
    TMenuItem* File1;
    TMenuItem* ApriProgetto1;
    TMenuItem* Apri1;
    TMenuItem* Editprova1;
    TMenuItem* Impostazioni1;
    TMenuItem* ImpostaStampante1;
    TMenuItem* Stampa1;
    TMenuItem* StampaDocumento1;
    TMenuItem* StampaPDF1;
    TMenuItem* Recenti1;
    TMenuItem* Esci1;
    TMenuItem* Strumenti1;
    TMenuItem* Normalizzaprova2;
    TMenuItem* Convertiprove1;
    TMenuItem* Modellodicaricamento1;
    TMenuItem* Ricercaprove1;
    TMenuItem* Creafiledimappatura1;
    TMenuItem* Window1;
    TMenuItem* Affianca1;
    TMenuItem* Sovrapponi1;
    TMenuItem* Distribuisci1;
    TMenuItem* Documenti1;
    TMenuItem* Help1;
    TMenuItem* Guidainlinea1;
    TMenuItem* Show1;
    // The requests the file dialogs go out with; the tools read them too.
    FileDialogRequest OpenDialog1;
    FileDialogRequest SaveDialog1;
    std::unique_ptr<TTimer> Timer1;
    TmlLang* mlLang1;

    // ---- state ----
    bool FirstActivation = true;
    // Full paths, newest first.
    TStringList RecentFiles;
    std::deque<std::string> OpenQueue;

    // ---- routines others call ----
    // A new document of the tests with the configuration, or one chosen by the user when
    // that is empty or missing.
    // `tellUser` also names the tests that could not be read (the user chose them).
    void OpenTestsWithConfiguration(const std::vector<std::string>& files,
                                    const std::string& configuration, bool tellUser = false);
    // A command line of this process or of a second copy: an existing file it names goes on
    // the open queue.
    void QueueCommandLine(const std::string& commandLine);
    // A stored document in a new window, read from a temporary copy. Failures are logged;
    // `tellUser` also shows them (the user chose the file).
    void apri_documento(const std::string& path, bool tellUser = false);
    TDocForm* ActiveDocForm() const;
    void AddRecentFile(const std::string& path);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    // Three CR LF lines in "DEBUG_Path.txt" beside the program, or in the base folder when the
    // program's folder is not writable; only the user reads it, and past kDebugLogLimit bytes
    // it moves to "DEBUG_Path.old.txt" before the next line. Never fails.
    static constexpr int64_t kDebugLogLimit = 1024 * 1024;
    static void DebugLog(const std::string& tag, const std::string& value);
    static std::string DebugLogFileName();
    void StartTcpServer();
    void StopTcpServer();
    // Where the temporary copies of opened documents live, created when missing.
    static std::string TempFolder();
    // This process's command line as the desktop would pass it: the program path and every
    // argument, each in double quotes, separated by blanks.
    static std::string ProcessCommandLine();
    std::string Text(const char* id) const;

    // ---- handlers ----
    void FormCreate(QObject* sender);
    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);
    void FormDestroy();
    void Timer1Timer();
    void ApriProgetto1Click(QObject* sender);
    void Apri1Click(QObject* sender);
    void Editprova1Click(QObject* sender);
    void Impostazioni1Click(QObject* sender);
    void ImpostaStampante1Click(QObject* sender);
    void Stampa1Click(QObject* sender);
    void StampaDocumento1Click(QObject* sender);
    void Esci1Click(QObject* sender);
    void Normalizzaprova2Click(QObject* sender);
    void Convertiprove1Click(QObject* sender);
    void Modellodicaricamento1Click(QObject* sender);
    void File1Click(QObject* sender);
    void OpenRecentItem(QObject* sender);
    void Window1Click(QObject* sender);
    void Documenti1Click(QObject* sender);
    void Affianca1Click(QObject* sender);
    void Sovrapponi1Click(QObject* sender);
    void Distribuisci1Click(QObject* sender);
    void Guidainlinea1Click(QObject* sender);
    void Show1Click(QObject* sender);

    // The menu bar as it stands: the frame's menus with those of the active document window
    // merged in by group index.
    void MergeMenus();

    // A child window in the frame, maximised, freed when it closes.
    QMdiSubWindow* AddChildWindow(TForm* child);
    // A document window in the frame, with the program's document dialogs.
    QMdiSubWindow* AddDocumentWindow(TDocForm* doc);
    // Adds a finished document window, shows it, and makes it the active one in front.
    void ShowDocumentWindow(TDocForm* doc);
    // The document windows that take part in tiling and cascading, in creation order.
    QList<QMdiSubWindow*> ArrangedWindows() const;
    // Through the window's own close, which lets it release its view first.
    static void FreeDocumentWindow(QMdiSubWindow* sub);

private:
    TMenuItem* Item(TMenuItem* parent, const char* name, const char* caption,
                    void (TMainForm::*handler)(QObject*) = nullptr, QKeySequence key = {});
    // A submenu whose entries are made as it opens.
    QMenu* RuntimeSubmenu(TMenuItem* item);
    static void ClearEntries(std::vector<TMenuItem*>& entries);
    // Tools not installed stay in place, grey, with a hint saying why.
    void MarkTools();
    // Asks for a file starting in the folder kept under `key`, and keeps the chosen folder.
    std::string ChooseFile(const std::string& key, const std::string& filter);
    static void ApplyLanguage(int language);

    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::vector<TMenuItem*> recentItems_;
    std::vector<TMenuItem*> windowItems_;
};

// The one main window; null before start-up creates it and after it is gone.
inline TMainForm* MainForm = nullptr;

// The entries of a "recenti.set": at most kMaxRecentFiles, duplicates (ignoring case) left
// out, read while whole entries remain, whatever the stored count claims.
std::vector<std::string> ParseRecentFiles(std::string_view bytes);
std::string FormatRecentFiles(const TStringList& files);

} // namespace vx

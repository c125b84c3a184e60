#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QObject;

namespace vx {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message dialog, combinable.
enum TMsgDlgBtn : unsigned {
    mbYes = 0x1,
    mbNo = 0x2,
    mbOK = 0x4,
    mbCancel = 0x8,
    mbAbort = 0x10,
    mbRetry = 0x20,
    mbIgnore = 0x40,
};

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// The answer of a message box whose first button is taken: OK, Yes, No, Cancel in that order.
int FirstButton(unsigned buttons);

struct FileDialogRequest {
    std::string Title;
    std::string InitialDir;
    std::string FileName;
    // "Description|*.ext;*.ext2|..." as the class library's filters.
    std::string Filter;
    std::string DefaultExt;
    bool MultiSelect = false;
    // Set for a save dialog that asks before replacing a file: "%s" stands for the path. The
    // question comes from SaveFileAsking after the dialog, through MessageDlg (Yes/No).
    std::string OverwritePrompt;
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };

// The print dialog's settings in and out; pages count from 1.
struct PrintDialogRequest {
    int MinPage = 1;
    int MaxPage = 1;
    int FromPage = 1;
    int ToPage = 1;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    bool AllowPrintToFile = true;
    bool AllowPageNums = true;
    bool AllowSelection = true;
    bool PrintToFile = false;
    int Copies = 1;
};

// A font as the font dialog shows it. Color 0x00BBGGRR; Size in points.
struct FontChoice {
    std::string Name;
    int Size = 8;
    int Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

// Everything that asks or tells the user goes through here, so that any layer can report a
// message the way the program does and tests can answer instead of a person. Texts are cp1252.
class UiServices {
public:
    virtual ~UiServices() = default;

    // Caption "Vornix"; returns the modal result of the button pressed.
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) = 0;
    void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtCustom, mbOK); }

    // Returns the chosen paths; empty when cancelled.
    virtual std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::string SaveFileDialog(const FileDialogRequest& request) = 0;
    // SaveFileDialog, then, when the request has an OverwritePrompt and the chosen file exists,
    // that question; empty unless the user chose a name and agreed to replace it.
    std::string SaveFileAsking(const FileDialogRequest& request);
    // colour as 0x00BBGGRR; false when cancelled.
    virtual bool ColorDialog(int& color) = 0;
    // The print dialog over Printers(): the chosen printer becomes current. False when
    // cancelled; the request then is as it came.
    virtual bool PrintDialog(PrintDialogRequest& request) {
        (void)request;
        return false;
    }
    // Chooses the current printer and its orientation; false when cancelled.
    virtual bool PrinterSetupDialog() { return false; }
    virtual bool FontDialog(FontChoice& font) {
        (void)font;
        return false;
    }
    // A BMP or JPEG picture to open, with a preview; an empty Filter offers both kinds. The
    // chosen path, or empty when cancelled.
    virtual std::string OpenPictureDialog(const FileDialogRequest& request) = 0;
    // A folder, starting at startFolder; empty when cancelled.
    virtual std::string SelectDirectory(const std::string& title,
                                        const std::string& startFolder) = 0;
    // A line of text; defaultText when cancelled.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                                 const std::string& defaultText) = 0;

    // Shows a window modally and returns its modal result.
    virtual int ShowModal(QObject* form) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual bool OpenWithDesktop(const std::string& path) = 0;
    virtual void BringToFront(QObject* window) = 0;
};

UiServices& Ui();
// Installs the program's or a test's implementation; the caller keeps ownership.
void SetUiServices(UiServices* services);

enum class TFileRequestKind { Open, Save, Picture, Folder, Input };

// The implementation tests install: records every message and answers from scripts.
class ScriptedUiServices : public UiServices {
public:
    struct Message {
        std::string Text;
        TMsgDlgType Type;
        unsigned Buttons;
    };
    // A folder request carries its title and start folder as Title and InitialDir; an input
    // request its caption as Title, its default as FileName and its prompt as Prompt.
    struct FileRequest {
        TFileRequestKind Kind;
        FileDialogRequest Request;
        std::string Prompt;
    };

    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) override;
    std::vector<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::string SaveFileDialog(const FileDialogRequest& request) override;
    bool ColorDialog(int& color) override;
    bool PrintDialog(PrintDialogRequest& request) override;
    bool PrinterSetupDialog() override;
    bool FontDialog(FontChoice& font) override;
    std::string OpenPictureDialog(const FileDialogRequest& request) override;
    std::string SelectDirectory(const std::string& title, const std::string& startFolder) override;
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    int ShowModal(QObject* form) override;
    void SetBusyCursor(bool busy) override { Busy = busy; }
    bool OpenWithDesktop(const std::string& path) override;
    void BringToFront(QObject* window) override {}

    std::vector<Message> Messages;
    // Answers to MessageDlg in order; when empty, the first button offered (OK, Yes, ...).
    std::deque<int> MessageAnswers;
    // Every open, save, picture, folder and input request in the order asked. Each kind
    // takes its answers in order; none left means cancelled.
    std::vector<FileRequest> FileRequests;
    std::deque<std::vector<std::string>> OpenAnswers;
    std::deque<std::string> SaveAnswers;
    std::deque<std::string> PictureAnswers;
    std::deque<std::string> FolderAnswers;
    // std::nullopt cancels one box explicitly.
    std::deque<std::optional<std::string>> InputAnswers;
    std::deque<int> ColorAnswers;
    // Each request as the dialog received it; the hook plays the user (unset: cancelled).
    std::vector<PrintDialogRequest> PrintRequests;
    std::function<bool(PrintDialogRequest&)> PrintHook;
    std::function<bool()> PrinterSetupHook;
    std::vector<FontChoice> FontRequests;
    std::function<bool(FontChoice&)> FontHook;
    std::vector<std::string> OpenedWithDesktop;
    // Sets the form's children as a user would and returns the modal result; mrCancel when
    // unset.
    std::function<int(QObject*)> ModalHook;
    bool Busy = false;
};

} // namespace vx
